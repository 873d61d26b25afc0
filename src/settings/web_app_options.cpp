// The generic web module's options: their INI keys with the values they hold
// until the option files say otherwise, and the process-wide manager that
// owns the options of each module class.
#include "settings/web_app_options.h"

#include "util/exception.h"

namespace tessaro {

void TWebAppOptions::DeclareProperties(TPropertyDeclarations<TWebAppOptions>& p) {
  using T = TWebAppOptions;
  p.String("bad_login", &T::bad_login, "")
      .String("bad_logineng", &T::bad_logineng, "")
      .Integer("cookie_expires", &T::cookie_expires, 1)
      .StringList("global_banners", &T::global_banners)
      .Integer("initial_table_rows", &T::initial_table_rows, 25)
      .String("path_to_templates", &T::path_to_templates, "")
      .String("pgLOGIN", &T::pgLOGIN, "")
      .String("pgLOGINeng", &T::pgLOGINeng, "")
      .String("pgLOGOK", &T::pgLOGOK, "")
      .String("pgLOGOKeng", &T::pgLOGOKeng, "")
      .Integer("Port", &T::Port, 0)
      .String("script_base_url", &T::script_base_url, "")
      .StringList("simple_pages_ids", &T::simple_pages_ids)
      .Integer("SSLPort", &T::SSLPort, 0)
      .String("table_empty", &T::table_empty, "")
      .Boolean("header_nosniff", &T::header_nosniff, true)
      .Boolean("header_referrer_policy", &T::header_referrer_policy, true)
      .Boolean("header_frame_options", &T::header_frame_options, true)
      .Boolean("header_csp_frame_ancestors", &T::header_csp_frame_ancestors, true);
}

std::unique_ptr<TDBConnection> TWebAppOptions::NewConnection(bool /*read_only*/) {
  throw Exception("NewConnection is not available");
}

TWebAppOptionsManager& TWebAppOptionsManager::Instance() {
  static TWebAppOptionsManager manager;
  return manager;
}

TWebAppOptions* TWebAppOptionsManager::Find(std::type_index module_class) const {
  for (auto it = containers_.rbegin(); it != containers_.rend(); ++it)
    if ((*it)->ModuleClass == module_class) return (*it)->Options.get();
  return nullptr;
}

TWebAppOptions* TWebAppOptionsManager::Register(std::type_index module_class,
                                                std::unique_ptr<TWebAppOptions> options) {
  for (auto it = containers_.rbegin(); it != containers_.rend(); ++it) {
    if ((*it)->ModuleClass == module_class) {
      (*it)->Options = std::move(options);
      return (*it)->Options.get();
    }
  }
  containers_.push_back(
      std::make_unique<TWebAppOptionsContainer>(TWebAppOptionsContainer{module_class, std::move(options)}));
  return containers_.back()->Options.get();
}

void TWebAppOptionsManager::Clear() { containers_.clear(); }

}  // namespace tessaro
