// The object stream as the element framework sees it: counts, and objects
// read into or written from their published properties. The binary layout
// belongs to the definition-file reader and writer, which implement these
// interfaces; lists and elements only need them to load and save themselves.
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/published.h"

namespace tessaro {

class TElementReader {
 public:
  virtual ~TElementReader() = default;
  // The next signed 32-bit count (the length of a list).
  virtual int32_t ReadCount() = 0;
  // Reads the next streamed object into the published properties of
  // `object`. Throws Exception on truncated or malformed data and on a
  // property name the object does not publish.
  virtual void ReadObject(TPublishedObject& object) = 0;
};

class TElementWriter {
 public:
  virtual ~TElementWriter() = default;
  virtual void WriteCount(int32_t count) = 0;
  // Writes `object` as one streamed object of class `class_name`, with every
  // published property that is not at its declared default.
  virtual void WriteObject(const TPublishedObject& object, std::string_view class_name) = 0;
};

}  // namespace tessaro
