// INI files parsed once per process and shared by every handle.
//
// Parsing keeps the file's structure, not a key/value map: the lines before
// the first "[name]" header line are kept as they are (empty ones included),
// and each section keeps its non-empty lines in order, comments and lines
// without "=" included. A header repeated later in the file, in any letter
// case, continues the section it names, so the file behaves as if its
// sections had been merged. Writing the file back rebuilds it from these
// parts: the header lines, then each section as "[name]" and its lines, with
// one empty line between sections.
//
// The registry of parsed files is keyed by the absolute path. A file that
// was read-only when loaded is never written; changes to it live only in
// memory. Settings files come from administrators and may be damaged or
// hostile, so loading refuses anything that is not a regular file of
// reasonable size, and section lookup is a hash map so that a file made of
// many headers still parses in linear time.
#include "settings/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

#include "util/date_format.h"
#include "util/exception.h"
#include "util/file_io.h"
#include "util/format.h"
#include "util/module_path.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro {
namespace {

// The process-wide list of shared files. When it is destroyed at process exit
// it flushes and frees the files still open; handles closed after that (held
// by other static objects) find it gone and do nothing.
bool g_registry_destroyed = false;

struct IniRegistry {
  std::vector<std::unique_ptr<TUniqueIniFile>> files;  // live files in order of opening
  ~IniRegistry() {
    g_registry_destroyed = true;
    files.clear();
  }
};

IniRegistry& Registry() {
  static IniRegistry registry;
  return registry;
}

bool IsHeader(const std::string& line) { return line.size() >= 2 && line.front() == '[' && line.back() == ']'; }

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string ErrorText(int error) { return std::strerror(error); }

}  // namespace

// ---------------------------------------------------------------------------
// TUniqueIniFile

TUniqueIniFile::TUniqueIniFile(std::string file_name) : file_name_(std::move(file_name)) { Load(); }

TUniqueIniFile::~TUniqueIniFile() {
  if (!modified_) return;
  try {
    UpdateFile();
  } catch (const Exception&) {
    // Nobody is left to tell; the changes are lost as they would be on a
    // read-only file.
  }
}

void TUniqueIniFile::Load() {
  std::optional<TInputFile> file = TInputFile::OpenIfExists(file_name_);
  if (!file) return;  // reads as empty, created by a flush
  on_disk_ = true;
  std::string text = file->ReadAll(kMaxFileBytes);
  // Root may write a file without write permission bits; the administrator
  // who removed them still means it to stay as it is.
  read_only_ = (file->Mode() & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(file_name_.c_str(), W_OK) != 0;
  size_t first_break = text.find('\n');
  crlf_ = first_break != std::string::npos && first_break > 0 && text[first_break - 1] == '\r';

  lines_.SetText(text);
  Section* current = nullptr;
  for (const std::string& line : lines_) AddLine(line, current);
}

void TUniqueIniFile::AddLine(std::string line, Section*& current) {
  if (IsHeader(line)) {
    std::string_view name(line.data() + 1, line.size() - 2);
    current = FindSection(name);
    if (current == nullptr) current = &AddSection(name);
  } else if (current == nullptr) {
    header_lines_.Add(std::move(line));
  } else if (!line.empty()) {
    current->lines.Add(std::move(line));
  }
}

TUniqueIniFile::Section* TUniqueIniFile::FindSection(std::string_view name) {
  auto it = section_index_.find(LowerCase(name));
  return it == section_index_.end() ? nullptr : it->second;
}

const TUniqueIniFile::Section* TUniqueIniFile::FindSection(std::string_view name) const {
  auto it = section_index_.find(LowerCase(name));
  return it == section_index_.end() ? nullptr : it->second;
}

TUniqueIniFile::Section& TUniqueIniFile::AddSection(std::string_view name) {
  sections_.push_back(std::make_unique<Section>(Section{std::string(name), {}}));
  Section& section = *sections_.back();
  section_index_[LowerCase(name)] = &section;
  return section;
}

void TUniqueIniFile::RemoveSection(std::string_view name) {
  Section* section = FindSection(name);
  if (section == nullptr) return;
  section_index_.erase(LowerCase(name));
  sections_.erase(std::find_if(sections_.begin(), sections_.end(),
                               [section](const std::unique_ptr<Section>& s) { return s.get() == section; }));
  modified_ = true;
}

std::string TUniqueIniFile::ReadString(std::string_view section, std::string_view key,
                                       std::string_view default_value) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return std::string(default_value);
  int index = s->lines.IndexOfName(key);
  if (index < 0) return std::string(default_value);
  std::string value = Trim(s->lines.ValueFromIndex(static_cast<size_t>(index)));
  return value.empty() ? std::string(default_value) : value;
}

void TUniqueIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (section.empty() && key.empty() && value.empty()) {
    UpdateFile();
    return;
  }
  // Anything that would read back as a different line structure is refused.
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
    throw Exception("INI names and values must not contain line breaks");
  if (key.empty()) {
    RemoveSection(section);
    return;
  }
  if (key.find('=') != std::string_view::npos || key.front() == '[')
    throw Exception(Format("Invalid INI key \"%s\"", {key}));
  Section* s = FindSection(section);
  if (s == nullptr) s = &AddSection(section);
  s->lines.SetValues(key, value);
  modified_ = true;
}

