// What the database layer costs a page, measured beside the same work done
// directly with the SQLite C library and with bare ODBC calls.
//
// A list page connects, runs its parametrised query with ORDER BY over
// 100,000 rows and shows 25 of them (a streaming data set limited to 25
// records); a sorted list reads all matching rows (1,000) into a client-side
// data set and sorts them by two fields. Each step runs on SQLite through
// the C library (the baseline), on SQLite through ODBC, and on PostgreSQL
// through ODBC (a throwaway server started by scripts/pg-test-cluster),
// each of the last two both through this layer and through bare ODBC calls
// (the driver's own cost). After the figures the layer's times are printed
// as multiples of the C library's and of bare ODBC's.
#include <benchmark/benchmark.h>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "db/odbc_command.h"
#include "db/odbc_connection.h"
#include "db/odbc_dataset.h"

namespace {

using namespace tessaro;

constexpr int kRows = 100000;
constexpr int kGroups = 100;  // rows of one group: kRows / kGroups
constexpr int kPageRows = 25;

const char* const kCreateTable =
    "CREATE TABLE item (id INTEGER PRIMARY KEY, grp INTEGER, name VARCHAR(40), amount DOUBLE PRECISION, day DATE)";
const char* const kCreateIndexes[] = {"CREATE INDEX item_grp ON item (grp)", "CREATE INDEX item_name ON item (name)"};
const char* const kFillSqlite =
    "WITH RECURSIVE s(g) AS (SELECT 1 UNION ALL SELECT g + 1 FROM s WHERE g < 100000) "
    "INSERT INTO item SELECT g, g % 100, printf('name %06d', (g * 7919) % 100000), (g * 37) % 1000 / 10.0, "
    "date('2020-01-01', '+' || (g % 1000) || ' days') FROM s";
const char* const kFillPostgres =
    "INSERT INTO item SELECT g, g % 100, 'name ' || lpad(((g * 7919) % 100000)::text, 6, '0'), "
    "(g * 37) % 1000 / 10.0, date '2020-01-01' + g % 1000 FROM generate_series(1, 100000) g";

// The page query (25 rows read) and the group query (all rows read, sorted
// by the data set), with named parameters for the layer.
const char* const kPageSql = "SELECT id, grp, name, amount, day FROM item WHERE amount >= :min ORDER BY name";
const char* const kGroupSql = "SELECT id, grp, name, amount, day FROM item WHERE grp = :grp";
const char* const kSortKeys = "name DESC,amount";

// ---- The databases ----

struct TBenchDatabases {
  std::string folder;               // temporary folder of the SQLite file
  std::string sqlite_file;          // the SQLite database
  std::string sqlite_odbc;          // its ODBC connection string
  std::string postgres_odbc;        // empty when no server could be started
  std::string postgres_folder;      // the server's folder, for stopping it

  TBenchDatabases() {
    setenv("ODBCSYSINI", TESSARO_SOURCE_DIR "/scripts/odbc", 1);
    char temp[] = "/tmp/tessaro-db-bench.XXXXXX";
    if (mkdtemp(temp) == nullptr) std::abort();
    folder = temp;
    sqlite_file = folder + "/bench.db";
    sqlite_odbc = "Driver=SQLite3;Database=" + sqlite_file;
    Fill(sqlite_odbc, kFillSqlite);
    sqlite_odbc += ";NoCreat=1";
    StartPostgres();
  }

