#include "settings/web_app_options.h"

namespace tessaro {

TWebAppOptionsManager& TWebAppOptionsManager::Instance() {
  static TWebAppOptionsManager manager;
  return manager;
}

TWebAppOptions* TWebAppOptionsManager::Find(std::type_index module_class) const {
  auto it = options_.find(module_class);
  return it == options_.end() ? nullptr : it->second.get();
}

TWebAppOptions* TWebAppOptionsManager::Store(std::type_index module_class, std::unique_ptr<TWebAppOptions> options) {
  auto& slot = options_[module_class];
  slot = std::move(options);
  return slot.get();
}

void TWebAppOptionsManager::Clear() { options_.clear(); }

}  // namespace tessaro
