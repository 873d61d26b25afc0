// T_V_Objects_Root: the common root of stored elements and of their lists. It
// is a published object that performs the visited interface through its
// companion, so the property visitors and the object stream reach every
// stored value by name. Elements and lists are never copied: lists and
// referrers hold them by address.
#pragma once

#include "settings/published.h"

namespace tessaro {

class T_V_Objects_Root : public TPublished<T_V_Objects_Root> {
 public:
  // The root publishes nothing itself.
  static void DeclareProperties(TPropertyDeclarations<T_V_Objects_Root>&) {}

  T_V_Objects_Root() = default;
  T_V_Objects_Root(const T_V_Objects_Root&) = delete;
  T_V_Objects_Root& operator=(const T_V_Objects_Root&) = delete;
};

}  // namespace tessaro
