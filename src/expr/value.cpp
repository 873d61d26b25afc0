// Construction, typed reading and the standard text of expression values.
#include "expr/value.h"

#include "expr/expression_errors.h"
#include "util/date_format.h"
#include "util/number_format.h"

namespace tessaro {

TValue TValue::Number(double v) {
  TValue r(TValueKind::vkNumber);
  r.number_ = v;
  return r;
}

TValue TValue::Integer(int64_t v) {
  TValue r(TValueKind::vkInteger);
  r.integer_ = v;
  return r;
}

TValue TValue::String(std::string v) {
  TValue r(TValueKind::vkString);
  r.text_ = std::move(v);
  return r;
}

TValue TValue::Date(TDateTime v) {
  TValue r(TValueKind::vkDate);
  r.number_ = v;
  return r;
}

TValue TValue::Boolean(bool v) {
  TValue r(TValueKind::vkBoolean);
  r.boolean_ = v;
  return r;
}

TValueType TValue::Type() const {
  switch (kind_) {
    case TValueKind::vkNumber:
    case TValueKind::vkInteger:
      return vtNumber;
    case TValueKind::vkString:
      return vtString;
    case TValueKind::vkDate:
      return vtDate;
    case TValueKind::vkBoolean:
      return vtBoolean;
    default:
      return vtNone;
  }
}

double TValue::AsNumber() const {
  if (kind_ == TValueKind::vkNumber || kind_ == TValueKind::vkDate) return number_;
  if (kind_ == TValueKind::vkInteger) return static_cast<double>(integer_);
  RaiseEvaluationError(eeInvalidType);
}

const std::string& TValue::AsText() const {
  if (kind_ != TValueKind::vkString) RaiseEvaluationError(eeInvalidType);
  return text_;
}

bool TValue::AsBoolean() const {
  if (kind_ != TValueKind::vkBoolean) RaiseEvaluationError(eeInvalidType);
  return boolean_;
}

bool TValue::operator==(const TValue& other) const {
  if (kind_ != other.kind_) return false;
  switch (kind_) {
    case TValueKind::vkNumber:
    case TValueKind::vkDate:
      return number_ == other.number_;
    case TValueKind::vkInteger:
      return integer_ == other.integer_;
    case TValueKind::vkString:
      return text_ == other.text_;
    case TValueKind::vkBoolean:
      return boolean_ == other.boolean_;
    default:
      return true;
  }
}

std::string StandardText(const TValue& value) {
  switch (value.Kind()) {
    case TValueKind::vkNumber:
      return FloatToStr(value.AsNumber());
    case TValueKind::vkInteger:
      return std::to_string(value.IntegerValue());
    case TValueKind::vkDate:
      return DateTimeToStr(value.AsDate());
    case TValueKind::vkString:
      return value.AsText();
    case TValueKind::vkBoolean:
      return value.AsBoolean() ? "True" : "False";
    default:
      return std::string();
  }
}

}  // namespace tessaro
