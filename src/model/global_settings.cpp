// The process's connection settings: one object, made on first use and kept
// until the process ends or a caller forgets it (tests start afresh so).
#include "model/global_settings.h"

#include "util/exception.h"
#include "util/format.h"

namespace tessaro {
namespace {

std::unique_ptr<T_GlobalSettings>& Current() {
  static std::unique_ptr<T_GlobalSettings> current;
  return current;
}

}  // namespace

T_GlobalSettings::T_GlobalSettings()
    : definition_connection_(std::make_unique<TConnectionManager>()),
      user_connection_(std::make_unique<TConnectionManager>()) {}

T_GlobalSettings::~T_GlobalSettings() = default;

T_GlobalSettings* T_GlobalSettings::AccessInstance(int request) {
  std::unique_ptr<T_GlobalSettings>& current = Current();
  switch (request) {
    case kCurrent:
      return current.get();
    case kCreate:
      if (current == nullptr) current = std::make_unique<T_GlobalSettings>();
      return current.get();
    case kForget:
      current.reset();
      return nullptr;
    default:
      throw Exception(Format("Illegal request %d in AccessInstance", {request}));
  }
}

T_GlobalSettings& T_GlobalSettings::Instance() { return *AccessInstance(kCreate); }

}  // namespace tessaro
