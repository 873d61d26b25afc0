// TTessaroDBImageContext: a picture stored in a record (/ShowImg). The item's
// blob query, with the requested blob field's name put in its place, selects
// the record by its row identifier (PID); the page answers with the first
// field of that record, either as it is under the requested MIME type (TYPE)
// or as a picture scaled into the box (IMGW, IMGH) and sent as JPEG, with the
// portal's default picture when the record holds none.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "pages/evidence_context.h"
#include "settings/published.h"

namespace tessaro {

class TDataSet;
class TEvidenceItem;

// Whether `name` may be put into the item's blob query as its field name: a
// plain identifier (a letter or underscore, then letters, digits and
// underscores, at most 128 characters) or the FieldName of one of the item's
// column attributes (those of its list, its body and its detail pages), which
// the administrator wrote. Anything else is visitor text that must not reach
// the SQL.
bool AcceptableBlobFieldName(std::string_view name, const TEvidenceItem& item);

// Whether `type` may go out as the Content-Type of a stored field: a
// "type/subtype" of token characters, at most 100 long, whose type is image,
// audio, video, midi or application and which is none that a browser would
// run as a page or script of the portal (HTML, XML, SVG, JavaScript).
bool AcceptableBlobMimeType(std::string_view type);

class TTessaroDBImageContext : public TPublished<TTessaroDBImageContext, TTessaroEvidenceContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroDBImageContext>& p);
  TTessaroDBImageContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response);
  ~TTessaroDBImageContext() override;

  // Request keys.
  std::string IMGF;  // the blob field's name
  int IMGW = 0;      // the box to scale into; 0 does not limit
  int IMGH = 0;
  std::string PID;  // row identifier of the record

  std::string GetPID() const override { return PID; }
  bool KeepsHistory() const override { return false; }

  // The TYPE key of the query string once the blob query is open.
  const std::string& MimeType() const { return mime_type_; }
  // Whether the blob query is open.
  bool HasImageData() const;

  // Writes the answer into the response: nothing when the context is not
  // valid or the query was not opened; otherwise the stored bytes under
  // MimeType, or the picture (or the default picture) as JPEG.
  void WriteResponse(TWebResponse& response);

 protected:
  void PrepareContext() override;

 private:
  std::string mime_type_;
  std::unique_ptr<TDataSet> image_data_set_;
};

}  // namespace tessaro
