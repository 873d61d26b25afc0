// Parsing of "multipart/form-data" request bodies: the form fields and the
// uploaded files a browser sends with a file input.
#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "util/string_list.h"

namespace tessaro {

// One uploaded file as the browser sent it. Its bytes stay in the body they
// came in (an upload may be nearly as large as the body), so a file is valid
// only while that body is: for a request's files, while the request lives.
struct TUploadedFile {
  std::string FieldName;    // the form field's name
  std::string FileName;     // the file name sent by the browser, possibly with a client-side path
  std::string ContentType;  // the part's own Content-Type; empty when it had none
  std::string_view Bytes;   // the file's content, inside the body

  // A seekable stream over the bytes (not a copy), positioned at the start.
  std::unique_ptr<std::istream> OpenStream() const;
};

// Limits that keep a hostile body from costing more than its own size.
inline constexpr size_t kMaxMultipartHeaderBytes = 16 * 1024;  // one part's header block
inline constexpr size_t kMaxMultipartParts = 1000;             // parts looked at per body
inline constexpr size_t kMaxMultipartBoundary = 256;           // boundary length accepted

// The "boundary" parameter of a multipart content type, unquoted. Empty when
// it is missing, empty, longer than kMaxMultipartBoundary or contains CR, LF or NUL.
std::string MultipartBoundary(std::string_view content_type);

// Splits `body` at the delimiters "--" + `boundary` and appends each part that
// carries a form field to `fields` (name=value, raw bytes) and each part that
// carries a file to `files` (its bytes referring into `body`). Malformed input never throws: parsing stops at
// the first damage and keeps the parts completed before it. An empty boundary
// yields nothing. Time and memory are linear in the body's size.
void ParseMultipartBody(std::string_view body, std::string_view boundary, TStrings& fields,
                        std::vector<TUploadedFile>& files);

}  // namespace tessaro
