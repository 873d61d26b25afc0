// Field types as data: one table of names in the enumeration's order, and
// the sets of numeric and temporal types, listed once.
#include "db/field_types.h"

#include <algorithm>
#include <iterator>

#include "util/text.h"

namespace tessaro {
namespace {

constexpr std::string_view kFieldTypeNames[] = {
    "ftUnknown",   "ftString",      "ftSmallint", "ftInteger",  "ftWord",       "ftBoolean",  "ftFloat",
    "ftCurrency",  "ftBCD",         "ftDate",     "ftTime",     "ftDateTime",   "ftBytes",    "ftVarBytes",
    "ftAutoInc",   "ftBlob",        "ftMemo",     "ftGraphic",  "ftFmtMemo",    "ftParadoxOle", "ftDBaseOle",
    "ftTypedBinary", "ftCursor",    "ftFixedChar", "ftWideString", "ftLargeint", "ftADT",     "ftArray",
    "ftReference", "ftDataSet",     "ftOraBlob",  "ftOraClob",  "ftVariant",    "ftInterface", "ftIDispatch",
    "ftGuid",      "ftTimeStamp",   "ftFMTBcd",   "ftWideMemo"};

static_assert(std::size(kFieldTypeNames) == static_cast<size_t>(TFieldType::ftWideMemo) + 1,
              "one name per field type");

// ftFMTBcd is the last type that definition files know.
constexpr size_t kStoredTypeCount = static_cast<size_t>(TFieldType::ftFMTBcd) + 1;

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

std::string_view FieldTypeName(TFieldType type) {
  const auto index = static_cast<size_t>(type);
  return index < std::size(kFieldTypeNames) ? kFieldTypeNames[index] : kFieldTypeNames[0];
}

std::span<const std::string_view> StoredFieldTypeNames() { return {kFieldTypeNames, kStoredTypeCount}; }

TFieldType FieldTypeByName(std::string_view name) {
  for (size_t i = 0; i < kStoredTypeCount; ++i)
    if (SameText(kFieldTypeNames[i], name)) return static_cast<TFieldType>(i);
  return TFieldType::ftUnknown;
}

}  // namespace tessaro
