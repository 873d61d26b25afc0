// Arbitrary bytes as a query, a form body and a cookie header: decoding may
// refuse them with Exception but must not crash, and encoding must survive a
// round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cgi/url_encoding.h"
#include "util/exception.h"

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    UrlDecode(text);
  } catch (const Exception&) {
  }
  for (bool decode : {true, false}) {
    try {
      TStrings query;
      SplitFields(text, "&", "", decode, query);
      TStrings cookies;
      SplitFields(text, ";", " ", decode, cookies);
    } catch (const Exception&) {
      if (!decode) std::abort();  // only decoding may refuse input
    }
  }
  if (UrlDecode(UrlEncode(text)) != text) std::abort();
  return 0;
}
