// Multipart bodies from arbitrary bytes: the first byte gives the boundary's
// length, the bytes after it the boundary, the rest is the body. The same
// boundary bytes also go through the content-type parameter reader.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cgi/multipart.h"

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t boundary_length = std::min<size_t>(data[0] % 80, input.size());
  std::string_view boundary = input.substr(0, boundary_length);
  std::string_view body = input.substr(boundary_length);

  MultipartBoundary("multipart/form-data; boundary=" + std::string(boundary));

  TStrings fields;
  std::vector<TUploadedFile> files;
  ParseMultipartBody(body, boundary, fields, files);
  // Every stored byte comes from a distinct stretch of the body.
  size_t stored = 0;
  for (const std::string& f : fields) stored += f.size();
  for (const TUploadedFile& f : files) stored += f.Bytes.size() + f.FieldName.size() + f.FileName.size();
  if (stored > body.size() + fields.Count()) std::abort();
  if (fields.Count() + files.size() > kMaxMultipartParts) std::abort();
  return 0;
}
