// Test databases: SQLite files in temporary folders and a PostgreSQL server
// started by scripts/pg-test-cluster, which also stops it should this
// process die without doing so.
#include "test_databases.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "db/odbc_command.h"

namespace tessaro::testing {
namespace {

// Runs a shell command and returns its standard output.
std::string RunCommand(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot run " + command);
  std::string output;
  char buffer[256];
  while (fgets(buffer, sizeof(buffer), pipe) != nullptr) output += buffer;
  if (pclose(pipe) != 0) throw std::runtime_error(command + " failed: " + output);
  return output;
}

const std::string kClusterScript = std::string(TESSARO_SOURCE_DIR) + "/scripts/pg-test-cluster";

}  // namespace

void UseProjectOdbcDrivers() { setenv("ODBCSYSINI", TESSARO_SOURCE_DIR "/scripts/odbc", 1); }

std::unique_ptr<TOdbcConnection> TTestDatabase::Connect(TConnectMode mode) const {
  UseProjectOdbcDrivers();
  auto connection = CreateConnection(ConnectionString(), "", 30);
  connection->SetMode(mode);
  connection->Open();
  return connection;
}

void TTestDatabase::Exec(std::string_view sql) const {
  auto connection = Connect();
  TOdbcCommand command(connection.get());
  command.SetParamCheck(false);
  command.SetCommandText(std::string(sql));
  command.Execute();
}

TSqliteTestDatabase::TSqliteTestDatabase() {
  char folder[] = "/tmp/tessaro-db-test.XXXXXX";
  if (mkdtemp(folder) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  folder_ = folder;
  file_ = folder_ + "/test.db";
  // The driver creates a missing file unless told not to: this first
  // connection creates it, every later one refuses to.
  UseProjectOdbcDrivers();
  auto connection = CreateConnection("Driver=SQLite3;Database=" + file_, "", 0);
  connection->Open();
}

TSqliteTestDatabase::~TSqliteTestDatabase() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::string TSqliteTestDatabase::ConnectionString() const { return "Driver=SQLite3;Database=" + file_ + ";NoCreat=1"; }

TPostgresTestServer::TPostgresTestServer() {
  std::istringstream reply(RunCommand(kClusterScript + " start " + std::to_string(getpid())));
  reply >> folder_ >> port_;
  if (folder_.empty() || port_ == 0) throw std::runtime_error("pg-test-cluster gave no server");
}

TPostgresTestServer::~TPostgresTestServer() {
  try {
    RunCommand(kClusterScript + " stop " + folder_);
  } catch (const std::exception&) {
    // The watcher removes it when this process ends.
  }
}

std::unique_ptr<TPostgresTestDatabase> TPostgresTestServer::NewDatabase(const std::string& name) {
  TPostgresTestDatabase(port_, "postgres").Exec("CREATE SCHEMA " + name);
  return std::make_unique<TPostgresTestDatabase>(port_, "postgres", name);
}

std::string TPostgresTestDatabase::ConnectionString() const {
  // The driver settings the README recommends for a portal.
  std::string text = "Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=" + std::to_string(port_) + ";Database=" +
                     database_ + ";Uid=postgres;Pwd=;BoolsAsChar=0;UseDeclareFetch=1;Fetch=100;UseServerSidePrepare=0;";
  if (!schema_.empty()) text += "ConnSettings=SET search_path TO " + schema_ + ";";
  return text + options_;
}

}  // namespace tessaro::testing
