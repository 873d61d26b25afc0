// The multipart parser: how a browser's form upload is taken apart.
//
// A "multipart/form-data" body is a sequence of parts divided by delimiter
// lines made of "--" and the boundary named in the request's content type:
//
//   preamble (ignored)
//   --BOUNDARY CRLF
//   Content-Disposition: form-data; name="title" CRLF
//   CRLF
//   field value CRLF
//   --BOUNDARY CRLF
//   Content-Disposition: form-data; name="photo"; filename="a.jpg" CRLF
//   Content-Type: image/jpeg CRLF
//   CRLF
//   file bytes CRLF
//   --BOUNDARY-- CRLF
//   epilogue (ignored)
//
// The line break before a delimiter belongs to the delimiter, not to the
// part's content. Each part opens with header lines ended by an empty line;
// its Content-Disposition "name" and "filename" parameters and whether it has
// a Content-Type of its own say what it is:
//
//   filename not empty               -> an uploaded file
//   no filename and no Content-Type  -> a form field name=value (raw bytes)
//   anything else                    -> ignored
//
// Bare LF is accepted wherever CRLF is expected, because hand-made clients
// send it. A delimiter is recognised at the start of the body or right after
// an LF; whatever follows "--BOUNDARY" on its line (transport padding) is
// skipped.
//
// Hostile bodies: the parser walks forward only. Delimiters are found by
// jumping from LF to LF (memchr) and comparing "--BOUNDARY" there; since the
// boundary holds no LF, a comparison never runs past the next LF, so the whole
// search touches each byte a bounded number of times. A part's header block
// may take at most kMaxMultipartHeaderBytes and at most kMaxMultipartParts
// parts are looked at. At the first damage (a header block without its end, a
// part without a following delimiter, a missing closing delimiter) parsing
// stops and the parts completed so far are kept; a truncated upload is thus
// dropped rather than stored half.
#include "cgi/multipart.h"

#include <algorithm>
#include <cstring>
#include <streambuf>

#include "util/text.h"

