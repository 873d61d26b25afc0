// The value names of stored field-type properties (a parameter's data type,
// an account value's type): the names files store, in the enumeration's
// order, so that the property's ordinal is the TFieldType value.
#pragma once

#include <string>
#include <vector>

namespace tessaro {

// "ftUnknown" .. "ftFMTBcd"; types beyond those are never stored.
const std::vector<std::string>& FieldTypeValueNames();

}  // namespace tessaro
