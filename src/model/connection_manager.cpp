// Connection settings: their stored properties and the connections made
// from them. Each use (reading data, running actions) asks for the mode it
// needs, and a read-only use never falls back to the read-write string.
#include "model/connection_manager.h"

#include "db/odbc_connection.h"

namespace tessaro {

void TConnectionManager::DeclareProperties(TPropertyDeclarations<TConnectionManager>& p) {
  p.Integer("CommandTimeout", &TConnectionManager::CommandTimeout)
      .String("RW_ConnectionString", &TConnectionManager::RW_ConnectionString, "")
      .String("R_ConnectionString", &TConnectionManager::R_ConnectionString, "")
      .Boolean("SupportsCatalogs", &TConnectionManager::SupportsCatalogs, true);
}

std::unique_ptr<TOdbcConnection> TConnectionManager::GetConnection(bool readOnly, std::string_view catalog) const {
  std::unique_ptr<TOdbcConnection> connection =
      CreateConnection(readOnly ? R_ConnectionString : RW_ConnectionString, catalog, CommandTimeout);
  if (connection != nullptr) connection->SetMode(readOnly ? cmRead : cmReadWrite);
  return connection;
}

}  // namespace tessaro