namespace tessaro {
namespace {

struct HeaderParameter {
  std::string_view name;
  std::string_view value;
};

// The parameters after the first ";" of a header value such as
// `form-data; name="a"; filename="b.txt"`. A quoted value runs to the next
// double quote; backslashes are kept as they are, because some browsers send
// Windows paths unescaped in filename.
std::vector<HeaderParameter> ParseHeaderParameters(std::string_view value) {
  std::vector<HeaderParameter> out;
  size_t i = value.find(';');
  auto skip_blanks = [&] {
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
  };
  while (i < value.size()) {
    ++i;  // the ";"
    skip_blanks();
    size_t name_start = i;
    while (i < value.size() && value[i] != '=' && value[i] != ';') ++i;
    HeaderParameter p;
    p.name = value.substr(name_start, i - name_start);
    while (!p.name.empty() && (p.name.back() == ' ' || p.name.back() == '\t')) p.name.remove_suffix(1);
    if (i < value.size() && value[i] == '=') {
      ++i;
      skip_blanks();
      if (i < value.size() && value[i] == '"') {
        size_t close = value.find('"', i + 1);
        if (close == std::string_view::npos) close = value.size();
        p.value = value.substr(i + 1, close - i - 1);
        i = close;
      } else {
        size_t start = i;
        while (i < value.size() && value[i] != ';' && value[i] != ' ' && value[i] != '\t') ++i;
        p.value = value.substr(start, i - start);
      }
      while (i < value.size() && value[i] != ';') ++i;
    }
    if (!p.name.empty()) out.push_back(p);
  }
  return out;
}

const HeaderParameter* FindParameter(const std::vector<HeaderParameter>& params, std::string_view name) {
  for (const auto& p : params)
    if (SameText(p.name, name)) return &p;
  return nullptr;
}

// Position of the LF that starts the next "\n--BOUNDARY" at or after `from`,
// or npos. `dash_boundary` is "--BOUNDARY" and holds no LF (see above).
size_t FindDelimiter(std::string_view body, size_t from, std::string_view dash_boundary) {
  while (from < body.size()) {
    const void* hit = std::memchr(body.data() + from, '\n', body.size() - from);
    if (!hit) return std::string_view::npos;
    size_t lf = static_cast<size_t>(static_cast<const char*>(hit) - body.data());
    if (body.substr(lf + 1).starts_with(dash_boundary)) return lf;
    from = lf + 1;
  }
  return std::string_view::npos;
}

// What a part's header block says about it.
struct PartHeaders {
  bool has_disposition = false;
  bool has_content_type = false;
  std::string_view disposition;
  std::string_view content_type;
};

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// Reads header lines from `pos` up to and including the empty line that ends
// them; `pos` is left just after it. False when the block does not end within
// kMaxMultipartHeaderBytes or before the end of the body.
bool ReadPartHeaders(std::string_view body, size_t& pos, PartHeaders& headers) {
  std::string_view window = body.substr(0, std::min(body.size(), pos + kMaxMultipartHeaderBytes));
  for (;;) {
    size_t eol = window.find('\n', pos);
    if (eol == std::string_view::npos) return false;
    std::string_view line = window.substr(pos, eol - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = eol + 1;
    if (line.empty()) return true;
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view name = TrimView(line.substr(0, colon));
    std::string_view value = TrimView(line.substr(colon + 1));
    if (SameText(name, "Content-Disposition") && !headers.has_disposition) {
      headers.has_disposition = true;
      headers.disposition = value;
    } else if (SameText(name, "Content-Type") && !headers.has_content_type) {
      headers.has_content_type = true;
      headers.content_type = value;
    }
  }
}

void StorePart(const PartHeaders& headers, std::string_view content, TStrings& fields,
               std::vector<TUploadedFile>& files) {
  if (!headers.has_disposition) return;
  std::vector<HeaderParameter> params = ParseHeaderParameters(headers.disposition);
  const HeaderParameter* name = FindParameter(params, "name");
  if (!name) return;  // nothing to file it under
  const HeaderParameter* file_name = FindParameter(params, "filename");
  if (file_name && !file_name->value.empty()) {
    files.push_back(TUploadedFile{std::string(name->value), std::string(file_name->value),
                                  std::string(headers.content_type), content});
  } else if (!headers.has_content_type) {
    std::string field;
    field.reserve(name->value.size() + 1 + content.size());
    field.append(name->value).append("=").append(content);
    fields.Add(std::move(field));
  }
}

bool UsableBoundary(std::string_view boundary) {
  return !boundary.empty() && boundary.size() <= kMaxMultipartBoundary &&
         boundary.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace

namespace {

// A read-only stream buffer over bytes held elsewhere. The get area is the
// bytes themselves; nothing is ever written through it.
class ViewStreamBuf : public std::streambuf {
 public:
  explicit ViewStreamBuf(std::string_view bytes) {
    char* begin = const_cast<char*>(bytes.data());
    setg(begin, begin, begin + bytes.size());
  }

 protected:
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override {
    if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
    off_type base = dir == std::ios_base::beg ? 0 : dir == std::ios_base::cur ? gptr() - eback() : egptr() - eback();
    off_type target = base + off;
    if (target < 0 || target > egptr() - eback()) return pos_type(off_type(-1));
    setg(eback(), eback() + target, egptr());
    return pos_type(target);
  }
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
    return seekoff(off_type(pos), std::ios_base::beg, which);
  }
};

class ViewStream : public std::istream {
 public:
  explicit ViewStream(std::string_view bytes) : std::istream(nullptr), buffer_(bytes) { rdbuf(&buffer_); }

 private:
  ViewStreamBuf buffer_;  // the bytes being read
};

}  // namespace

std::unique_ptr<std::istream> TUploadedFile::OpenStream() const { return std::make_unique<ViewStream>(Bytes); }

std::string MultipartBoundary(std::string_view content_type) {
  const std::vector<HeaderParameter> params = ParseHeaderParameters(content_type);
  const HeaderParameter* p = FindParameter(params, "boundary");
  if (!p || !UsableBoundary(p->value)) return "";
  return std::string(p->value);
}

void ParseMultipartBody(std::string_view body, std::string_view boundary, TStrings& fields,
                        std::vector<TUploadedFile>& files) {
  if (!UsableBoundary(boundary)) return;
  const std::string dash_boundary = "--" + std::string(boundary);
  size_t pos;  // always just after a "--BOUNDARY"
  if (body.starts_with(dash_boundary)) {
    pos = dash_boundary.size();
  } else {
    size_t lf = FindDelimiter(body, 0, dash_boundary);
    if (lf == std::string_view::npos) return;
    pos = lf + 1 + dash_boundary.size();
  }
  for (size_t parts = 0; parts < kMaxMultipartParts; ++parts) {
    if (body.substr(pos).starts_with("--")) return;  // the closing delimiter
    size_t eol = body.find('\n', pos);
    if (eol == std::string_view::npos) return;
    pos = eol + 1;
    PartHeaders headers;
    if (!ReadPartHeaders(body, pos, headers)) return;
    // Searching from the LF that ended the headers also finds a delimiter
    // that directly follows them: the part is then empty.
    size_t next = FindDelimiter(body, pos - 1, dash_boundary);
    if (next == std::string_view::npos) return;
    std::string_view content;
    if (next >= pos) {
      size_t end = next;
      if (end > pos && body[end - 1] == '\r') --end;
      content = body.substr(pos, end - pos);
    }
    StorePart(headers, content, fields, files);
    pos = next + 1 + dash_boundary.size();
  }
}

}  // namespace tessaro
