// Field-type value names for published properties, made once from the
// database layer's table of stored names.
#include "model/field_type_property.h"

#include "db/field_types.h"

namespace tessaro {

const std::vector<std::string>& FieldTypeValueNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (std::string_view name : StoredFieldTypeNames()) list.emplace_back(name);
    return list;
  }();
  return names;
}

}  // namespace tessaro
