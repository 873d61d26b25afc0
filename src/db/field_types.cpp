// Field-type classes: which database field types hold numbers and which hold
// dates or times. The sets are listed once, as data.
#include "util/field_types.h"

#include <algorithm>
#include <iterator>

namespace tessaro {
namespace {

constexpr TFieldType kNumericTypes[] = {TFieldType::ftSmallint, TFieldType::ftInteger,  TFieldType::ftWord,
                                        TFieldType::ftFloat,    TFieldType::ftCurrency, TFieldType::ftBCD,
                                        TFieldType::ftAutoInc,  TFieldType::ftLargeint, TFieldType::ftFMTBcd};

constexpr TFieldType kTemporalTypes[] = {TFieldType::ftDate, TFieldType::ftTime, TFieldType::ftDateTime};

template <size_t N>
bool Contains(const TFieldType (&set)[N], TFieldType type) {
  return std::find(std::begin(set), std::end(set), type) != std::end(set);
}

}  // namespace

bool IsNumericFieldType(TFieldType type) { return Contains(kNumericTypes, type); }

bool IsTemporalFieldType(TFieldType type) { return Contains(kTemporalTypes, type); }

}  // namespace tessaro
