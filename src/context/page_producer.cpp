// The template engine.
//
// A template is text with tags in it. The engine copies the text to the page
// byte for byte and replaces each tag by what the tag handler returns:
//
//   <#name p1=v1 p2="v 2" p3='x>y'>
//   |  |    '--------------------'-- parameter text, up to the first ">" outside quotes
//   |  '-- tag name: an identifier (ASCII letters, digits, "_"), or one other character
//   '-- "<#" opens a tag; blanks may stand between "<", "#" and the name
//
// The template is read as tokens: blanks (codes 1 to 32), identifiers, and
// every other byte on its own. A NUL byte ends the template. Text is copied
// until a "<"; the blanks after that "<" are dropped, and if the next token is
// not "#" the "<" and that token are written and copying goes on (so "a < b"
// becomes "a <b", and in "<<#x>" the second "<" is plain text). After "<#"
// the name is read, then the raw parameter text up to the closing ">": double
// and single quotes each hide a ">" until the same quote character closes
// them. A tag left open at the end of the template takes everything up to the
// end as its parameter text and is handled like any other.
//
// Parameters: the parameter text is trimmed and cut at blanks outside double
// quotes; empty pieces are dropped. Each piece loses its matching quotes
// (scanning from the end, a quote character opens a part that the next equal
// character closes; both go, quotes of the other kind inside stay) and is
// URL-decoded, giving one name=value entry.
//
// Reading: a template file is read through a fixed buffer, so a large template
// costs only the page it produces. Lines are limited to 4096 bytes (not
// counting the line feed); a longer line fails with its 1-based line number.
#include "context/page_producer.h"

#include <cstring>
#include <memory>

#include "cgi/url_encoding.h"
#include "util/exception.h"
#include "util/file_io.h"
#include "util/format.h"
#include "util/text.h"

namespace tessaro {
namespace {

constexpr size_t kMaxLineBytes = 4096;  // a line this long or longer is refused
constexpr size_t kReadChunk = 4096;     // bytes read from a template file at a time

bool IsBlank(unsigned char c) { return c >= 1 && c <= 32; }
bool IsIdentStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

// The byte stream of one template: either a text in memory or a file read in
// chunks. It counts lines as bytes are consumed and enforces the line limit.
// A NUL byte is the end of the stream.
class TemplateReader {
 public:
  // Reads `text`, which must outlive the reader.
  explicit TemplateReader(std::string_view text) : cur_(text.data()), end_(text.data() + text.size()) {}
  // Reads `file`, which must outlive the reader.
  explicit TemplateReader(TInputFile& file) : file_(&file), buffer_(std::make_unique<char[]>(kReadChunk)) {}
  TemplateReader(const TemplateReader&) = delete;
  TemplateReader& operator=(const TemplateReader&) = delete;

  // The next byte (0..255) without consuming it, or -1 at the end.
  int Peek() {
    if (cur_ == end_ && !Refill()) return -1;
    unsigned char c = static_cast<unsigned char>(*cur_);
    return c == 0 ? -1 : c;  // a NUL is never consumed, so the end stays the end
  }

  // Consumes the byte Peek() returned. REQUIRES: Peek() >= 0.
  void Skip() { Count(static_cast<unsigned char>(*cur_++)); }

  // Consumes bytes up to the next `stop` byte or the end, appending them to
  // `out`. The fast path for plain text between tags.
  void CopyUntil(char stop, std::string& out) {
    for (;;) {
      if (cur_ == end_ && !Refill()) return;
      const char* start = cur_;
      const char* limit = static_cast<const char*>(std::memchr(start, stop, end_ - start));
      if (!limit) limit = end_;
      if (const void* nul = std::memchr(start, 0, limit - start)) limit = static_cast<const char*>(nul);
      CountSpan(start, limit);
      out.append(start, limit);
      cur_ = limit;
      if (cur_ < end_) return;
    }
  }

  // Consumes bytes while keep(byte) holds, appending them to `sink` if it is
  // not null. keep is called exactly once for every byte it accepts.
  template <class Keep>
  void TakeWhile(Keep&& keep, std::string* sink) {
    for (;;) {
      if (cur_ == end_ && !Refill()) return;
      const char* start = cur_;
      while (cur_ < end_) {
        unsigned char c = static_cast<unsigned char>(*cur_);
        if (c == 0 || !keep(c)) break;
        ++cur_;
      }
      CountSpan(start, cur_);
      if (sink) sink->append(start, cur_);
      if (cur_ < end_) return;
    }
  }

