// Classification of database field types, for the places that format numbers
// and dates differently from text.
#pragma once

#include "db/dataset.h"

namespace tessaro {

// True for small integer, integer, word, float, currency, BCD, auto-increment,
// large integer and FMT-BCD fields.
bool IsNumericFieldType(TFieldType type);

// True for date, time and date-time fields.
bool IsTemporalFieldType(TFieldType type);

}  // namespace tessaro