  ~TBenchDatabases() {
    if (!postgres_folder.empty())
      std::system((TESSARO_SOURCE_DIR "/scripts/pg-test-cluster stop " + postgres_folder).c_str());
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  static void Exec(TOdbcConnection& connection, const char* sql) {
    TOdbcCommand command(&connection);
    command.SetParamCheck(false);
    command.SetCommandText(sql);
    command.Execute();
  }

  static void Fill(const std::string& connection_string, const char* fill) {
    auto connection = CreateConnection(connection_string, "", 0);
    Exec(*connection, kCreateTable);
    Exec(*connection, fill);
    for (const char* index : kCreateIndexes) Exec(*connection, index);
  }

  void StartPostgres() {
    const std::string command =
        TESSARO_SOURCE_DIR "/scripts/pg-test-cluster start " + std::to_string(getpid()) + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return;
    char line[512] = {};
    const bool read = fgets(line, sizeof(line), pipe) != nullptr;
    if (pclose(pipe) != 0 || !read) return;
    std::istringstream reply(line);
    int port = 0;
    reply >> postgres_folder >> port;
    const std::string server = "Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=" + std::to_string(port) +
                               ";Uid=postgres;Pwd=;BoolsAsChar=0;UseDeclareFetch=1;Fetch=100;Database=";
    auto admin = CreateConnection(server + "postgres", "", 0);
    Exec(*admin, "CREATE DATABASE bench");
    postgres_odbc = server + "bench";
    Fill(postgres_odbc, kFillPostgres);
    auto analyze = CreateConnection(postgres_odbc, "", 0);
    Exec(*analyze, "ANALYZE item");
  }
};

TBenchDatabases& Databases() {
  static TBenchDatabases databases;
  return databases;
}

// ---- The layer ----

std::unique_ptr<TOdbcConnection> Connect(const std::string& connection_string) {
  auto connection = CreateConnection(connection_string, "", 30);
  connection->SetMode(cmRead);
  connection->Open();
  return connection;
}

// The first page of the list: a streaming data set of at most 25 records.
void ReadPage(TOdbcConnection& connection) {
  TOdbcDataSet data(&connection);
  data.SetCursorLocation(clUseServer);
  data.SetCursorType(ctOpenForwardOnly);
  data.SetMaxRecords(kPageRows);
  data.SetCommandText(kPageSql);
  data.Parameters()[0].Value = TVariant::Float(10.0);
  data.Open();
  for (int i = 0; i < kPageRows && !data.Eof(); ++i, data.Next())
    for (int f = 0; f < data.FieldCount(); ++f)
      benchmark::DoNotOptimize(static_cast<TOdbcField*>(data.Field(f))->Value());
}

// One group's rows in a client-side data set sorted by two fields.
int ReadSortedGroup(TOdbcConnection& connection) {
  TOdbcDataSet data(&connection);
  data.SetCommandText(kGroupSql);
  data.Parameters()[0].Value = TVariant::Integer(42);
  data.SetIndexFieldNames(kSortKeys);
  data.Open();
  return data.RecordCount();
}

const std::string& OdbcTarget(bool postgres, benchmark::State& state) {
  const std::string& target = postgres ? Databases().postgres_odbc : Databases().sqlite_odbc;
  if (target.empty()) state.SkipWithError("no PostgreSQL server (run scripts/install-deps)");
  return target;
}

void BM_OdbcConnect(benchmark::State& state, bool postgres) {
  const std::string& target = OdbcTarget(postgres, state);
  if (target.empty()) return;
  for (auto _ : state) benchmark::DoNotOptimize(Connect(target));
}

void BM_OdbcPage25(benchmark::State& state, bool postgres) {
  const std::string& target = OdbcTarget(postgres, state);
  if (target.empty()) return;
  auto connection = Connect(target);
  for (auto _ : state) ReadPage(*connection);
}

void BM_OdbcSorted1000(benchmark::State& state, bool postgres) {
  const std::string& target = OdbcTarget(postgres, state);
  if (target.empty()) return;
  auto connection = Connect(target);
  for (auto _ : state) state.counters["rows"] = ReadSortedGroup(*connection);
}

// The whole request: connect, the page, the sorted group.
void BM_OdbcRequest(benchmark::State& state, bool postgres) {
  const std::string& target = OdbcTarget(postgres, state);
  if (target.empty()) return;
  for (auto _ : state) {
    auto connection = Connect(target);
    ReadPage(*connection);
    ReadSortedGroup(*connection);
  }
}

// ---- The same work with bare ODBC calls ----

// One row as bare ODBC reads it: the same C types the layer asks for,
// texts left in UTF-16.
struct TRawRow {
  SQLBIGINT id = 0, grp = 0;
  std::u16string name;
  SQLDOUBLE amount = 0;
  SQL_DATE_STRUCT day{};
};

struct TRawConnection {
  SQLHENV env = SQL_NULL_HANDLE;
  SQLHDBC dbc = SQL_NULL_HANDLE;

