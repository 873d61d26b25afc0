// The real databases the data-access tests run on: a new SQLite file per
// test, or a throwaway PostgreSQL server (scripts/pg-test-cluster) with a
// new database per check. Both are reached through the ODBC drivers
// registered in scripts/odbc, as a deployed portal reaches them.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "db/odbc_connection.h"
#include "db/dataset.h"

namespace tessaro::testing {

class TTestDatabase {
 public:
  virtual ~TTestDatabase() = default;
  virtual bool IsPostgres() const = 0;
  virtual std::string ConnectionString() const = 0;

  // An open connection in `mode`.
  std::unique_ptr<TOdbcConnection> Connect(TConnectMode mode = cmReadWrite) const;
  // Runs plain SQL (table set-up) on a read-write connection.
  void Exec(std::string_view sql) const;

  // Type names of this database for the test tables.
  virtual std::string_view DoubleType() const = 0;
  virtual std::string_view BlobType() const = 0;
  // The field types its driver reports for VARCHAR and binary columns.
  virtual TFieldType VarcharFieldType() const = 0;
  virtual TFieldType BlobFieldType() const = 0;
  // An SQL expression giving the character with this Unicode code.
  virtual std::string CharExpression(int code) const = 0;
};

// A new, empty SQLite database file in a temporary folder of its own,
// removed with the object.
class TSqliteTestDatabase : public TTestDatabase {
 public:
  TSqliteTestDatabase();
  ~TSqliteTestDatabase() override;
  bool IsPostgres() const override { return false; }
  std::string ConnectionString() const override;
  const std::string& Folder() const { return folder_; }
  std::string_view DoubleType() const override { return "DOUBLE"; }
  std::string_view BlobType() const override { return "BLOB"; }
  TFieldType VarcharFieldType() const override { return TFieldType::ftString; }
  TFieldType BlobFieldType() const override { return TFieldType::ftBytes; }
  std::string CharExpression(int code) const override { return "char(" + std::to_string(code) + ")"; }

 private:
  std::string folder_;  // temporary folder holding the file
  std::string file_;    // the database file
};

class TPostgresTestDatabase;

// A PostgreSQL server on a free loopback port, stopped (and its folder
// removed) with the object, or by the script's watcher if the test dies.
class TPostgresTestServer {
 public:
  TPostgresTestServer();  // throws std::runtime_error when it cannot start
  ~TPostgresTestServer();
  // A new, empty schema on the server, as a database of its own for the
  // tests (a schema costs far less to make than a database).
  std::unique_ptr<TPostgresTestDatabase> NewDatabase(const std::string& name);
  int Port() const { return port_; }

 private:
  std::string folder_;  // the cluster's temporary folder
  int port_ = 0;        // its port on 127.0.0.1
};

class TPostgresTestDatabase : public TTestDatabase {
 public:
  // The database `database`, working in `schema` (empty: the default one).
  TPostgresTestDatabase(int port, std::string database, std::string schema = std::string())
      : port_(port), database_(std::move(database)), schema_(std::move(schema)) {}
  bool IsPostgres() const override { return true; }
  std::string ConnectionString() const override;
  std::string_view DoubleType() const override { return "DOUBLE PRECISION"; }
  std::string_view BlobType() const override { return "BYTEA"; }
  TFieldType VarcharFieldType() const override { return TFieldType::ftWideString; }
  TFieldType BlobFieldType() const override { return TFieldType::ftBlob; }
  std::string CharExpression(int code) const override { return "chr(" + std::to_string(code) + ")"; }
  // Driver settings appended to the connection string ("Name=value;...").
  void SetOptions(std::string options) { options_ = std::move(options); }

 private:
  int port_;              // the server's port
  std::string database_;  // database name
  std::string schema_;    // schema the connections work in; empty: public
  std::string options_;   // extra driver settings
};

// Points the ODBC driver manager at the project's driver list
// (scripts/odbc/odbcinst.ini), as a deployed portal is configured.
void UseProjectOdbcDrivers();

}  // namespace tessaro::testing
