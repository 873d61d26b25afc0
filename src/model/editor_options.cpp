// Options objects of parameter editors: their one stored property each.
#include "model/editor_options.h"

namespace tessaro {

void TZNKVisitedStrings::DeclareProperties(TPropertyDeclarations<TZNKVisitedStrings>& p) {
  p.StringList("Lines", &TZNKVisitedStrings::Lines);
}

void TZNKVisitedAnsiString::DeclareProperties(TPropertyDeclarations<TZNKVisitedAnsiString>& p) {
  p.String("Text", &TZNKVisitedAnsiString::Text, "");
}

}  // namespace tessaro
