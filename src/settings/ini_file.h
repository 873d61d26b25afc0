// INI files: the settings files beside the executable ("tessaro.INI",
// "tessaro0.ini", "server.ini").
//
// Every file is parsed once per process into a shared TUniqueIniFile kept in
// a process-wide registry; TZNKIniFile is a light handle on it. All handles on
// one file see the same lines, so a write through one is seen by the others.
// The file lives while a handle on it lives; the last handle to close flushes
// unsaved changes and frees it.
//
// Section and key names compare without regard to ASCII case. Text is stored
// as it is in the file (windows-1250 for the portal's own files).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "util/datetime.h"
#include "util/string_list.h"

namespace tessaro {

// One parsed INI file, shared by every handle on its path.
class TUniqueIniFile {
 public:
  // Loads `file_name` (a full path). A missing file reads as empty and is
  // created by the first flush. Throws Exception when the file exists but
  // cannot be read, is not a regular file, or is larger than kMaxFileBytes.
  explicit TUniqueIniFile(std::string file_name);
  // Flushes unsaved changes first; a failure to write is not reported.
  ~TUniqueIniFile();
  TUniqueIniFile(const TUniqueIniFile&) = delete;
  TUniqueIniFile& operator=(const TUniqueIniFile&) = delete;

  // Files beyond this size are refused rather than read into memory.
  static constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

  const std::string& FileName() const { return file_name_; }
  int RefCount() const { return ref_count_; }
  bool Modified() const { return modified_; }
  bool ReadOnly() const { return read_only_; }
  // Whether the file is on disk with exactly StoredLines() (as loaded or as
  // last written): false once it has changed in memory, and for a file that
  // was missing or whose changes could not be written (read-only).
  bool StoredLinesCurrent() const { return on_disk_ && lines_on_disk_ && !modified_; }
  const TStrings& StoredLines() const { return lines_; }
  // Whether the file was missing when loaded and has not been written since.
  bool Missing() const { return !on_disk_; }

  // The trimmed value of the first line of `section` whose name is `key`;
  // `default_value` when the section or the key is missing or the value is empty.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view default_value) const;

  // All three empty: flush. Empty key: remove the section. Otherwise set the
  // key (an empty value removes its line), creating the section at the end.
  // Throws Exception when a name or the value holds a line break, or the key
  // an "=", since the file could not be read back as written.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

  // Fill `list` (cleared first) with: the names of the section's lines (empty
  // for lines without "="); all section names in order; the section's lines
  // as stored, comment lines included.
  void ReadSection(std::string_view section, TStrings& list) const;
  void ReadSections(TStrings& list) const;
  void ReadSectionValues(std::string_view section, TStrings& list) const;

  void EraseSection(std::string_view section) { WriteString(section, "", ""); }
  void DeleteKey(std::string_view section, std::string_view key) { WriteString(section, key, ""); }

  // Rebuilds the file's lines from the sections and writes them, unless the
  // file was read-only when loaded (then changes stay in memory). Clears
  // Modified. Throws Exception when the file cannot be written.
  void UpdateFile();

 private:
  friend class TZNKIniFile;

  struct Section {
    std::string name;  // as first written in the file
    TStrings lines;    // the section's non-empty lines in order
  };

  void Load();
  void AddLine(std::string line, Section*& current);
  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;
  Section& AddSection(std::string_view name);
  void RemoveSection(std::string_view name);

  std::string file_name_;       // normalised full path; the registry key
  TStrings lines_;              // the file's lines as last loaded or flushed
  bool on_disk_ = false;        // the file existed at load or has been written since
  bool lines_on_disk_ = true;   // lines_ are the file's content on disk
  bool read_only_ = false;      // the file existed without write permission at load
  bool crlf_ = false;           // the file broke its lines with CR LF
  TStrings header_lines_;       // lines before the first section header, empty ones included
  std::vector<std::unique_ptr<Section>> sections_;          // sections in file order
  std::unordered_map<std::string, Section*> section_index_;  // lower-cased name -> section
  bool modified_ = false;       // set by every write, cleared by a flush
  int ref_count_ = 0;           // number of TZNKIniFile handles on this file
};

// A handle on the shared parsed copy of one INI file.
class TZNKIniFile {
 public:
  // Opens the shared file for `file_name`: an empty name means "win.ini", a
  // name without a folder is taken from the executable's folder, "\" counts
  // as "/". Paths that are equal once made absolute share one file; letter
  // case matters, as it does for the file system.
  explicit TZNKIniFile(std::string_view file_name);
  // Closes the handle; the last one flushes and frees the shared file.
  ~TZNKIniFile();
  TZNKIniFile(const TZNKIniFile&) = delete;
  TZNKIniFile& operator=(const TZNKIniFile&) = delete;

  const std::string& FileName() const { return file_->FileName(); }
  // The shared file this handle works on.
  TUniqueIniFile& File() const { return *file_; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view default_value) const {
    return file_->ReadString(section, key, default_value);
  }
  void WriteString(std::string_view section, std::string_view key, std::string_view value) {
    file_->WriteString(section, key, value);
  }
  void ReadSection(std::string_view section, TStrings& list) const { file_->ReadSection(section, list); }
  void ReadSections(TStrings& list) const { file_->ReadSections(list); }
  void ReadSectionValues(std::string_view section, TStrings& list) const { file_->ReadSectionValues(section, list); }
  void EraseSection(std::string_view section) { file_->EraseSection(section); }
  void DeleteKey(std::string_view section, std::string_view key) { file_->DeleteKey(section, key); }
  void UpdateFile() { file_->UpdateFile(); }

  // Typed reads on top of ReadString; `default_value` when the text is missing
  // or does not convert. Integers also take "$" or "0x" hexadecimal; booleans
  // are integers, 0 false and anything else true; dates use the regional settings.
  int ReadInteger(std::string_view section, std::string_view key, int default_value) const;
  bool ReadBool(std::string_view section, std::string_view key, bool default_value) const;
  TDateTime ReadDate(std::string_view section, std::string_view key, TDateTime default_value) const;
  TDateTime ReadDateTime(std::string_view section, std::string_view key, TDateTime default_value) const;
  // The number read with "." as decimal separator, else with the regional
  // decimal separator, else `default_value`.
  double ReadFloat(std::string_view section, std::string_view key, double default_value) const;

  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  TUniqueIniFile* file_;  // the shared file; this handle holds one of its references
};

// Number of shared files currently open in the process.
size_t OpenIniFileCount();

}  // namespace tessaro
