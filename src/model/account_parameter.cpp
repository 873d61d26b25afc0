// Account parameters: a name/value item whose stored form is that of a
// statement parameter (name, field type, kind, precision, scale, size, value).
#include "model/account_parameter.h"

#include <vector>

#include "db/field_types.h"

namespace tessaro {
namespace {

std::vector<std::string> FieldTypeValueNames() {
  std::vector<std::string> names;
  for (std::string_view name : StoredFieldTypeNames()) names.emplace_back(name);
  return names;
}

}  // namespace

void TAccountParameter::DeclareProperties(TPropertyDeclarations<TAccountParameter>& p) {
  p.String("Name", &TAccountParameter::Name)
      .Enumeration("DataType", &TAccountParameter::DataType, FieldTypeValueNames())
      .Enumeration("ParamType", &TAccountParameter::ParamType,
                   {"ptUnknown", "ptInput", "ptOutput", "ptInputOutput", "ptResult"})
      .Integer("Precision", &TAccountParameter::Precision, 0)
      .Integer("NumericScale", &TAccountParameter::NumericScale, 0)
      .Integer("Size", &TAccountParameter::Size, 0)
      .Variant("Value", &TAccountParameter::Value);
}

}  // namespace tessaro
