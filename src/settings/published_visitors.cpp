// The visitors that move published properties between objects and stores.
//
// A visitor never looks at the store first: it walks the object's property
// table (alphabetically) and, for each property, looks up that one name in
// the store. Names in the store that the object does not publish are
// therefore simply not read; request fields and cookies carry many of them.
//
// Values from a store are text and may be anything, so every conversion is
// checked and a text the property cannot take leaves the property as it was.
#include "settings/published_visitors.h"

#include <string>

#include "util/base64.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro {
namespace {

bool IsDecimalDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// Decimal digits to a value, false when it does not fit 64 signed bits.
bool ParseDigits(std::string_view digits, int64_t& out) {
  uint64_t value = 0;
  for (char c : digits) {
    uint64_t d = static_cast<uint64_t>(c - '0');
    if (value > (static_cast<uint64_t>(INT64_MAX) - d) / 10) return false;
    value = value * 10 + d;
  }
  out = static_cast<int64_t>(value);
  return true;
}

// "." first, then the regional decimal separator; false when neither reads.
bool ParseStoredFloat(std::string_view text, double& out) {
  TFormatSettings dot = RegionalSettings();
  dot.DecimalSeparator = '.';
  return TryStrToFloat(text, out, dot) || TryStrToFloat(text, out);
}

// A string list's value in a store: the Base64 of its text.
std::string EncodedLines(const TStrings& lines) { return Base64Encode(lines.Text()); }
void DecodeLinesInto(TStrings& lines, std::string_view encoded) { lines.SetText(Base64Decode(encoded)); }

// The text-store reading shared by the list and INI readers, for a value
// that is already trimmed and not empty.
void StoreText(TPublishedObject& object, const TPublishedProperty& property, const std::string& text,
               bool include_lists) {
  switch (KindGroup(property.Kind())) {
    case kgOrdinal:
      StoreOrdinalText(object, property, text);
      break;
    case kgString:
      property.SetString(object, text);
      break;
    case kgFloat: {
      double value;
      if (ParseStoredFloat(text, value)) property.SetFloat(object, value);
      break;
    }
    case kgObject:
      if (include_lists && property.Kind() == pkStringList) DecodeLinesInto(*property.Strings(object), text);
      break;
    case kgVariant:
      break;
  }
}

void AssignCollection(TPublishedCollection& destination, const TPublishedCollection& source) {
  if (&destination == &source) return;
  destination.Clear();
  for (size_t i = 0; i < source.Count(); ++i) AssignPublished(destination.Add(), source.Item(i));
}

}  // namespace

bool StoreOrdinalText(TPublishedObject& object, const TPublishedProperty& property, std::string_view text) {
  int64_t value;
  if (IsDecimalDigits(text) && ParseDigits(text, value)) return property.SetOrdinal(object, value);
  int index = property.ValueOfName(text);
  return index >= 0 && property.SetOrdinal(object, index);
}

tPublishedPropertyVisitor::tPublishedPropertyVisitor() : kinds_(0) {
  for (int kind = pkInteger; kind <= pkVariant; ++kind) kinds_ |= 1u << kind;
}

void tAssignVisitor::Visit(TPublishedObject& object, const TPublishedProperty& property, const std::string& name,
                           TPropertyKind kind) {
  const TPublishedProperty* from = source_.PublishedProperties().Find(name);
  if (from == nullptr || from->Kind() != kind) return;
  switch (kind) {
    case pkInteger:
    case pkInt64:
    case pkBoolean:
    case pkEnumeration:
      property.SetOrdinal(object, from->GetOrdinal(source_));
      break;
    case pkString:
      property.SetString(object, from->GetString(source_));
      break;
    case pkFloat:
      property.SetFloat(object, from->GetFloat(source_));
      break;
    case pkVariant:
      property.SetVariant(object, from->GetVariant(source_));
      break;
    case pkStringList: {
      TStrings* to = property.Strings(object);
      const TStrings* lines = from->Strings(source_);
      if (to != lines) *to = *lines;
      break;
    }
    case pkCollection:
      AssignCollection(*property.Collection(object), *from->Collection(source_));
      break;
    case pkObject: {
      TPublishedObject* to = property.Object(object);
      const TPublishedObject* nested = from->Object(source_);
      if (to != nullptr && nested != nullptr) AssignPublished(*to, *nested);
      break;
    }
  }
}

void tWriteStringsVisitor::Visit(TPublishedObject& object, const TPublishedProperty& property,
                                 const std::string& name, TPropertyKind kind) {
  switch (kind) {
    case pkInteger:
    case pkInt64:
    case pkBoolean:
    case pkEnumeration:
      list_.SetValues(name, std::to_string(property.GetOrdinal(object)));
      break;
    case pkString:
      list_.SetValues(name, property.GetString(object));
      break;
    case pkFloat:
      list_.SetValues(name, FloatToStr(property.GetFloat(object)));
      break;
    case pkStringList:
      if (include_lists_) list_.SetValues(name, EncodedLines(*property.Strings(object)));
      break;
    case pkCollection:
    case pkObject:
    case pkVariant:
      break;
  }
}

void tReadIniVisitor::Visit(TPublishedObject& object, const TPublishedProperty& property, const std::string& name,
                            TPropertyKind kind) {
  switch (KindGroup(kind)) {
    case kgOrdinal: {
      std::string text = Trim(ini_.ReadString(section_, name, std::to_string(property.GetOrdinal(object))));
      StoreOrdinalText(object, property, text);
      break;
    }
    case kgString:
      property.SetString(object, ini_.ReadString(section_, name, property.GetString(object)));
      break;
    case kgFloat:
      property.SetFloat(object, ini_.ReadFloat(section_, name, property.GetFloat(object)));
      break;
    case kgObject:
      if (kind == pkStringList) {
        TStrings& lines = *property.Strings(object);
        // The current lines are the default, so a missing key keeps them.
        DecodeLinesInto(lines, ini_.ReadString(section_, name, lines.Empty() ? "" : EncodedLines(lines)));
      }
      break;
    case kgVariant:
      break;
  }
}

void tReadStringsVisitor::Visit(TPublishedObject& object, const TPublishedProperty& property,
                                const std::string& name, TPropertyKind /*kind*/) {
  std::string text = Trim(list_.Values(name));
  if (!text.empty()) StoreText(object, property, text, include_lists_);
}

void AcceptVisitor(TPublishedObject& object, tPublishedPropertyVisitor& visitor) {
  if (auto* visited = dynamic_cast<IZNVisited*>(&object)) {
    visited->Accept(visitor);
  } else {
    tZNImplementsVisited(object).Accept(visitor);
  }
}

void AssignPublished(TPublishedObject& destination, const TPublishedObject& source) {
  if (&destination == &source) return;
  tAssignVisitor visitor(source);
  AcceptVisitor(destination, visitor);
}

void ReadPublishedFromIni(TPublishedObject& object, const TZNKIniFile& ini, std::string_view section) {
  tReadIniVisitor visitor(ini, std::string(section));
  AcceptVisitor(object, visitor);
}

void WritePublishedToStrings(const TPublishedObject& object, TStrings& list, bool include_lists) {
  tWriteStringsVisitor visitor(list, include_lists);
  // The writer only reads the object's properties.
  AcceptVisitor(const_cast<TPublishedObject&>(object), visitor);
}

void ReadPublishedFromStrings(TPublishedObject& object, const TStrings& list, bool include_lists) {
  tReadStringsVisitor visitor(list, include_lists);
  AcceptVisitor(object, visitor);
}

}  // namespace tessaro
