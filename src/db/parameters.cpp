// The parameter collection of a statement: a list in marker order, searched
// by name the way the portal matches names, without regard to case.
#include "db/parameters.h"

#include "util/text.h"

namespace tessaro {

bool IsOutputDirection(TParameterDirection direction) {
  return direction == pdOutput || direction == pdInputOutput || direction == pdReturnValue;
}

TParameter& TParameters::Add(TParameter parameter) {
  items_.push_back(std::move(parameter));
  return items_.back();
}

TParameter* TParameters::FindParam(std::string_view name) {
  for (auto& p : items_)
    if (SameText(p.Name, name)) return &p;
  return nullptr;
}

TParameter& TParameters::ParamByName(std::string_view name) {
  TParameter* parameter = FindParam(name);
  if (parameter == nullptr) throw Exception("Parameter '" + std::string(name) + "' not found");
  return *parameter;
}

}  // namespace tessaro
