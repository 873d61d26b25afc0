// Where the executable is, and the file-name helpers built around it.
//
// The executable's folder is the folder of the path the process was started
// as, made absolute but with symbolic links left alone: one installed binary
// reached through links from several portal folders serves each folder with
// that folder's settings. `main` records that path once with
// SetModuleFileName(argv[0]) before anything asks for it.
//
// The path separator here is "/"; "\" in names that come from settings or
// stored metadata is a separator too (NormalizePathSeparators).
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// Records the path the process was started as. A path with a "/" is made
// absolute against the current folder now (later changes of folder do not
// move the executable); a bare name is looked for in the current folder (the
// web server's way of starting a CGI), then along PATH. An empty `argv0`
// forgets the recorded path.
void SetModuleFileName(std::string_view argv0);

// The executable's full path as recorded by SetModuleFileName, or the
// kernel's /proc/self/exe when nothing usable was recorded. Throws Exception
// "cannot get module path" when neither is available.
std::string ModuleFileName();

// The folder part of ModuleFileName, ending with "/".
std::string ModuleDir();

// `text` with every occurrence of ModuleDir removed, so that a path inside the
// portal folder reads relative to it ("templates/x.html"): pages never show
// where the portal lives on the server. `text` unchanged when the folder is
// unknown or is the root folder.
std::string WithoutModuleDir(std::string_view text);

// ModuleFileName with its extension replaced by ".INI".
std::string ModuleIniFileName();

// `path` unchanged when empty or ending with "/", "\" or ":", else `path` + "/".
std::string IncludeBackslash(std::string_view path);

// `name` with every "\" turned into "/".
std::string NormalizePathSeparators(std::string_view name);

// `name` made absolute against the current folder, with "." segments and
// repeated "/" dropped. ".." is kept: a symbolic link before it makes the
// textual parent folder wrong. Throws Exception when the current folder
// cannot be determined.
std::string ExpandFileName(std::string_view name);

// The folder part of `name` up to and including its last "/" or "\"; empty
// when it has none.
std::string ExtractFilePath(std::string_view name);
// The folder part of `name` without its last "/" or "\"; empty when it has none.
std::string ExtractFileDir(std::string_view name);
// The part of `name` after its last "/" or "\" (all of it when it has none).
std::string ExtractFileName(std::string_view name);
// The extension of ExtractFileName(`name`) from its last ".", dot included;
// empty when it has none.
std::string ExtractFileExt(std::string_view name);

// `name` with the extension (from the last "." after the last "/" or "\")
// replaced by `extension`, which includes its dot; appended when there is none.
std::string ChangeFileExt(std::string_view name, std::string_view extension);

}  // namespace tessaro
