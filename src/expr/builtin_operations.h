// The built-in operations of the expression language: arithmetic,
// comparison, logic, text, date and miscellaneous functions.
#pragma once

#include "expr/operation_def.h"

namespace tessaro {

// The design-tool help file named by every built-in entry.
inline constexpr const char* kBuiltInHelpFile = "BASEOP.HLP";

// The first entry of the global list of built-in operations. The list is
// built on the first call and lives for the whole process; callers may link
// their own entries in front of it (Register) but must not change it.
TOperationDef* BuiltInOperations();

}  // namespace tessaro
