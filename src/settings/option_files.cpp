// Loading the module's options from its two option files.
//
// Each file is read twice over: once as a flat list of lines, whatever
// section they stand in, from which the options take their values by name
// (the first line of a name wins, string lists are given in Base64); and
// once through the shared INI cache for its [BANNERS] and [SIMPLEPAGES]
// sections. The defaults file gives the whole of such a section; the module's
// own INI file then adds, replaces or (with an empty value) removes single
// names in it, so an administrator overrides one banner without repeating
// the others.
//
// The files are written by administrators and may be damaged, so reading
// refuses anything that is not a regular file or is larger than the INI cache
// accepts, and merging a section keeps an index of names so that a file of
// many lines merges in linear time.
#include "settings/option_files.h"

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "settings/published_visitors.h"
#include "util/file_io.h"
#include "util/module_path.h"
#include "util/text.h"

namespace tessaro {
namespace {

constexpr size_t kNoLine = static_cast<size_t>(-1);

// Fills `lines` with the lines of `ini`'s file. Returns false, `lines` empty,
// when the file does not exist and is not `required`; throws Exception for a
// missing required file and for one that cannot be read. The shared file
// read just now already holds the lines, unless it has changed in memory
// since; then (and for the error of a missing file) the file is read anew.
bool ReadFileLines(const TZNKIniFile& ini, bool required, TStrings& lines) {
  lines.Clear();
  const TUniqueIniFile& shared = ini.File();
  if (shared.StoredLinesCurrent()) {
    lines = shared.StoredLines();
    return true;
  }
  if (shared.Missing() && !shared.Modified() && !required) return false;
  std::optional<TInputFile> file = required ? TInputFile::Open(ini.FileName()) : TInputFile::OpenIfExists(ini.FileName());
  if (!file) return false;
  lines.SetText(file->ReadAll(TUniqueIniFile::kMaxFileBytes));
  return true;
}

// A list of lines whose values are set by name the way TStrings::SetValues
// sets them (the first line of a name, letter case ignored; lines without
// "=" have no name), with an index that makes each change cheap.
class IndexedLines {
 public:
  explicit IndexedLines(const TStrings& lines) {
    for (const std::string& line : lines) Append(line);
  }

  void SetValue(std::string_view name, std::string_view value) {
    auto it = names_.find(LowerCase(name));
    if (value.empty()) {
      if (it != names_.end()) Remove(it);
      return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (it != names_.end())
      lines_[it->second.first] = std::move(line);
    else
      Append(std::move(line));
  }

  TStrings Lines() const {
    TStrings out;
    for (size_t i = 0; i < lines_.size(); ++i)
      if (!removed_[i]) out.Add(lines_[i]);
    return out;
  }

 private:
  struct Chain {
    size_t first;  // the first live line of the name
    size_t last;   // the last one
  };
  using Names = std::unordered_map<std::string, Chain>;

  void Append(std::string line) {
    size_t index = lines_.size();
    size_t eq = line.find('=');
    if (eq != std::string::npos) {
      auto [it, added] = names_.try_emplace(LowerCase(std::string_view(line).substr(0, eq)), Chain{index, index});
      if (!added) {
        next_[it->second.last] = index;
        it->second.last = index;
      }
    }
    lines_.push_back(std::move(line));
    removed_.push_back(false);
    next_.push_back(kNoLine);
  }

  void Remove(Names::iterator it) {
    size_t index = it->second.first;
    removed_[index] = true;
    if (next_[index] == kNoLine)
      names_.erase(it);
    else
      it->second.first = next_[index];
  }

  std::vector<std::string> lines_;  // every line ever held, in order
  std::vector<bool> removed_;       // per line: removed since
  std::vector<size_t> next_;        // per line: the next line of the same name, or kNoLine
  Names names_;                     // lower-cased name -> its live lines
};

}  // namespace

std::string DefaultsFileName(std::string_view ini_file_name) { return ChangeFileExt(ini_file_name, "0.ini"); }

TStrings MergedSection(const TZNKIniFile& defaults, const TZNKIniFile& overrides, std::string_view section) {
  TStrings lines;
  defaults.ReadSectionValues(section, lines);
  TStrings changes;
  overrides.ReadSectionValues(section, changes);
  if (changes.Empty()) return lines;

  IndexedLines merged(lines);
  for (const std::string& change : changes) {
    size_t eq = change.find('=');
    if (eq == std::string::npos || eq == 0 || change[0] == ';') continue;
    merged.SetValue(std::string_view(change).substr(0, eq), std::string_view(change).substr(eq + 1));
  }
  return merged.Lines();
}

void LoadOptionFiles(TWebAppOptions& options, std::string_view ini_file_name) {
  // The handles resolve both names the way every INI file of the module is
  // found, and keep the parsed files shared while the sections are merged.
  TZNKIniFile overrides(ini_file_name);
  TZNKIniFile defaults(DefaultsFileName(overrides.FileName()));

  TStrings lines;
  ReadFileLines(defaults, true, lines);
  ReadPublishedFromStrings(options, lines, true);
  if (ReadFileLines(overrides, false, lines)) ReadPublishedFromStrings(options, lines, true);

  options.global_banners = MergedSection(defaults, overrides, "BANNERS");
  options.simple_pages_ids = MergedSection(defaults, overrides, "SIMPLEPAGES");
}

TZNKIniFile& ModuleIni() {
  static std::unique_ptr<TZNKIniFile> ini;
  if (!ini) ini = std::make_unique<TZNKIniFile>(ModuleIniFileName());
  return *ini;
}

}  // namespace tessaro
