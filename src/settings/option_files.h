// The module's option files: where they are and how the options are read
// from them.
//
// For the module's INI file N ("tessaro.INI" beside "tessaro.cgi") there are
// two files: the defaults file, N with its extension replaced by "0.ini"
// ("tessaro0.ini"), which must exist, and N itself, which may override any
// value. Both are read as flat name=value lists, so a key sets its option
// wherever it stands in the file. The banner lines and the simple pages also
// come from the sections [BANNERS] and [SIMPLEPAGES].
#pragma once

#include <string>
#include <string_view>

#include "settings/ini_file.h"
#include "settings/web_app_options.h"

namespace tessaro {

// `ini_file_name` with its extension removed and "0.ini" appended.
std::string DefaultsFileName(std::string_view ini_file_name);

// Reads `options` from the defaults file of `ini_file_name`, then from
// `ini_file_name` itself when it exists, then merges their [BANNERS] and
// [SIMPLEPAGES] sections into global_banners and simple_pages_ids. Names are
// resolved as TZNKIniFile resolves them. Throws Exception when the defaults
// file is missing or either file cannot be read.
void LoadOptionFiles(TWebAppOptions& options, std::string_view ini_file_name);

// The list a section of the two files gives: all lines of the defaults
// file's section (comment lines included), then for every line of the
// override file's section whose name is not empty and does not start with
// ";", that name set to its value (an empty value removes the name).
TStrings MergedSection(const TZNKIniFile& defaults, const TZNKIniFile& overrides, std::string_view section);

// The process-wide handle on ModuleIniFileName(), opened on first use and
// closed at process exit. Throws Exception when it cannot be opened (a later
// call tries again).
TZNKIniFile& ModuleIni();

}  // namespace tessaro
