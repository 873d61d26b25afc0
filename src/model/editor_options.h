// The options objects a parameter type carries for its editor: the SQL of a
// lookup select or the fixed choices of a combo box, as lines of text
// (TZNKVisitedStrings); and the one-text form in which old definition files
// kept a lookup's SQL (TZNKVisitedAnsiString), read only to convert it.
#pragma once

#include <memory>
#include <string>

#include "settings/published.h"
#include "util/string_list.h"

namespace tessaro {

class TZNKVisitedStrings : public TPublished<TZNKVisitedStrings> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TZNKVisitedStrings>& p);

  TStrings Lines;  // the editor's lines: SQL returning value and text, or the choices
};

class TZNKVisitedAnsiString : public TPublished<TZNKVisitedAnsiString> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TZNKVisitedAnsiString>& p);

  std::string Text;  // the whole text
};

// Makes a new options object of one class; the editors name their options
// class by such a function.
using TOptionsFactory = std::unique_ptr<TPublishedObject> (*)();

template <class C>
std::unique_ptr<TPublishedObject> MakeOptions() {
  return std::make_unique<C>();
}

}  // namespace tessaro
