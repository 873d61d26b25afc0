// The binary object stream: how one object with published properties is laid
// out in the definition and user files, and how lists count their elements.
//
// A streamed object is a signature, a header, its properties and its child
// objects (all integers little-endian):
//
//   | bytes          | content                                                |
//   |----------------|--------------------------------------------------------|
//   | 4              | "TPF0" (not repeated for child objects)                |
//   | 0 or 1 (+val)  | prefix 0xF0..0xFF; bit 1 set: a typed integer follows  |
//   | 1 + n          | class name, short string (length byte, bytes)          |
//   | 1 + n          | object name, short string (empty for elements)         |
//   | repeated       | property: name as short string, then a typed value     |
//   | 1              | 0: end of properties                                   |
//   | repeated       | child objects (header, properties, children)           |
//   | 1              | 0: end of children                                     |
//
// A typed value is one type byte and its data:
//
//   | type | data                                                           |
//   |------|----------------------------------------------------------------|
//   | 0    | null (ends a list)                                             |
//   | 1    | list: values until a 0 type byte                               |
//   | 2-4  | signed integer of 1, 2, 4 bytes                                |
//   | 5    | 10-byte extended float (64-bit mantissa, sign + 15-bit exp.)   |
//   | 6    | short string: 1 length byte, bytes                             |
//   | 7    | identifier (enumeration value name, object name): short string |
//   | 8, 9 | false, true                                                    |
//   | 10   | binary: 32-bit length, bytes                                   |
//   | 11   | set: short strings until an empty one                          |
//   | 12   | long string: 32-bit length, bytes                              |
//   | 13   | nil                                                            |
//   | 14   | collection: items until 0; an item is an optional integer      |
//   |      | (2-4), a list marker 1, its properties until 0                 |
//   | 15   | 4-byte float                                                   |
//   | 16   | currency: 64-bit integer scaled by 10000                       |
//   | 17   | date: 8-byte float day number                                  |
//   | 18   | wide string: 32-bit character count, UTF-16LE characters      |
//   | 19   | 64-bit integer                                                 |
//   | 20   | UTF-8 string: 32-bit byte length, bytes                        |
//
// A list of elements is a signed 32-bit count followed by the elements.
//
// Property names are resolved through the published-property tables: a
// dotted name walks nested objects ("TableAttributes.Width"), a string list
// is named "<name>.Strings". Text is windows-1250 in both directions; wide
// and UTF-8 strings are converted on reading. Every length and count is
// checked against the bytes that are left before anything is allocated, and
// nesting is bounded, so a damaged or hostile stream ends in EStreamError
// rather than in a crash, a hang or a huge allocation.
#include "model/io/object_stream.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "util/codepage.h"
#include "util/float_math.h"
#include "util/text.h"

