// Element classes: making a new element of a class known only at run time, as
// a list does when it reads its elements from a stream.
#include "model/element_class.h"

#include "model/data_element.h"
#include "util/exception.h"

namespace tessaro {

std::unique_ptr<T_V_DataElement> TElementClass::Create() const {
  if (factory_ == nullptr) throw Exception("Cannot create an element of abstract class " + name_);
  return factory_();
}

}  // namespace tessaro
