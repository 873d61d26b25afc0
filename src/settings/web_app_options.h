// TWebAppOptions: the settings of one web module, read once per process from
// the executable's settings files. Every value an administrator may set is a
// published property whose name is its INI key; the portal's options
// (TTessaroOptions) derive from it and add their own keys.
//
// TWebAppOptionsManager keeps the one options object of each module class
// for the life of the process.
#pragma once

#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include "settings/published.h"
#include "util/string_list.h"

namespace tessaro {

// A database connection; defined by the database layer.
class TDBConnection;

class TWebAppOptions : public TPublished<TWebAppOptions> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TWebAppOptions>& p);

  // A new connection for the page context that asks, owned by the caller.
  // Throws Exception here: only options that know a database provide one.
  virtual std::unique_ptr<TDBConnection> NewConnection(bool read_only);

  std::string bad_login;          // login form text after a failed login, Czech
  std::string bad_logineng;       // the same in English
  int cookie_expires = 1;         // days a persistent login cookie lives
  TStrings global_banners;        // banner lines expanded on every page
  int initial_table_rows = 25;    // records per table page when the request names none
  std::string path_to_templates;  // folder of the template files
  std::string pgLOGIN;            // login form template, Czech
  std::string pgLOGINeng;         // the same in English
  std::string pgLOGOK;            // login confirmation template, Czech
  std::string pgLOGOKeng;         // the same in English
  int Port = 0;                   // plain HTTP port of absolute URLs
  std::string script_base_url;    // fixed base URL of the executable; "none" for an empty one
  TStrings simple_pages_ids;      // ID=template-file pairs of the simple pages
  int SSLPort = 0;                // HTTPS port of absolute URLs
  std::string table_empty;        // shown in place of an empty table or menu

  // Security headers of every response, each on unless switched off.
  bool header_nosniff = true;              // send X-Content-Type-Options: nosniff
  bool header_referrer_policy = true;      // send Referrer-Policy: same-origin
  bool header_frame_options = true;        // send X-Frame-Options: SAMEORIGIN
  bool header_csp_frame_ancestors = true;  // send Content-Security-Policy: frame-ancestors 'self'

  std::string LoginPath;  // path the login form posts to; set by the module, not a key
};

// One module class and its options.
struct TWebAppOptionsContainer {
  std::type_index ModuleClass;              // the module's dynamic class
  std::unique_ptr<TWebAppOptions> Options;  // owned
};

// Keeps one options object per module class for the life of the process.
class TWebAppOptionsManager {
 public:
  // The process-wide manager, created on first use.
  static TWebAppOptionsManager& Instance();

  // The options registered for exactly `module_class`, or null.
  TWebAppOptions* Find(std::type_index module_class) const;
  // Takes ownership of `options` as the options of `module_class`, replacing
  // (and freeing) any registered before. Returns the stored options.
  TWebAppOptions* Register(std::type_index module_class, std::unique_ptr<TWebAppOptions> options);
  // The former name of Register.
  TWebAppOptions* Store(std::type_index module_class, std::unique_ptr<TWebAppOptions> options) {
    return Register(module_class, std::move(options));
  }
  // Frees every options object (tests start each case from nothing).
  void Clear();

  // The registered containers, in order of first registration.
  const std::vector<std::unique_ptr<TWebAppOptionsContainer>>& Containers() const { return containers_; }

 private:
  std::vector<std::unique_ptr<TWebAppOptionsContainer>> containers_;  // in order of registration
};

}  // namespace tessaro