namespace tessaro {
namespace {

constexpr char kSignature[] = "TPF0";

// Event handlers of a stored object (a template's OnFormatCell) are stored
// by the name of their method; nothing here runs them, so they are skipped.
bool IsEventHandlerName(std::string_view name) {
  const size_t dot = name.rfind('.');
  const std::string_view last = dot == std::string_view::npos ? name : name.substr(dot + 1);
  return last.size() > 2 && StartsText("On", last);
}

bool IsIntegerType(uint8_t type) { return type == vaInt8 || type == vaInt16 || type == vaInt32 || type == vaInt64; }
bool IsTextType(uint8_t type) {
  return type == vaString || type == vaLString || type == vaWString || type == vaUTF8String;
}

std::string Utf16ToCp1250(const uint8_t* bytes, size_t count) {
  std::string out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    char32_t unit = static_cast<char32_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count) {
      const char32_t low = static_cast<char32_t>(bytes[2 * i + 2] | (bytes[2 * i + 3] << 8));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    bool ok = true;
    out.push_back(UnicodeToCp1250(unit, ok));
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Extended floats

double ExtendedToDouble(const uint8_t bytes[10]) {
  uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[i];
  const int sign_exponent = bytes[8] | (bytes[9] << 8);
  const bool negative = (sign_exponent & 0x8000) != 0;
  const int exponent = sign_exponent & 0x7FFF;
  double value;
  if (exponent == 0x7FFF)
    value = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
  else
    value = ScaleByPowerOfTwo(static_cast<double>(mantissa), exponent - 16383 - 63);
  return negative ? -value : value;
}

void DoubleToExtended(double value, uint8_t bytes[10]) {
  uint64_t mantissa = 0;
  int exponent = 0;
  const bool negative = std::signbit(value);
  if (std::isnan(value)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(value)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (value != 0) {
    // The double's own bits, with the leading 1 made explicit: an exact copy.
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    int biased = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    if (biased == 0) {  // subnormal: shift the leading 1 up to bit 52
      const int shift = std::countl_zero(fraction) - 11;
      fraction <<= shift;
      biased = 1 - shift;
    } else {
      fraction |= uint64_t{1} << 52;
    }
    mantissa = fraction << 11;
    exponent = biased - 1023 + 16383;
  }
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(mantissa >> (8 * i));
  const int sign_exponent = exponent | (negative ? 0x8000 : 0);
  bytes[8] = static_cast<uint8_t>(sign_exponent);
  bytes[9] = static_cast<uint8_t>(sign_exponent >> 8);
}

// ---------------------------------------------------------------------------
// Reader: primitives

void TObjectStreamReader::Fail(const std::string& what) const {
  throw EStreamError(what + " at offset " + std::to_string(pos_));
}

void TObjectStreamReader::BadValue(std::string_view name) const {
  Fail("Invalid value for property " + std::string(name));
}

const uint8_t* TObjectStreamReader::Take(size_t count) {
  if (count > size_ - pos_) Fail("Unexpected end of stream");
  const uint8_t* at = data_ + pos_;
  pos_ += count;
  return at;
}

uint8_t TObjectStreamReader::ReadByte() { return *Take(1); }

// The files are little-endian, like every machine this program runs on.
static_assert(std::endian::native == std::endian::little);

template <class T>
T TObjectStreamReader::ReadLittleEndian() {
  T value;
  std::memcpy(&value, Take(sizeof(T)), sizeof(T));
  return value;
}

std::string TObjectStreamReader::ReadShortString() {
  const uint8_t length = ReadByte();
  const uint8_t* at = Take(length);
  return std::string(reinterpret_cast<const char*>(at), length);
}

std::string_view TObjectStreamReader::ReadName() {
  const uint8_t length = ReadByte();
  return std::string_view(reinterpret_cast<const char*>(Take(length)), length);
}

std::string TObjectStreamReader::ReadLongString() {
  const uint32_t length = ReadLittleEndian<uint32_t>();
  const uint8_t* at = Take(length);
  return std::string(reinterpret_cast<const char*>(at), length);
}

int32_t TObjectStreamReader::ReadCount() { return ReadLittleEndian<int32_t>(); }

// ---------------------------------------------------------------------------
// Reader: objects

std::string TObjectStreamReader::ReadObjectHeader(bool signature) {
  if (signature && std::memcmp(Take(4), kSignature, 4) != 0) Fail("Invalid stream format");
  if (pos_ < size_ && (data_[pos_] & 0xF0) == 0xF0) {
    const uint8_t prefix = ReadByte();
    if (prefix & 0x02) {
      const uint8_t type = ReadByte();
      if (!IsIntegerType(type)) Fail("Invalid object position");
      ReadInteger(type, "position");
    }
  }
  std::string class_name = ReadShortString();
  ReadName();  // the object name
  return class_name;
}

void TObjectStreamReader::ReadObject(TPublishedObject& object) {
  ReadObjectHeader(true);
  ReadProperties(object, 0);
  SkipChildren(0);
}

std::string TObjectStreamReader::SkipObject() {
  std::string class_name = ReadObjectHeader(true);
  for (std::string_view name = ReadName(); !name.empty(); name = ReadName()) SkipValue(ReadByte(), 1);
  SkipChildren(0);
  return class_name;
}

void TObjectStreamReader::SkipChildren(int depth) {
  if (depth >= kMaxDepth) Fail("Objects nested too deeply");
  while (ReadByte() != 0) {
    --pos_;
    ReadObjectHeader(false);
    for (std::string_view name = ReadName(); !name.empty(); name = ReadName()) SkipValue(ReadByte(), depth + 1);
    SkipChildren(depth + 1);
  }
}

void TObjectStreamReader::ReadProperties(TPublishedObject& object, int depth) {
  if (depth >= kMaxDepth) Fail("Objects nested too deeply");
  for (std::string_view name = ReadName(); !name.empty(); name = ReadName()) ReadProperty(object, name, depth);
}

TPropertyRef TObjectStreamReader::Resolve(TPublishedObject& object, std::string_view name) {
  if (name.find('.') != std::string_view::npos) return FindPublishedProperty(object, name);
  const TPropertyTable& table = object.PublishedProperties();
  TNameCache& cache = names_[&table];
  auto cached = cache.find(name);
  if (cached == cache.end()) cached = cache.emplace(std::string(name), table.Find(name)).first;
  if (cached->second == nullptr) return {};
  return {&object, cached->second};
}

void TObjectStreamReader::ReadProperty(TPublishedObject& object, std::string_view name, int depth) {
  const uint8_t type = ReadByte();
  TPropertyRef ref = Resolve(object, name);
  const bool reference_value = type == vaIdent || type == vaNil;
  if (!ref) {
    if (reference_value && IsEventHandlerName(name)) return SkipValue(type, depth);
    Fail("Property " + std::string(name) + " does not exist");
  }
  if (ref.property->Kind() == pkObject) {
    if (reference_value) return SkipValue(type, depth);
    BadValue(name);
  }
  ReadValueInto(*ref.object, *ref.property, name, type, depth);
}

void TObjectStreamReader::ReadValueInto(TPublishedObject& object, const TPublishedProperty& property,
                                        std::string_view name, uint8_t type, int depth) {
  switch (property.Kind()) {
    case pkInteger:
    case pkInt64:
      if (!IsIntegerType(type) || !property.SetOrdinal(object, ReadInteger(type, name))) BadValue(name);
      return;
    case pkBoolean:
      if (type == vaFalse || type == vaTrue) {
        property.SetOrdinal(object, type == vaTrue ? 1 : 0);
        return;
      }
      [[fallthrough]];
    case pkEnumeration: {
      int64_t ordinal = -1;
      if (type == vaIdent)
        ordinal = property.ValueOfName(ReadName());
      else if (IsIntegerType(type))
        ordinal = ReadInteger(type, name);
      if (ordinal < 0 || !property.SetOrdinal(object, ordinal)) BadValue(name);
      return;
    }
    case pkString:
      property.SetString(object, ReadText(type, name));
      return;
    case pkFloat:
      property.SetFloat(object, ReadFloat(type, name));
      return;
    case pkVariant:
      property.SetVariant(object, ReadVariant(type, name));
      return;
    case pkStringList:
      if (type != vaList) BadValue(name);
      ReadStringList(*property.Strings(object), name);
      return;
    case pkCollection: {
      if (type != vaCollection) BadValue(name);
      TPublishedCollection* collection = property.Collection(object);
      if (collection == nullptr) Fail("Property " + std::string(name) + " does not exist");
      ReadCollection(*collection, depth + 1);
      return;
    }
    case pkObject:
      break;
  }
  BadValue(name);
}

void TObjectStreamReader::ReadStringList(TStrings& lines, std::string_view name) {
  // The lines are collected first, so that a damaged list leaves the old
  // lines in place; a complete one always replaces them all.
  TStrings read;
  for (uint8_t type = ReadByte(); type != vaNull; type = ReadByte()) read.Add(ReadText(type, name));
  lines = std::move(read);
}

void TObjectStreamReader::ReadCollection(TPublishedCollection& collection, int depth) {
  if (depth >= kMaxDepth) Fail("Collections nested too deeply");
  bool emptied = false;
  for (uint8_t type = ReadByte(); type != vaNull; type = ReadByte()) {
    if (IsIntegerType(type)) {
      ReadInteger(type, "order");  // an item's order number carries nothing
      type = ReadByte();
    }
    if (type != vaList) Fail("Invalid collection item");
    if (!emptied) {
      collection.Clear();
      emptied = true;
    }
    ReadProperties(collection.Add(), depth + 1);
  }
}

int64_t TObjectStreamReader::ReadInteger(uint8_t type, std::string_view name) {
  switch (type) {
    case vaInt8:
      return static_cast<int8_t>(ReadByte());
    case vaInt16:
      return ReadLittleEndian<int16_t>();
    case vaInt32:
      return ReadLittleEndian<int32_t>();
    case vaInt64:
      return ReadLittleEndian<int64_t>();
    default:
      BadValue(name);
  }
}

double TObjectStreamReader::ReadFloat(uint8_t type, std::string_view name) {
  switch (type) {
    case vaExtended:
      return ExtendedToDouble(Take(10));
    case vaSingle:
      return ReadLittleEndian<float>();
    case vaDate:
      return ReadLittleEndian<double>();
    case vaCurrency:
      return static_cast<double>(ReadLittleEndian<int64_t>()) / 10000.0;
    default:
      if (IsIntegerType(type)) return static_cast<double>(ReadInteger(type, name));
      BadValue(name);
  }
}

std::string TObjectStreamReader::ReadText(uint8_t type, std::string_view name) {
  switch (type) {
    case vaString:
      return ReadShortString();
    case vaLString:
      return ReadLongString();
    case vaWString: {
      const uint32_t count = ReadLittleEndian<uint32_t>();
      if (count > Remaining() / 2) Fail("Unexpected end of stream");
      return Utf16ToCp1250(Take(size_t{count} * 2), count);
    }
    case vaUTF8String: {
      std::string utf8 = ReadLongString();
      if (!IsValidUtf8(utf8)) Fail("Invalid UTF-8 text in property " + std::string(name));
      return DecodeInput(utf8);
    }
    default:
      BadValue(name);
  }
}

TVariant TObjectStreamReader::ReadVariant(uint8_t type, std::string_view name) {
  if (type == vaNull || type == vaNil) return TVariant();
  if (type == vaFalse || type == vaTrue) return TVariant::Boolean(type == vaTrue);
  if (IsIntegerType(type)) return TVariant::Integer(ReadInteger(type, name));
  if (IsTextType(type)) return TVariant::String(ReadText(type, name));
  if (type == vaDate) return TVariant::Date(ReadLittleEndian<double>());
  return TVariant::Float(ReadFloat(type, name));
}

void TObjectStreamReader::SkipValue(uint8_t type, int depth) {
  if (depth >= kMaxDepth) Fail("Values nested too deeply");
  switch (type) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      return;
    case vaList:
      for (uint8_t item = ReadByte(); item != vaNull; item = ReadByte()) SkipValue(item, depth + 1);
      return;
    case vaInt8:
      Take(1);
      return;
    case vaInt16:
      Take(2);
      return;
    case vaInt32:
    case vaSingle:
      Take(4);
      return;
    case vaInt64:
    case vaCurrency:
    case vaDate:
      Take(8);
      return;
    case vaExtended:
      Take(10);
      return;
    case vaString:
    case vaIdent:
      ReadName();
      return;
    case vaBinary:
    case vaLString:
    case vaUTF8String:
      Take(ReadLittleEndian<uint32_t>());
      return;
    case vaWString: {
      const uint32_t count = ReadLittleEndian<uint32_t>();
      if (count > Remaining() / 2) Fail("Unexpected end of stream");
      Take(size_t{count} * 2);
      return;
    }
    case vaSet:
      while (!ReadName().empty()) {
      }
      return;
    case vaCollection:
      for (uint8_t item = ReadByte(); item != vaNull; item = ReadByte()) {
        if (IsIntegerType(item)) {
          SkipValue(item, depth + 1);
          item = ReadByte();
        }
        if (item != vaList) Fail("Invalid collection item");
        for (std::string_view name = ReadName(); !name.empty(); name = ReadName()) SkipValue(ReadByte(), depth + 1);
      }
      return;
    default:
      Fail("Invalid value type " + std::to_string(type));
  }
}

// ---------------------------------------------------------------------------
// Writer

template <class T>
void TObjectStreamWriter::WriteLittleEndian(T value) {
  uint8_t bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  out_.append(reinterpret_cast<const char*>(bytes), sizeof(T));
}

void TObjectStreamWriter::WriteCount(int32_t count) { WriteLittleEndian(count); }

void TObjectStreamWriter::WriteShortString(std::string_view text) {
  if (text.size() > 255) throw EStreamError("Name too long for the stream: " + std::string(text.substr(0, 40)));
  out_.push_back(static_cast<char>(text.size()));
  out_.append(text);
}

void TObjectStreamWriter::WriteText(std::string_view text) {
  if (text.size() <= 255) {
    out_.push_back(static_cast<char>(vaString));
    WriteShortString(text);
  } else {
    out_.push_back(static_cast<char>(vaLString));
    WriteLittleEndian(static_cast<uint32_t>(text.size()));
    out_.append(text);
  }
}

void TObjectStreamWriter::WriteInteger(int64_t value) {
  if (value >= INT8_MIN && value <= INT8_MAX) {
    out_.push_back(static_cast<char>(vaInt8));
    out_.push_back(static_cast<char>(static_cast<int8_t>(value)));
  } else if (value >= INT16_MIN && value <= INT16_MAX) {
    out_.push_back(static_cast<char>(vaInt16));
    WriteLittleEndian(static_cast<int16_t>(value));
  } else if (value >= INT32_MIN && value <= INT32_MAX) {
    out_.push_back(static_cast<char>(vaInt32));
    WriteLittleEndian(static_cast<int32_t>(value));
  } else {
    out_.push_back(static_cast<char>(vaInt64));
    WriteLittleEndian(value);
  }
}

void TObjectStreamWriter::WriteExtended(double value) {
  uint8_t bytes[10];
  DoubleToExtended(value, bytes);
  out_.push_back(static_cast<char>(vaExtended));
  out_.append(reinterpret_cast<const char*>(bytes), 10);
}

void TObjectStreamWriter::WriteVariant(const TVariant& value) {
  switch (value.GetType()) {
    case TVariant::vtNull:
      out_.push_back(static_cast<char>(vaNull));
      return;
    case TVariant::vtInteger:
      WriteInteger(value.AsInteger());
      return;
    case TVariant::vtFloat:
      WriteExtended(value.AsFloat());
      return;
    case TVariant::vtString:
      WriteText(value.AsString());
      return;
    case TVariant::vtBoolean:
      out_.push_back(static_cast<char>(value.AsBoolean() ? vaTrue : vaFalse));
      return;
    case TVariant::vtDate:
      out_.push_back(static_cast<char>(vaDate));
      WriteLittleEndian(value.AsFloat());
      return;
  }
}

void TObjectStreamWriter::WriteObject(const TPublishedObject& object, std::string_view class_name) {
  out_.append(kSignature, 4);
  WriteShortString(class_name);
  WriteShortString("");
  WriteProperties(object, "");
  out_.push_back(0);  // end of properties
  out_.push_back(0);  // end of children
}

void TObjectStreamWriter::WriteProperties(const TPublishedObject& object, const std::string& prefix) {
  for (const auto& property : object.PublishedProperties().Properties()) WriteProperty(object, *property, prefix);
}

void TObjectStreamWriter::WriteProperty(const TPublishedObject& object, const TPublishedProperty& property,
                                        const std::string& prefix) {
  const std::string name = prefix + property.Name();
  if (property.Kind() == pkObject) {
    if (const TPublishedObject* nested = property.Object(object)) WriteProperties(*nested, name + ".");
    return;
  }
  if (property.IsDefault(object)) return;
  switch (property.Kind()) {
    case pkInteger:
    case pkInt64:
      WriteShortString(name);
      WriteInteger(property.GetOrdinal(object));
      return;
    case pkBoolean:
      WriteShortString(name);
      out_.push_back(static_cast<char>(property.GetOrdinal(object) != 0 ? vaTrue : vaFalse));
      return;
    case pkEnumeration: {
      const int64_t ordinal = property.GetOrdinal(object);
      const auto& names = property.ValueNames();
      if (ordinal < 0 || static_cast<size_t>(ordinal) >= names.size())
        throw EStreamError("Property " + name + " holds no named value");
      WriteShortString(name);
      out_.push_back(static_cast<char>(vaIdent));
      WriteShortString(names[static_cast<size_t>(ordinal)]);
      return;
    }
    case pkString:
      WriteShortString(name);
      WriteText(property.GetString(object));
      return;
    case pkFloat:
      WriteShortString(name);
      WriteExtended(property.GetFloat(object));
      return;
    case pkVariant:
      WriteShortString(name);
      WriteVariant(property.GetVariant(object));
      return;
    case pkStringList:
      WriteShortString(name + ".Strings");
      out_.push_back(static_cast<char>(vaList));
      for (const std::string& line : *property.Strings(object)) WriteText(line);
      out_.push_back(static_cast<char>(vaNull));
      return;
    case pkCollection: {
      const TPublishedCollection& collection = *property.Collection(object);
      WriteShortString(name);
      out_.push_back(static_cast<char>(vaCollection));
      for (size_t i = 0; i < collection.Count(); ++i) {
        out_.push_back(static_cast<char>(vaList));
        WriteProperties(collection.Item(i), "");
        out_.push_back(0);
      }
      out_.push_back(static_cast<char>(vaNull));
      return;
    }
    case pkObject:
      return;
  }
}

}  // namespace tessaro
