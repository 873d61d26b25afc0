// Stored properties that name another object instead of holding a value.
//
// Some stored objects carry properties that refer to other objects by name
// (a table template's data set, an element's template, which is stored as an
// object of its own after the element). Nothing of them matters to the
// portal, but a file may hold them, so the class must still publish the
// name. Such a property is published as a nested object that is always
// absent: visitors neither read nor write it, it is always at its default
// and so never written, and a reader that meets a reference (an identifier
// value) for an object property skips it.
#pragma once

#include <functional>
#include <string>

#include "settings/published.h"

namespace tessaro {

template <class C>
void DeclareObjectReference(TPropertyDeclarations<C>& p, std::string name) {
  p.template Object<TPublishedObject>(
      std::move(name), std::function<TPublishedObject*(C&)>([](C&) -> TPublishedObject* { return nullptr; }));
}

}  // namespace tessaro
