// Registration of operation entries into linked operation lists.
#include "expr/operation_def.h"

#include "util/exception.h"

namespace tessaro {

uint32_t OperationHash(std::string_view name) {
  uint32_t hash = 0;
  for (char c : name) hash += static_cast<unsigned char>(c);
  return hash;
}

void Register(TOperationDef*& list, TOperationDef& def) {
  if (def.Size != kOperationDefSize) throw Exception("invalid operation definition record");
  if (def.RefCount == 0) {
    def.Hash = OperationHash(def.Name);
    def.Next = list;
    list = &def;
  }
  ++def.RefCount;
}

}  // namespace tessaro
