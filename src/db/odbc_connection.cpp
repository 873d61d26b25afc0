// Connections to business databases.
//
// The connection string is opaque: it goes to the ODBC driver manager as it
// is, so one program reaches SQL Server, PostgreSQL, MariaDB and SQLite
// alike, each through its own driver. What the portal asks of every
// connection is set after the driver has connected: read-committed
// isolation, the default database, and for the pages that only show
// records, a session that cannot write.
//
// Drivers accept a read-only request (SQL_ATTR_ACCESS_MODE) but most treat it
// as a hint and write anyway. Where the database offers a read-only session,
// a table below names the statement that asks for one, by the product name
// the driver reports; its failure fails the connection, so a page never
// runs on a session it believes read-only but is not.
#include "db/odbc_connection.h"

#include <limits>

#include "db/odbc_api.h"
#include "util/codepage.h"
#include "util/text.h"

namespace tessaro {
namespace {

// Seconds the driver may take to reach the server, so that an unreachable
// one ends the request with an error instead of hanging it.
constexpr SQLULEN kLoginTimeoutSeconds = 15;

struct TReadOnlySession {
  std::string_view dbms;       // product name prefix (SQL_DBMS_NAME)
  std::string_view statement;  // makes the rest of the session read-only
};

constexpr TReadOnlySession kReadOnlySessions[] = {
    {"PostgreSQL", "SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"},
    {"MariaDB", "SET SESSION TRANSACTION READ ONLY"},
    {"MySQL", "SET SESSION TRANSACTION READ ONLY"},
    {"SQLite", "PRAGMA query_only = 1"},
};

}  // namespace

// Freed when the connection and every statement made on it let go: the
// connection is then disconnected and its handles freed.
struct TOdbcConnection::THandles {
  ~THandles() {
    if (connected) SQLDisconnect(connection.Get());
  }
  TOdbcHandle environment;  // the driver manager's environment, ODBC 3
  TOdbcHandle connection;   // the SQLHDBC
  bool connected = false;   // SQLDriverConnect succeeded
};

TOdbcConnection::TOdbcConnection() = default;

TOdbcConnection::~TOdbcConnection() { Close(); }

void TOdbcConnection::RequireClosed() const {
  if (Connected()) throw EDatabaseError("Cannot change the settings of an open connection");
}

void TOdbcConnection::SetConnectionString(std::string value) {
  RequireClosed();
  connection_string_ = std::move(value);
}

void TOdbcConnection::SetDefaultDatabase(std::string value) {
  RequireClosed();
  default_database_ = std::move(value);
}

void TOdbcConnection::SetMode(TConnectMode value) {
  RequireClosed();
  mode_ = value;
}

bool TOdbcConnection::Connected() const { return handles_ != nullptr; }

void TOdbcConnection::Open() {
  if (Connected()) return;
  if (connection_string_.empty()) throw EDatabaseError("The connection string is empty");
  // The connection string goes to the driver manager in narrow form, as
  // UTF-8 (the character set its loader chooses for the process, see
  // odbc_loader.cpp). Given the wide form, the driver manager cuts every
  // character to its low byte for a driver with only narrow entry points, so
  // a database path with Czech letters would name another file.
  std::string text = EncodeOutput(connection_string_);
  if (text.size() > static_cast<size_t>(std::numeric_limits<SQLSMALLINT>::max()))
    throw EDatabaseError("The connection string is too long");

  auto handles = std::make_shared<THandles>();
  handles->environment = TOdbcHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  CheckOdbc(SQLSetEnvAttr(handles->environment.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                          0),
            handles->environment, "Choosing ODBC 3");
  handles->connection = TOdbcHandle(SQL_HANDLE_DBC, handles->environment.Get());
  const TOdbcHandle& dbc = handles->connection;
  SetOptionalConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, kLoginTimeoutSeconds);
  CheckOdbc(SQLDriverConnect(dbc.Get(), nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                             static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
            dbc, "Connecting");
  handles->connected = true;
  handles_ = std::move(handles);
  try {
    SetOptionalConnectAttr(dbc, SQL_ATTR_TXN_ISOLATION, SQL_TXN_READ_COMMITTED);
    if (!default_database_.empty()) {
      const TSqlWideString catalog = ToSqlWide(default_database_);
      const SQLRETURN rc = SQLSetConnectAttrW(dbc.Get(), SQL_ATTR_CURRENT_CATALOG,
                                              const_cast<SQLWCHAR*>(catalog.c_str()),
                                              static_cast<SQLINTEGER>(catalog.size() * sizeof(SQLWCHAR)));
      if (!SQL_SUCCEEDED(rc) && !IsUnsupportedFeature(SQL_HANDLE_DBC, dbc.Get()))
        RaiseOdbcError(SQL_HANDLE_DBC, dbc.Get(), "Choosing the default database");
    }
    if (mode_ == cmRead) MakeSessionReadOnly();
  } catch (...) {
    Close();
    throw;
  }
}

void TOdbcConnection::MakeSessionReadOnly() {
  const TOdbcHandle& dbc = handles_->connection;
  SetOptionalConnectAttr(dbc, SQL_ATTR_ACCESS_MODE, SQL_MODE_READ_ONLY);
  const std::string dbms = DbmsName();
  for (const auto& session : kReadOnlySessions) {
    if (!StartsText(session.dbms, dbms)) continue;
    TOdbcHandle statement(SQL_HANDLE_STMT, dbc.Get());
    const TSqlWideString sql = ToSqlWide(session.statement);
    CheckOdbc(SQLExecDirectW(statement.Get(), const_cast<SQLWCHAR*>(sql.c_str()), static_cast<SQLINTEGER>(sql.size())),
              statement, "Making the session read-only");
    return;
  }
}

void TOdbcConnection::Close() { handles_.reset(); }

std::shared_ptr<void> TOdbcConnection::NativeHandle() {
  Open();
  return std::shared_ptr<void>(handles_, handles_->connection.Get());
}

std::string TOdbcConnection::DbmsName() {
  SQLWCHAR name[128] = {};
  SQLSMALLINT bytes = 0;
  const std::shared_ptr<void> dbc = NativeHandle();
  CheckOdbc(SQLGetInfoW(dbc.get(), SQL_DBMS_NAME, name, sizeof(name), &bytes), SQL_HANDLE_DBC, dbc.get(),
            "Reading the database's name");
  return FromSqlWideBuffer(name, std::size(name));
}

std::unique_ptr<TOdbcConnection> CreateConnection(std::string_view connectionString,
                                                  std::string_view defaultDatabase, int commandTimeout) {
  if (connectionString.empty()) return nullptr;
  auto connection = std::make_unique<TOdbcConnection>();
  connection->SetConnectionString(std::string(connectionString));
  connection->SetDefaultDatabase(std::string(defaultDatabase));
  connection->SetCommandTimeout(commandTimeout);
  return connection;
}

}  // namespace tessaro