  explicit TRawConnection(const std::string& target) {
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    const std::u16string text(target.begin(), target.end());
    if (!SQL_SUCCEEDED(SQLDriverConnectW(dbc, nullptr, (SQLWCHAR*)text.c_str(), static_cast<SQLSMALLINT>(text.size()),
                                         nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)))
      std::abort();
  }
  ~TRawConnection() {
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
  }
};

TRawRow RawRow(SQLHSTMT statement) {
  TRawRow row;
  SQLLEN indicator;
  SQLGetData(statement, 1, SQL_C_SBIGINT, &row.id, sizeof(row.id), &indicator);
  SQLGetData(statement, 2, SQL_C_SBIGINT, &row.grp, sizeof(row.grp), &indicator);
  SQLWCHAR name[128];
  SQLGetData(statement, 3, SQL_C_WCHAR, name, sizeof(name), &indicator);
  if (indicator > 0) row.name.assign(reinterpret_cast<char16_t*>(name), indicator / sizeof(SQLWCHAR));
  SQLGetData(statement, 4, SQL_C_DOUBLE, &row.amount, sizeof(row.amount), &indicator);
  SQLGetData(statement, 5, SQL_C_TYPE_DATE, &row.day, sizeof(row.day), &indicator);
  return row;
}

// Runs `sql` ("?" markers) with one bound parameter and calls `each` per row.
template <class Each>
void RawQuery(TRawConnection& connection, const char* sql, SQLSMALLINT c_type, SQLSMALLINT sql_type, void* value,
              SQLULEN max_rows, Each each) {
  SQLHSTMT statement;
  SQLAllocHandle(SQL_HANDLE_STMT, connection.dbc, &statement);
  if (max_rows > 0) SQLSetStmtAttr(statement, SQL_ATTR_MAX_ROWS, reinterpret_cast<SQLPOINTER>(max_rows), 0);
  SQLLEN length = 8;
  SQLBindParameter(statement, 1, SQL_PARAM_INPUT, c_type, sql_type, 15, 0, value, 8, &length);
  const std::u16string text(sql, sql + std::char_traits<char>::length(sql));
  if (!SQL_SUCCEEDED(SQLExecDirectW(statement, (SQLWCHAR*)text.c_str(), static_cast<SQLINTEGER>(text.size()))))
    std::abort();
  while (SQL_SUCCEEDED(SQLFetch(statement)) && each(statement)) {
  }
  SQLFreeHandle(SQL_HANDLE_STMT, statement);
}

void RawPage(TRawConnection& connection) {
  SQLDOUBLE min = 10.0;
  int rows = 0;
  RawQuery(connection, "SELECT id, grp, name, amount, day FROM item WHERE amount >= ? ORDER BY name", SQL_C_DOUBLE,
           SQL_DOUBLE, &min, kPageRows, [&](SQLHSTMT statement) {
             benchmark::DoNotOptimize(RawRow(statement));
             return ++rows < kPageRows;
           });
}

size_t RawSortedGroup(TRawConnection& connection) {
  SQLBIGINT group = 42;
  std::vector<TRawRow> rows;
  RawQuery(connection, "SELECT id, grp, name, amount, day FROM item WHERE grp = ?", SQL_C_SBIGINT, SQL_INTEGER,
           &group, 0, [&](SQLHSTMT statement) {
             rows.push_back(RawRow(statement));
             return true;
           });
  std::stable_sort(rows.begin(), rows.end(), [](const TRawRow& a, const TRawRow& b) {
    if (a.name != b.name) return a.name > b.name;
    return a.amount < b.amount;
  });
  return rows.size();
}

void BM_RawConnect(benchmark::State& state, bool postgres) {
  const std::string& target = OdbcTarget(postgres, state);
  if (target.empty()) return;
  for (auto _ : state) TRawConnection connection(target);
}

void BM_RawPage25(benchmark::State& state, bool postgres) {
  const std::string& target = OdbcTarget(postgres, state);
  if (target.empty()) return;
  TRawConnection connection(target);
  for (auto _ : state) RawPage(connection);
}

void BM_RawSorted1000(benchmark::State& state, bool postgres) {
  const std::string& target = OdbcTarget(postgres, state);
  if (target.empty()) return;
  TRawConnection connection(target);
  for (auto _ : state) state.counters["rows"] = static_cast<double>(RawSortedGroup(connection));
}

void BM_RawRequest(benchmark::State& state, bool postgres) {
  const std::string& target = OdbcTarget(postgres, state);
  if (target.empty()) return;
  for (auto _ : state) {
    TRawConnection connection(target);
    RawPage(connection);
    RawSortedGroup(connection);
  }
}

// ---- The same work with the SQLite C library ----

struct TSqliteRow {
  int64_t id, grp;
  std::string name;
  double amount;
  std::string day;
};

sqlite3* SqliteOpen() {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(Databases().sqlite_file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) std::abort();
  return db;
}

TSqliteRow SqliteRow(sqlite3_stmt* statement) {
  auto text = [statement](int column) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return std::string(p != nullptr ? p : "");
  };
  return {sqlite3_column_int64(statement, 0), sqlite3_column_int64(statement, 1), text(2),
          sqlite3_column_double(statement, 3), text(4)};
}

void SqlitePage(sqlite3* db) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT id, grp, name, amount, day FROM item WHERE amount >= ? ORDER BY name", -1,
                     &statement, nullptr);
  sqlite3_bind_double(statement, 1, 10.0);
  for (int i = 0; i < kPageRows && sqlite3_step(statement) == SQLITE_ROW; ++i)
    benchmark::DoNotOptimize(SqliteRow(statement));
  sqlite3_finalize(statement);
}