 private:
  void Count(unsigned char c) {
    if (c == '\n') {
      ++line_;
      line_bytes_ = 0;
    } else if (++line_bytes_ >= kMaxLineBytes) {
      ThrowLineTooLong();
    }
  }

  // Count() for every byte of [begin, end), a line at a time.
  void CountSpan(const char* begin, const char* end) {
    while (begin < end) {
      const char* lf = static_cast<const char*>(std::memchr(begin, '\n', end - begin));
      const char* stop = lf ? lf : end;
      line_bytes_ += static_cast<size_t>(stop - begin);
      if (line_bytes_ >= kMaxLineBytes) ThrowLineTooLong();
      if (!lf) return;
      ++line_;
      line_bytes_ = 0;
      begin = lf + 1;
    }
  }

  [[noreturn]] void ThrowLineTooLong() const {
    throw Exception(Format("%s on line %d", {"Line too long", line_}));
  }

  // Loads the next chunk of the file; false at its end (or for a text).
  bool Refill() {
    if (!file_ || at_eof_) return false;
    size_t n = file_->Read(buffer_.get(), kReadChunk);
    if (n == 0) {
      at_eof_ = true;
      return false;
    }
    cur_ = buffer_.get();
    end_ = cur_ + n;
    return true;
  }

  const char* cur_ = nullptr;              // next unread byte
  const char* end_ = nullptr;              // end of the bytes at hand
  TInputFile* file_ = nullptr;             // file being read, or null for a text
  std::unique_ptr<char[]> buffer_;         // the file's current chunk
  bool at_eof_ = false;                    // the file has no more bytes
  int line_ = 1;                           // 1-based number of the current line
  size_t line_bytes_ = 0;                  // bytes of the current line consumed so far
};

// Appends the next token to `out`: an identifier, or a single other byte.
// Appends nothing at the end of the template.
void ReadToken(TemplateReader& reader, std::string& out) {
  int c = reader.Peek();
  if (c < 0) return;
  if (IsIdentStart(static_cast<unsigned char>(c))) {
    reader.TakeWhile(IsIdentChar, &out);
  } else {
    out.push_back(static_cast<char>(c));
    reader.Skip();
  }
}

// Collects the raw text of a tag up to (not including) the ">" that stands
// outside quotes. Inside double quotes a single quote is plain text and the
// other way round.
void ReadTagText(TemplateReader& reader, std::string& out) {
  unsigned char quote = 0;  // the quote character of the open part, or 0
  reader.TakeWhile(
      [&quote](unsigned char c) {
        if (quote != 0) {
          if (c == quote) quote = 0;
          return true;
        }
        if (c == '"' || c == '\'') quote = c;
        return c != '>';
      },
      &out);
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && IsBlank(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Removes matching quote pairs, scanning from the end: the first quote met
// opens a part, the next equal character closes it. An opening quote with no
// partner stays. Works in place: kept bytes are packed towards the end.
void StripQuotes(std::string& field) {
  char* s = field.data();
  size_t kept_from = field.size();  // kept bytes fill s[kept_from, size)
  char open = 0;                    // quote character of the open part, or 0
  size_t open_kept_from = 0;        // kept_from when that part opened
  for (size_t i = field.size(); i-- > 0;) {
    char c = s[i];
    if (open == 0 && (c == '"' || c == '\'')) {
      open = c;
      open_kept_from = kept_from;
    } else if (open != 0 && c == open) {
      open = 0;
    } else {
      s[--kept_from] = c;  // kept_from > i, so only bytes already read are overwritten
    }
  }
  if (open != 0) {
    // No partner: put the quote back where it stood among the kept bytes.
    std::memmove(s + kept_from - 1, s + kept_from, open_kept_from - kept_from);
    s[open_kept_from - 1] = open;
    --kept_from;
  }
  field.erase(0, kept_from);
}

// Cuts the parameter text at blanks outside double quotes, drops empty
// pieces, strips quotes if asked and URL-decodes each piece.
TStrings SplitParams(std::string_view text, bool stripQuotes) {
  TStrings params;
  size_t i = 0;
  while (i < text.size()) {
    size_t start = i;
    bool quoted = false;
    for (; i < text.size() && (quoted || !IsBlank(static_cast<unsigned char>(text[i]))); ++i)
      if (text[i] == '"') quoted = !quoted;
    if (i > start) {
      std::string field(text.substr(start, i - start));
      if (stripQuotes) StripQuotes(field);
      params.Add(UrlDecode(field));
    }
    ++i;  // the blank
  }
  return params;
}

// Runs the main loop over `reader`; handle(kind, name, params) returns the
// text that replaces each tag.
template <class HandleTag>
std::string Expand(TemplateReader& reader, bool stripQuotes, size_t sizeHint, HandleTag&& handle) {
  std::string out, name, raw;
  out.reserve(sizeHint);
  for (;;) {
    reader.CopyUntil('<', out);
    if (reader.Peek() < 0) break;
    reader.Skip();                          // "<"
    reader.TakeWhile(IsBlank, nullptr);     // blanks after "<" are dropped
    if (reader.Peek() != '#') {
      out.push_back('<');
      ReadToken(reader, out);
      continue;
    }
    reader.Skip();                          // "#"
    reader.TakeWhile(IsBlank, nullptr);
    name.clear();
    ReadToken(reader, name);
    raw.clear();
    ReadTagText(reader, raw);
    TStrings params = SplitParams(TrimBlanks(raw), stripQuotes);
    out += handle(TagKind(name), name, params);
    if (reader.Peek() < 0) break;           // a tag left open ends the template
    reader.Skip();                          // ">"
  }
  return out;
}

struct TagKindName {
  const char* name;
  TTag kind;
};

constexpr TagKindName kTagKinds[] = {
    {"LINK", TTag::Link},         {"IMAGE", TTag::Image},   {"TABLE", TTag::Table},
    {"IMAGEMAP", TTag::ImageMap}, {"OBJECT", TTag::Object}, {"EMBED", TTag::Embed},
};

}  // namespace

TTag TagKind(std::string_view tagName) {
  for (const auto& entry : kTagKinds)
    if (SameText(entry.name, tagName)) return entry.kind;
  return TTag::Custom;
}

void TCustomPageProducer::SetHTMLFile(const std::string& fileName) {
  if (!SameText(fileName, html_file_)) html_doc_.Clear();
  html_file_ = fileName;
}

void TCustomPageProducer::SetHTMLDoc(const TStrings& doc) {
  html_doc_ = doc;
  html_file_.clear();
}

std::string TCustomPageProducer::Content() {
  auto handle = [this](TTag kind, const std::string& name, const TStrings& params) {
    return HandleTag(kind, name, params);
  };
  if (html_file_.empty()) {
    // A copy, so that a handler editing HTMLDoc cannot pull the text away.
    const std::string text = html_doc_.Text();
    TemplateReader reader(text);
    return Expand(reader, strip_param_quotes_, text.size(), handle);
  }
  const std::string fileName = html_file_;  // a handler may rename the template
  // Only regular files are templates: a FIFO named by mistake cannot stall the request.
  TInputFile file = TInputFile::Open(fileName, TDirectoryRefusal::IsADirectory);
  TemplateReader reader(file);
  return Expand(reader, strip_param_quotes_, static_cast<size_t>(file.SizeAtOpen()), handle);
}

std::string TCustomPageProducer::HandleTag(TTag kind, const std::string& tagName, const TStrings& params) {
  return CallHandler(kind, tagName, params, std::string());
}

std::string TCustomPageProducer::CallHandler(TTag kind, const std::string& tagName, const TStrings& params,
                                             std::string replaceText) {
  if (on_html_tag_) {
    // A copy, so that a handler replacing OnHTMLTag does not destroy itself mid-call.
    THTMLTagEvent handler = on_html_tag_;
    handler(*this, kind, tagName, params, replaceText);
  }
  return replaceText;
}

std::string TDataSetPageProducer::Content() {
  if (data_set_ && !data_set_->Active()) data_set_->Open();
  return TCustomPageProducer::Content();
}

std::string TDataSetPageProducer::HandleTag(TTag kind, const std::string& tagName, const TStrings& params) {
  std::string preset;
  if (params.Empty() && data_set_) {
    if (TField* field = data_set_->FindField(tagName)) preset = field->DisplayText();
  }
  return CallHandler(kind, tagName, params, std::move(preset));
}

}  // namespace tessaro
