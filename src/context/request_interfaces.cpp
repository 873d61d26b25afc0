#include "context/request_interfaces.h"

namespace tessaro {

TBaseImplementsIRequestDataContext::TBaseImplementsIRequestDataContext(tRequestContext* owner, TDataSet* data_set)
    : TImplementsRequestInterface(owner), DataSet(data_set) {
  if (DataSet && !DataSet->Active()) DataSet->Open();
}

}  // namespace tessaro
