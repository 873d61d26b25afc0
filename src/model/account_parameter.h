// TAccountParameter: one named, typed value of a user account (the items of
// TUserAccount::ParameterValues), which account-specific SQL parameters take
// their values from.
#pragma once

#include <cstdint>
#include <string>

#include "db/dataset.h"
#include "settings/published.h"

namespace tessaro {

// The kind of an account parameter, by its stored names.
enum class TAccountParamType : uint8_t { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

class TAccountParameter : public TPublished<TAccountParameter> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TAccountParameter>& p);

  std::string Name;                                            // the parameter's name
  TFieldType DataType = TFieldType::ftUnknown;                 // stored by name, ftUnknown .. ftFMTBcd
  TAccountParamType ParamType = TAccountParamType::ptUnknown;  // direction of the parameter
  int Precision = 0;                                           // digits of a decimal
  int NumericScale = 0;                                        // digits after the point
  int Size = 0;                                                // size of text or binary values
  TVariant Value;                                              // the value; null, text, number, date or boolean
};

using TAccountParameters = TVisitedCollection<TAccountParameter>;

}  // namespace tessaro
