// Field types as data: their names, and which of them hold numbers and which
// dates or times, for the places that format those differently from text.
#pragma once

#include <span>
#include <string_view>

#include "db/dataset.h"

namespace tessaro {

// True for small integer, integer, word, float, currency, BCD, auto-increment,
// large integer and FMT-BCD fields.
bool IsNumericFieldType(TFieldType type);

// True for date, time and date-time fields.
bool IsTemporalFieldType(TFieldType type);

// The name of a field type: "ftUnknown", "ftString", "ftInteger" ...
std::string_view FieldTypeName(TFieldType type);

// The names of the field types that definition files store and parameter
// names carry, in stored order: index = the type's value (ftUnknown ..
// ftFMTBcd).
std::span<const std::string_view> StoredFieldTypeNames();

// The stored field type of this name ("ftInteger", any letter case);
// ftUnknown when no stored type has it.
TFieldType FieldTypeByName(std::string_view name);

}  // namespace tessaro
