// TWebAppOptions: the settings of one web module, read once per process from
// the executable's settings files. This is the base the portal's options
// derive from; it carries the values the web module's gate and the request
// contexts need.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <typeindex>

namespace tessaro {

class TWebAppOptions {
 public:
  virtual ~TWebAppOptions() = default;

  int cookie_expires = 1;         // days a persistent login cookie lives
  std::string LoginPath;          // path the login form posts to
  std::string path_to_templates;  // folder of the template files
  int initial_table_rows = 25;    // records per table page when the request names none
};

// Keeps one options object per module class for the life of the process.
class TWebAppOptionsManager {
 public:
  static TWebAppOptionsManager& Instance();

  // The options of `module_class`, or null when none were created yet.
  TWebAppOptions* Find(std::type_index module_class) const;
  // Takes ownership of `options` as the options of `module_class`.
  TWebAppOptions* Store(std::type_index module_class, std::unique_ptr<TWebAppOptions> options);
  // Frees every options object (tests start each case from nothing).
  void Clear();

 private:
  std::map<std::type_index, std::unique_ptr<TWebAppOptions>> options_;  // per module class
};

}  // namespace tessaro
