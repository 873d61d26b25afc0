// Giving statement parameters their type and value: the parameter naming
// convention (a type suffix after the first "."), typed nulls, and request
// text converted to the parameter's type.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "db/parameters.h"

namespace tessaro {

// The text before the first "." of a parameter name; the whole name without one.
std::string ParamNameBase(std::string_view name);

// The field type named by "ft" and the text after the first "." ("PID.Integer"
// gives ftInteger, any letter case); ftUnknown (no forced type) without a ".",
// with nothing after it, or when that names no stored field type.
TFieldType ParamTypeSuffix(std::string_view name);

// The type a parameter definition gives a parameter: called with the
// parameter's full name, it returns the definition's data type when the
// evidence item has a definition for the name's base (letter case ignored)
// that has a parameter type, and nothing otherwise. An empty function means
// no definitions.
using TParamTypeLookup = std::function<std::optional<TFieldType>(std::string_view name)>;

// Gives `parameter` a type and a null value: the type suffix's type when the
// name has one, else the definition's type when `definitions` knows one, else
// the type stays as it is. The value becomes null unless the parameter is an
// output parameter, whose value is kept.
void BindDefaultParam(TParameter& parameter, const TParamTypeLookup& definitions);

// Sets `parameter`'s value from request text, by its current data type:
//   ftSmallint, ftInteger, ftWord, ftAutoInc   a 32-bit integer
//   ftBoolean          true when the first character is 1-9, A, T or Y (any case)
//   ftFloat, ftCurrency, ftBCD   the trimmed text with "." as decimal
//                      separator, else the text with the regional one
//   ftDate, ftDateTime a date and time by the regional short formats
//   anything else      the text itself
// Empty text gives false to a boolean and BindDefaultParam to the others.
// Text that is not a number or date of the type throws EConvertError.
void BindParamValue(TParameter& parameter, std::string_view text, const TParamTypeLookup& definitions);

// Sets a collected parameter-list entry from a parsed parameter: its name,
// data type, size and precision (held to 0..255).
void CopyParamDef(TParameter& entry, const TParameter& parameter);

// Gives every parameter of `target` its type and a null value
// (BindDefaultParam), in order. A null target does nothing.
void BindParams(TParameters* target, const TParamTypeLookup& definitions);

}  // namespace tessaro
