// The binary object stream of the definition and user files: streamed
// objects whose published properties are written as (name, typed value)
// pairs, and the counts of the lists between them.
//
// TObjectStreamReader reads objects from a byte range it does not own into
// the published properties of any object; TObjectStreamWriter appends them
// to a byte buffer. Both resolve property names through the published
// property tables, so no class needs code of its own to be stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "model/element_stream.h"
#include "settings/published.h"

namespace tessaro {

// The value type bytes of the stream.
enum TStreamValueType : uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
};

// Raised for every malformed, truncated or unreadable stream. The file
// loader replaces it with its own message.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EStreamError"; }
};

class TObjectStreamReader : public TElementReader {
 public:
  // Reads from `data` .. `data + size`, which must outlive the reader.
  TObjectStreamReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  int32_t ReadCount() override;
  // Reads one streamed object into `object`. Throws EStreamError on
  // truncated or malformed data, on a property name `object` does not
  // publish, and on a value its property cannot take.
  void ReadObject(TPublishedObject& object) override;
  // Reads one streamed object and throws it away (its class name is returned).
  std::string SkipObject();

  size_t Position() const { return pos_; }
  size_t Remaining() const { return size_ - pos_; }

 private:
  // Guards against hostile nesting of lists, collections and child objects.
  static constexpr int kMaxDepth = 32;

  uint8_t ReadByte();
  const uint8_t* Take(size_t count);
  template <class T>
  T ReadLittleEndian();
  std::string ReadShortString();
  // A short string as a view into the stream (names are only compared).
  std::string_view ReadName();
  std::string ReadLongString();  // 32-bit length, then bytes
  // The header of an object: signature (when `signature`), prefix, class and
  // object name. Returns the class name.
  std::string ReadObjectHeader(bool signature);
  void ReadProperties(TPublishedObject& object, int depth);
  void ReadProperty(TPublishedObject& object, std::string_view name, int depth);
  // The property `name` of `object`: plain names through a cache per
  // property table, dotted ones through the published-property paths.
  TPropertyRef Resolve(TPublishedObject& object, std::string_view name);
  void ReadValueInto(TPublishedObject& object, const TPublishedProperty& property, std::string_view name, uint8_t type,
                     int depth);
  void ReadStringList(TStrings& lines, std::string_view name);
  void ReadCollection(TPublishedCollection& collection, int depth);
  TVariant ReadVariant(uint8_t type, std::string_view name);
  int64_t ReadInteger(uint8_t type, std::string_view name);
  double ReadFloat(uint8_t type, std::string_view name);
  std::string ReadText(uint8_t type, std::string_view name);
  void SkipValue(uint8_t type, int depth);
  void SkipChildren(int depth);
  [[noreturn]] void Fail(const std::string& what) const;
  [[noreturn]] void BadValue(std::string_view name) const;

  struct TNameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
  };
  using TNameCache = std::unordered_map<std::string, const TPublishedProperty*, TNameHash, std::equal_to<>>;

  const uint8_t* data_;                                          // the stream's bytes, not owned
  size_t size_;                                                  // their number
  size_t pos_ = 0;                                               // the next byte to read
  std::unordered_map<const TPropertyTable*, TNameCache> names_;  // plain names resolved so far, by table
};

class TObjectStreamWriter : public TElementWriter {
 public:
  // Appends to `out`, which must outlive the writer.
  explicit TObjectStreamWriter(std::string& out) : out_(out) {}

  void WriteCount(int32_t count) override;
  // Writes `object` with every published property that is not at its
  // declared default: nested objects by dotted names, string lists as
  // "<name>.Strings", collections item by item.
  void WriteObject(const TPublishedObject& object, std::string_view class_name) override;

 private:
  void WriteProperties(const TPublishedObject& object, const std::string& prefix);
  void WriteProperty(const TPublishedObject& object, const TPublishedProperty& property, const std::string& prefix);
  void WriteShortString(std::string_view text);
  void WriteText(std::string_view text);
  void WriteInteger(int64_t value);
  void WriteExtended(double value);
  void WriteVariant(const TVariant& value);
  template <class T>
  void WriteLittleEndian(T value);

  std::string& out_;  // the buffer appended to
};

// Conversions of the 10-byte extended-precision number, exposed for tests.
double ExtendedToDouble(const uint8_t bytes[10]);
void DoubleToExtended(double value, uint8_t bytes[10]);

}  // namespace tessaro
