// The executable's path and file-name helpers.
//
// A CGI program learns where it lives from argv[0]: lighttpd and fcgiwrap
// pass the full path, Apache passes the bare file name and starts the program
// in its own folder, a shell passes whatever was typed. The path is therefore
// made absolute once, at start-up, against the folder the process started in;
// links in it are kept so that every portal folder linking to one binary gets
// its own settings. Only when argv[0] is unusable does the kernel's
// /proc/self/exe (links resolved) stand in.
#include "util/module_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "util/exception.h"

namespace tessaro {
namespace {

std::string& RecordedModuleFileName() {
  static std::string name;  // absolute path recorded at start-up, or empty
  return name;
}

std::string CurrentDir() {
  std::vector<char> buffer(PATH_MAX + 1);
  if (getcwd(buffer.data(), buffer.size()) == nullptr)
    throw Exception("Cannot determine the current folder");
  return buffer.data();
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A bare program name: the current folder first (where web servers start a
// CGI given by its file name), then PATH as a shell would search it.
std::string FindBareName(std::string_view name) {
  std::string here = IncludeBackslash(CurrentDir()) + std::string(name);
  if (IsRegularFile(here)) return here;
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "";
  while (!dirs.empty()) {
    size_t colon = dirs.find(':');
    std::string_view dir = dirs.substr(0, colon);
    dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
    std::string candidate = ExpandFileName(IncludeBackslash(dir.empty() ? "." : dir) + std::string(name));
    if (IsRegularFile(candidate) && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::string();
}

std::string KernelExecutablePath() {
  std::vector<char> buffer(PATH_MAX + 1);
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) throw Exception("cannot get module path");
  return std::string(buffer.data(), static_cast<size_t>(n));
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

void SetModuleFileName(std::string_view argv0) {
  std::string& recorded = RecordedModuleFileName();
  recorded.clear();
  if (argv0.empty()) return;
  try {
    recorded = argv0.find('/') == std::string_view::npos ? FindBareName(argv0) : ExpandFileName(argv0);
  } catch (const Exception&) {
    recorded.clear();  // the kernel's path stands in
  }
}

std::string ModuleFileName() {
  const std::string& recorded = RecordedModuleFileName();
  return recorded.empty() ? KernelExecutablePath() : recorded;
}

std::string ModuleDir() { return IncludeBackslash(ExtractFilePath(ModuleFileName())); }

std::string WithoutModuleDir(std::string_view text) {
  std::string dir;
  try {
    dir = ModuleDir();
  } catch (const Exception&) {
    return std::string(text);
  }
  if (dir.size() < 2) return std::string(text);  // "/" alone would take every separator
  std::string out;
  size_t start = 0;
  for (size_t at; (at = text.find(dir, start)) != std::string_view::npos; start = at + dir.size())
    out.append(text.substr(start, at - start));
  out.append(text.substr(start));
  return out;
}

std::string ModuleIniFileName() { return ChangeFileExt(ModuleFileName(), ".INI"); }

std::string IncludeBackslash(std::string_view path) {
  if (path.empty()) return std::string();
  char last = path.back();
  if (last == '/' || last == '\\' || last == ':') return std::string(path);
  return std::string(path) + "/";
}

std::string NormalizePathSeparators(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::string ExpandFileName(std::string_view name) {
  std::string full = !name.empty() && name.front() == '/' ? std::string(name) : CurrentDir() + "/" + std::string(name);
  std::string out;
  out.reserve(full.size());
  size_t i = 0;
  while (i < full.size()) {
    size_t end = full.find('/', i);
    if (end == std::string::npos) end = full.size();
    std::string_view segment(full.data() + i, end - i);
    if (!segment.empty() && segment != ".") {
      out += '/';
      out += segment;
    }
    i = end + 1;
  }
  if (out.empty() || full.back() == '/' || (full.size() >= 2 && full.substr(full.size() - 2) == "/."))
    out += '/';
  return out;
}

std::string ExtractFilePath(std::string_view name) {
  size_t i = name.size();
  while (i > 0 && !IsSeparator(name[i - 1])) --i;
  return std::string(name.substr(0, i));
}

std::string ExtractFileDir(std::string_view name) {
  const std::string path = ExtractFilePath(name);
  return path.empty() ? path : path.substr(0, path.size() - 1);
}

std::string ExtractFileName(std::string_view name) { return std::string(name.substr(ExtractFilePath(name).size())); }

std::string ExtractFileExt(std::string_view name) {
  const std::string file = ExtractFileName(name);
  const size_t dot = file.rfind('.');
  return dot == std::string::npos ? std::string() : file.substr(dot);
}

std::string ChangeFileExt(std::string_view name, std::string_view extension) {
  size_t i = name.size();
  while (i > 0 && !IsSeparator(name[i - 1]) && name[i - 1] != '.') --i;
  size_t stem = i > 0 && name[i - 1] == '.' ? i - 1 : name.size();
  return std::string(name.substr(0, stem)) + std::string(extension);
}

}  // namespace tessaro
