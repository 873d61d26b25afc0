// Connection settings: their stored properties. Opening connections with
// them is the database layer's part.
#include "model/connection_manager.h"

namespace tessaro {

void TConnectionManager::DeclareProperties(TPropertyDeclarations<TConnectionManager>& p) {
  p.Integer("CommandTimeout", &TConnectionManager::CommandTimeout)
      .String("RW_ConnectionString", &TConnectionManager::RW_ConnectionString, "")
      .String("R_ConnectionString", &TConnectionManager::R_ConnectionString, "")
      .Boolean("SupportsCatalogs", &TConnectionManager::SupportsCatalogs, true);
}

}  // namespace tessaro