void TUniqueIniFile::ReadSection(std::string_view section, TStrings& list) const {
  list.Clear();
  const Section* s = FindSection(section);
  if (s == nullptr) return;
  for (const std::string& line : s->lines) {
    size_t eq = line.find('=');
    list.Add(eq == std::string::npos ? std::string() : line.substr(0, eq));
  }
}

void TUniqueIniFile::ReadSections(TStrings& list) const {
  list.Clear();
  for (const auto& s : sections_) list.Add(s->name);
}

void TUniqueIniFile::ReadSectionValues(std::string_view section, TStrings& list) const {
  list.Clear();
  const Section* s = FindSection(section);
  if (s == nullptr) return;
  for (const std::string& line : s->lines) list.Add(line);
}

void TUniqueIniFile::UpdateFile() {
  lines_.Clear();
  for (const std::string& line : header_lines_) lines_.Add(line);
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (i > 0) lines_.Add(std::string());
    lines_.Add(Format("[%s]", {sections_[i]->name}));
    for (const std::string& line : sections_[i]->lines) lines_.Add(line);
  }
  if (!file_name_.empty() && !read_only_) {
    const char* line_break = crlf_ ? "\r\n" : "\n";
    std::string text;
    for (const std::string& line : lines_) {
      text += line;
      text += line_break;
    }
    TFileDescriptor fd(open(file_name_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666));
    if (fd.get() < 0) throw Exception(Format("Cannot create file \"%s\". %s", {file_name_, ErrorText(errno)}));
    lines_on_disk_ = false;  // until the whole text is written
    if (!WriteAll(fd.get(), text) || fd.Close() != 0)
      throw Exception(Format("Cannot write file \"%s\". %s", {file_name_, ErrorText(errno)}));
    on_disk_ = lines_on_disk_ = true;
  } else {
    lines_on_disk_ = false;  // the changes stay in memory
  }
  modified_ = false;
}

// ---------------------------------------------------------------------------
// TZNKIniFile

TZNKIniFile::TZNKIniFile(std::string_view file_name) {
  std::string name = NormalizePathSeparators(file_name);
  if (name.empty()) name = "win.ini";
  if (name.find('/') == std::string::npos) name = ModuleDir() + name;
  std::string key = ExpandFileName(name);

  auto& files = Registry().files;
  auto it = std::find_if(files.begin(), files.end(),
                         [&key](const std::unique_ptr<TUniqueIniFile>& f) { return f->FileName() == key; });
  if (it != files.end()) {
    file_ = it->get();
  } else {
    files.push_back(std::make_unique<TUniqueIniFile>(key));
    file_ = files.back().get();
  }
  ++file_->ref_count_;
}

TZNKIniFile::~TZNKIniFile() {
  if (g_registry_destroyed) return;  // the registry already flushed and freed the file
  if (--file_->ref_count_ > 0) return;
  auto& files = Registry().files;
  auto it = std::find_if(files.begin(), files.end(),
                         [this](const std::unique_ptr<TUniqueIniFile>& f) { return f.get() == file_; });
  if (it == files.end()) return;
  std::unique_ptr<TUniqueIniFile> closing = std::move(*it);
  files.erase(it);
  if (files.empty()) files.shrink_to_fit();
  // `closing` flushes and frees the file here.
}

int TZNKIniFile::ReadInteger(std::string_view section, std::string_view key, int default_value) const {
  int64_t value;
  std::string text = ReadString(section, key, "");
  if (text.empty() || !TryStrToInt(text, value) || value < INT_MIN || value > INT_MAX) return default_value;
  return static_cast<int>(value);
}

bool TZNKIniFile::ReadBool(std::string_view section, std::string_view key, bool default_value) const {
  return ReadInteger(section, key, default_value ? 1 : 0) != 0;
}

TDateTime TZNKIniFile::ReadDate(std::string_view section, std::string_view key, TDateTime default_value) const {
  TDateTime value = default_value;
  std::string text = ReadString(section, key, "");
  return !text.empty() && TryStrToDate(text, value) ? value : default_value;
}

TDateTime TZNKIniFile::ReadDateTime(std::string_view section, std::string_view key,
                                    TDateTime default_value) const {
  TDateTime value = default_value;
  std::string text = ReadString(section, key, "");
  return !text.empty() && TryStrToDateTime(text, value) ? value : default_value;
}

double TZNKIniFile::ReadFloat(std::string_view section, std::string_view key, double default_value) const {
  std::string text = ReadString(section, key, "");
  if (text.empty()) return default_value;
  // Settings files are shared between machines, so "." is tried first; the
  // regional separator still works for files written by hand.
  TFormatSettings dot = RegionalSettings();
  dot.DecimalSeparator = '.';
  double value;
  if (TryStrToFloat(text, value, dot) || TryStrToFloat(text, value)) return value;
  return default_value;
}

void TZNKIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TZNKIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

size_t OpenIniFileCount() { return g_registry_destroyed ? 0 : Registry().files.size(); }

}  // namespace tessaro
