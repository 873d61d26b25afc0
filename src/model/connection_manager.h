// TConnectionManager: the connection settings of one of the portal's files
// (the definition file and the user file each carry one): the connection
// strings for read-only and read-write connections, the command timeout and
// whether a catalog must be chosen per application type. It is stored like
// an element but belongs to no model list; the process keeps both in
// T_GlobalSettings.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/data_element.h"

namespace tessaro {

class TOdbcConnection;

class TConnectionManager : public TDeclaredElement<TConnectionManager, T_V_DataElement> {
 public:
  static constexpr const char* kClassName = "TConnectionManager";
  static void DeclareProperties(TPropertyDeclarations<TConnectionManager>& p);

  // A new connection, not yet open, owned by the caller: to
  // R_ConnectionString (mode read-only) or RW_ConnectionString (mode
  // read-write), starting in `catalog` (none when empty), with
  // CommandTimeout. Null when that connection string is empty.
  std::unique_ptr<TOdbcConnection> GetConnection(bool readOnly, std::string_view catalog) const;

  int CommandTimeout = 500;         // seconds, for connections and statements; always stored
  std::string RW_ConnectionString;  // connection string of read-write connections
  std::string R_ConnectionString;   // connection string of read-only connections
  bool SupportsCatalogs = true;     // whether each application type must name its catalog
};

}  // namespace tessaro
