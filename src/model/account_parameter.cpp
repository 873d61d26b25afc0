// Account parameters: a name/value item whose stored form is that of a
// statement parameter (name, field type, kind, precision, scale, size, value).
#include "model/account_parameter.h"

#include "model/field_type_property.h"

namespace tessaro {

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
