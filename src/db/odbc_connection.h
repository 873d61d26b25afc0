// TOdbcConnection: one connection to a business database through the ODBC
// driver manager, made from an opaque connection string.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "db/connection.h"

namespace tessaro {

// How the connection may change data. cmRead makes the session read-only
// where the database can enforce it (see Open); cmUnknown and cmReadWrite
// leave the database's default, read-write.
enum TConnectMode { cmUnknown, cmRead, cmReadWrite };

class TOdbcConnection : public TDBConnection {
 public:
  TOdbcConnection();
  ~TOdbcConnection() override;
  TOdbcConnection(const TOdbcConnection&) = delete;
  TOdbcConnection& operator=(const TOdbcConnection&) = delete;

  // Settings. They take effect on the next Open; changing one while
  // connected throws EDatabaseError.
  const std::string& ConnectionString() const { return connection_string_; }
  void SetConnectionString(std::string value);
  // The catalog the session starts in; empty: the connection string's.
  const std::string& DefaultDatabase() const { return default_database_; }
  void SetDefaultDatabase(std::string value);
  TConnectMode Mode() const { return mode_; }
  void SetMode(TConnectMode value);
  // Seconds a statement may run, taken by the data sets and commands made on
  // this connection; 0 lets the driver decide.
  int CommandTimeout() const { return command_timeout_; }
  void SetCommandTimeout(int seconds) { command_timeout_ = seconds < 0 ? 0 : seconds; }

  // Connects without prompting, in read-committed isolation, in the default
  // database when one is set (skipped where the driver has no catalogs), and
  // read-only for cmRead: the driver is asked for a read-only connection and,
  // on PostgreSQL, MariaDB/MySQL and SQLite, the session is made read-only
  // by the database itself. Does nothing when connected. Throws
  // EDatabaseError with the driver's message when the connection fails.
  void Open();
  void Close();
  bool Connected() const;

  // The ODBC connection handle (an SQLHDBC), connecting first when needed.
  // The handle stays connected while any copy of the returned pointer
  // lives, even past Close or the end of this object: statements hold one,
  // so a data set freed after its connection still frees its statement on
  // a live connection.
  std::shared_ptr<void> NativeHandle();
  // The database's product name as the driver reports it ("PostgreSQL",
  // "SQLite" ...), connecting first when needed.
  std::string DbmsName();

 private:
  struct THandles;
  void RequireClosed() const;
  void MakeSessionReadOnly();

  std::string connection_string_;    // opaque text for the driver manager
  std::string default_database_;     // catalog to start in; empty: none
  TConnectMode mode_ = cmUnknown;    // read-only or read-write
  int command_timeout_ = 0;          // seconds for statements; 0: driver default
  std::shared_ptr<THandles> handles_;  // environment and connection; null while closed
};

// A new, not yet opened connection with these settings, or null when
// `connectionString` is empty. `commandTimeout` 0 keeps the driver's default;
// an empty `defaultDatabase` keeps the connection string's. The caller owns
// the connection and sets its mode before first use.
std::unique_ptr<TOdbcConnection> CreateConnection(std::string_view connectionString,
                                                  std::string_view defaultDatabase, int commandTimeout);

}  // namespace tessaro
