#include "pages/db_image_context.h"

#include "cgi/web_request.h"
#include "context/media_writers.h"
#include "context/request_urls.h"
#include "db/odbc_dataset.h"
#include "model/column_attribute.h"
#include "model/evidence_item.h"
#include "model/evidence_item_detail_page.h"
#include "util/format.h"
#include "util/string_list.h"
#include "util/text.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

constexpr size_t kMaxIdentifierLength = 128;
constexpr size_t kMaxMimeTypeLength = 100;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool IsPlainIdentifier(std::string_view name) {
  if (name.empty() || name.size() > kMaxIdentifierLength) return false;
  if (!IsAsciiLetter(name.front()) && name.front() != '_') return false;
  for (char c : name)
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '_') return false;
  return true;
}

bool NamesAttribute(const TZNKHTMLTableColumnAttributes& attributes, std::string_view name) {
  for (size_t i = 0; i < attributes.Count(); ++i)
    if (attributes.Item(i).FieldName == name) return true;
  return false;
}

// A character of an HTTP token that may stand in a MIME type.
bool IsMimeTokenChar(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || std::string_view("!#$&-^_.+").find(c) != std::string_view::npos;
}

}  // namespace

bool AcceptableBlobFieldName(std::string_view name, const TEvidenceItem& item) {
  if (IsPlainIdentifier(name)) return true;
  if (name.empty()) return false;
  if (NamesAttribute(item.ColumnAttributes, name) || NamesAttribute(item.BodyColumnAttributes, name)) return true;
  for (int i = 0; i < item.DetailPages().Count(); ++i) {
    const TEvidenceItemDetailPage* page = item.DetailPages().Items(i);
    if (NamesAttribute(page->DetailColumnAttributes, name) || NamesAttribute(page->DetailListColumnAttributes, name))
      return true;
  }
  return false;
}

bool AcceptableBlobMimeType(std::string_view type) {
  if (type.empty() || type.size() > kMaxMimeTypeLength) return false;
  const size_t slash = type.find('/');
  if (slash == std::string_view::npos || slash == 0 || slash + 1 == type.size()) return false;
  for (size_t i = 0; i < type.size(); ++i)
    if (i != slash && !IsMimeTokenChar(type[i])) return false;
  const std::string lower = LowerCase(type);
  const std::string_view main_type = std::string_view(lower).substr(0, slash);
  // "midi" is the type the portal's own clip table gives MIDI files.
  if (main_type != "image" && main_type != "audio" && main_type != "video" && main_type != "midi" &&
      main_type != "application")
    return false;
  for (std::string_view active : {"html", "xml", "svg", "javascript", "ecmascript"})
    if (lower.find(active) != std::string::npos) return false;
  return true;
}

void TTessaroDBImageContext::DeclareProperties(TPropertyDeclarations<TTessaroDBImageContext>& p) {
  p.String("IMGF", &TTessaroDBImageContext::IMGF)
      .Integer("IMGW", &TTessaroDBImageContext::IMGW)
      .Integer("IMGH", &TTessaroDBImageContext::IMGH)
      .String("PID", &TTessaroDBImageContext::PID);
}

TTessaroDBImageContext::TTessaroDBImageContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response)
    : TPublished(request, options, response) {}

// The data set is closed before it goes, while its connection still exists.
TTessaroDBImageContext::~TTessaroDBImageContext() {
  if (image_data_set_) image_data_set_->Close();
}

bool TTessaroDBImageContext::HasImageData() const { return image_data_set_ && image_data_set_->Active(); }

// The blob query names its field by a "%s" the field name fills; the query
// is the administrator's, so a stray percent sign in it is a fault of the
// installation, reported by Format's exception as the error page.
void TTessaroDBImageContext::PrepareContext() {
  TTessaroEvidenceContext::PrepareContext();
  const std::string query = Trim(EvidenceItem()->BlobSelectClause.Text());
  if (query.empty() || IMGF.empty() || !AcceptableBlobFieldName(IMGF, *EvidenceItem())) return;
  const std::string sql = Format(query, {IMGF});
  OpenConnection(true);
  image_data_set_ = OpenDataSet(sql, clUseServer, ctOpenForwardOnly);
  if (Request() != nullptr) mime_type_ = Request()->QueryFields().Values("TYPE");
}

void TTessaroDBImageContext::WriteResponse(TWebResponse& response) {
  if (!Valid() || !HasImageData()) return;
  TField* field = !image_data_set_->Eof() && image_data_set_->FieldCount() > 0 ? image_data_set_->Field(0) : nullptr;
  if (!mime_type_.empty()) {
    // The type reaches a header line: a type that is not a plain media type
    // gets no content at all.
    if (AcceptableBlobMimeType(mime_type_)) SendBlob(field, response, mime_type_);
    return;
  }
  std::string default_file;
  if (Options() != nullptr) {
    const auto* options = dynamic_cast<const TTessaroOptions*>(Options());
    if (options != nullptr && !options->default_jpeg_image.empty())
      default_file = ResolveTemplatePath(*options, options->default_jpeg_image);
  }
  SendFieldImage(field, IMGW, IMGH, default_file, response);
}

}  // namespace tessaro
