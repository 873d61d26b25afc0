// TFieldValue: one field's value in one record, as the data sets keep it in
// memory, and how such a value reads in every form a field offers.
//
// A value is Null (std::monostate), an integer, a double, a boolean or a
// text; the field's type says what the text or double stands for:
//   - date, time and date-time types: the double is a TDateTime;
//   - numeric types: a text is an exact decimal written with "." (the
//     database layer keeps decimals with more digits than a double holds
//     this way);
//   - binary types: the text holds the bytes.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "db/dataset.h"
#include "util/regional_settings.h"

namespace tessaro {

using TFieldValue = std::variant<std::monostate, int64_t, double, bool, std::string>;

inline bool IsNullValue(const TFieldValue& value) { return std::holds_alternative<std::monostate>(value); }

// Plain text: integers in digits, numbers by FloatToStr (exact decimals with
// the regional decimal separator), dates and times by the regional pattern
// of their type, booleans "True"/"False", texts as they are; Null is empty.
std::string FieldValueAsString(const TFieldValue& value, TFieldType type);

// Native readings. Numbers convert between integer and double, booleans
// read as 1 and 0, texts are parsed; anything else throws Exception
// ("'x' is not a valid integer value" ...). REQUIRES: the value is not Null.
double FieldValueAsFloat(const TFieldValue& value, TFieldType type);
int64_t FieldValueAsLargeInt(const TFieldValue& value, TFieldType type);
bool FieldValueAsBoolean(const TFieldValue& value, TFieldType type);
TDateTime FieldValueAsDateTime(const TFieldValue& value, TFieldType type);

// Display text under the field's display attributes: a boolean by its
// DisplayValues, a number by its DisplayFormat (else a float with its
// Precision), a date or time by its DisplayFormat; otherwise the plain text.
std::string FieldValueDisplayText(const TFieldValue& value, const TField& field);

// Settings that read and write numbers with "." as the decimal separator and
// no thousands separator, whatever the regional settings: the form databases
// and fixed-format texts use.
const TFormatSettings& PointFormatSettings();

}  // namespace tessaro
