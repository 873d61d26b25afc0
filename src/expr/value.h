// The values an expression computes with.
//
// Four value types take part in operation signatures: number, string, date
// and boolean (type codes 1 to 4; code 0 is the type of an empty expression).
// Beside them a value may be Null (a missing value, such as a database NULL)
// or empty (no value at all: what a skipped operand leaves on the stack).
// Numbers are doubles; an integer read from a database field keeps its exact
// value as an integer number. Dates count days from 30 December 1899, the
// fraction being the time of day.
#pragma once

#include <cstdint>
#include <string>

#include "util/datetime.h"

namespace tessaro {

// Type codes of operation signatures.
enum TValueType : uint8_t { vtNone = 0, vtNumber = 1, vtString = 2, vtDate = 3, vtBoolean = 4 };

enum class TValueKind : uint8_t { vkEmpty, vkNull, vkNumber, vkInteger, vkString, vkDate, vkBoolean };

class TValue {
 public:
  TValue() = default;  // empty

  static TValue Null() { return TValue(TValueKind::vkNull); }
  static TValue Number(double v);
  static TValue Integer(int64_t v);
  static TValue String(std::string v);
  static TValue Date(TDateTime v);
  static TValue Boolean(bool v);

  TValueKind Kind() const { return kind_; }
  bool IsEmpty() const { return kind_ == TValueKind::vkEmpty; }
  bool IsNull() const { return kind_ == TValueKind::vkNull; }
  bool IsNullOrEmpty() const { return kind_ <= TValueKind::vkNull; }
  // The signature type code: vtNumber for numbers and integers, vtNone for
  // Null and empty.
  TValueType Type() const;
  // Whether this is the boolean `b` (Null, empty and non-booleans never are).
  bool Is(bool b) const { return kind_ == TValueKind::vkBoolean && boolean_ == b; }

  // The value read as an operand of the given type. A number, an integer and
  // a date all read as a number and as a date. Anything else throws the
  // "Invalid operand type" evaluation error.
  double AsNumber() const;
  TDateTime AsDate() const { return AsNumber(); }
  const std::string& AsText() const;
  bool AsBoolean() const;
  // REQUIRES: Kind() == vkInteger.
  int64_t IntegerValue() const { return integer_; }

  bool operator==(const TValue& other) const;

 private:
  explicit TValue(TValueKind kind) : kind_(kind) {}

  TValueKind kind_ = TValueKind::vkEmpty;  // which member below holds the value
  union {
    double number_ = 0;  // vkNumber, vkDate
    int64_t integer_;    // vkInteger
    bool boolean_;       // vkBoolean
  };
  std::string text_;  // vkString
};

// The standard text of a value: numbers with up to 15 significant digits and
// the regional decimal separator (integers with all their digits), dates by
// the short date pattern followed by the long time unless the time of day is
// zero, booleans "True" or "False", strings unchanged, Null and empty "".
std::string StandardText(const TValue& value);

}  // namespace tessaro
