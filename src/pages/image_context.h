// TTessaroImageContext: the pictures that belong to no record - the default
// picture scaled into a box, and the security-code picture of the visitor's
// session for today.
#pragma once

#include "pages/tessaro_context.h"

namespace tessaro {

class TTessaroImageContext : public TPublished<TTessaroImageContext, TTessaroContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroImageContext>& p);
  using TPublished::TPublished;

  int IMGW = 0;  // the box to scale into; 0 does not limit
  int IMGH = 0;
  int IMGType = 0;  // 0 the default picture, 1 the security-code picture

  // Writes the picture into the response: JPEG for types 0 and 1, an empty
  // body for other types.
  void SendPicture();

  // The text of the security-code picture: the session's code of today.
  std::string SecurityCodeText() const;
};

}  // namespace tessaro