size_t SqliteSortedGroup(sqlite3* db) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT id, grp, name, amount, day FROM item WHERE grp = ?", -1, &statement, nullptr);
  sqlite3_bind_int(statement, 1, 42);
  std::vector<TSqliteRow> rows;
  while (sqlite3_step(statement) == SQLITE_ROW) rows.push_back(SqliteRow(statement));
  sqlite3_finalize(statement);
  std::stable_sort(rows.begin(), rows.end(), [](const TSqliteRow& a, const TSqliteRow& b) {
    if (a.name != b.name) return a.name > b.name;
    return a.amount < b.amount;
  });
  return rows.size();
}

void BM_SqliteCConnect(benchmark::State& state) {
  Databases();
  for (auto _ : state) sqlite3_close(SqliteOpen());
}

void BM_SqliteCPage25(benchmark::State& state) {
  sqlite3* db = SqliteOpen();
  for (auto _ : state) SqlitePage(db);
  sqlite3_close(db);
}

void BM_SqliteCSorted1000(benchmark::State& state) {
  sqlite3* db = SqliteOpen();
  for (auto _ : state) state.counters["rows"] = static_cast<double>(SqliteSortedGroup(db));
  sqlite3_close(db);
}

void BM_SqliteCRequest(benchmark::State& state) {
  Databases();
  for (auto _ : state) {
    sqlite3* db = SqliteOpen();
    SqlitePage(db);
    SqliteSortedGroup(db);
    sqlite3_close(db);
  }
}

// ---- Figures and ratios ----

// Prints the usual table, then the layer's time for each step as a
// multiple of the C library's and of bare ODBC's on the same database.
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (!run.error_occurred) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nThe layer's time as a multiple of (real time, same work):\n");
    std::printf("  %-11s %13s %13s %13s\n", "", "SQLite C", "ODBC SQLite", "ODBC Postgres");
    for (const char* step : {"Connect", "Page25", "Sorted1000", "Request"}) {
      std::printf("  %-11s %12sx %12sx %12sx\n", step,
                  Ratio(std::string("BM_Odbc") + step + "/sqlite", std::string("BM_SqliteC") + step).c_str(),
                  Ratio(std::string("BM_Odbc") + step + "/sqlite", std::string("BM_Raw") + step + "/sqlite").c_str(),
                  Ratio(std::string("BM_Odbc") + step + "/postgres", std::string("BM_Raw") + step + "/postgres").c_str());
    }
  }

 private:
  std::string Ratio(const std::string& layer, const std::string& base) const {
    const auto a = times_.find(layer), b = times_.find(base);
    if (a == times_.end() || b == times_.end() || b->second <= 0) return "-";
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", a->second / b->second);
    return text;
  }

  std::map<std::string, double> times_;  // benchmark name -> time per iteration
};

template <class Function>
void Register(const std::string& name, Function function, bool postgres) {
  benchmark::RegisterBenchmark(name.c_str(), function, postgres)->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RegisterBenchmark("BM_SqliteCConnect", BM_SqliteCConnect)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_SqliteCPage25", BM_SqliteCPage25)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_SqliteCSorted1000", BM_SqliteCSorted1000)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_SqliteCRequest", BM_SqliteCRequest)->Unit(benchmark::kMicrosecond);
  for (const auto& [database, postgres] : {std::pair{"/sqlite", false}, std::pair{"/postgres", true}}) {
    Register(std::string("BM_RawConnect") + database, BM_RawConnect, postgres);
    Register(std::string("BM_OdbcConnect") + database, BM_OdbcConnect, postgres);
    Register(std::string("BM_RawPage25") + database, BM_RawPage25, postgres);
    Register(std::string("BM_OdbcPage25") + database, BM_OdbcPage25, postgres);
    Register(std::string("BM_RawSorted1000") + database, BM_RawSorted1000, postgres);
    Register(std::string("BM_OdbcSorted1000") + database, BM_OdbcSorted1000, postgres);
    Register(std::string("BM_RawRequest") + database, BM_RawRequest, postgres);
    Register(std::string("BM_OdbcRequest") + database, BM_OdbcRequest, postgres);
  }
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
