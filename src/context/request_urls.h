// Addresses the pages build: the portal's own base URL, the current URL, the
// query without the system's one-shot fields, and where a template file is.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

class TWebRequest;
class TWebAppOptions;

// The scheme, host, port (when not the scheme's default) and, unless
// `without_script`, the script name; or the fixed script_base_url of the
// options ("none" meaning empty). `protocol` "https" picks the SSL port when
// the options name two different ports. The scheme is https when the port is
// the SSL port, or, with no SSL port set, when the request came over HTTPS.
std::string BaseURL(const TWebRequest& request, const TWebAppOptions& options, std::string_view protocol,
                    bool without_script);

// BaseURL with the script name and the path info (percent-encoded where it
// holds bytes an address cannot carry literally), without the query.
std::string PageURL(const TWebRequest& request, const TWebAppOptions& options);

// BaseURL with the script name, the path info (percent-encoded where it
// holds bytes an address cannot carry literally) and the query as the
// request sent it, without its system fields. Plain text: markup escapes it.
std::string CurrentURL(const TWebRequest& request, const TWebAppOptions& options);

// The query with the first field of each name in `names` (compared without
// case) removed. `names` is a list of names separated by commas.
std::string StripQueryFields(std::string_view query, std::string_view names);
// The query without "logout", "actionresult" and "locationreferer".
std::string StripSystemFields(std::string_view query);

// A template name made into a path: names that are not absolute are taken
// below path_to_templates, and what is still relative below the program's
// folder. "\" counts as a path separator.
std::string ResolveTemplatePath(const TWebAppOptions& options, std::string_view name);

}  // namespace tessaro
