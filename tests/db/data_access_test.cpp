// The data-access layer against real databases: every check runs on SQLite
// (a new file per check) and on a PostgreSQL server started for the test
// (a new database per check), through the ODBC drivers a deployed portal
// uses.
#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "db/database_error.h"
#include "db/odbc_command.h"
#include "db/odbc_dataset.h"
#include "db/param_binding.h"
#include "db/prepared_dataset.h"
#include "test_databases.h"
#include "util/codepage.h"
#include "util/datetime.h"
#include "util/regional_settings.h"
#include "util/text.h"

namespace tessaro {
namespace {

using testing::TPostgresTestServer;
using testing::TSqliteTestDatabase;
using testing::TTestDatabase;

// Runs `sql` with positional parameter values on a read-write connection;
// type suffixes of the names give the parameters their types.
void ExecWith(const TTestDatabase& db, const std::string& sql, const std::vector<TVariant>& values) {
  auto connection = db.Connect();
  TOdbcCommand command(connection.get());
  command.SetCommandText(sql);
  ASSERT_EQ(command.Parameters().Count(), static_cast<int>(values.size())) << sql;
  for (size_t i = 0; i < values.size(); ++i) {
    TParameter& parameter = command.Parameters()[static_cast<int>(i)];
    parameter.DataType = ParamTypeSuffix(parameter.Name);
    parameter.Value = values[i];
  }
  command.Execute();
}

// The values of one column of every record, as plain text.
std::vector<std::string> Column(TDataSet& data, std::string_view field) {
  std::vector<std::string> values;
  for (data.First(); !data.Eof(); data.Next())
    values.push_back(data.FieldByName(field).IsNull() ? "<null>" : data.FieldByName(field).AsString());
  return values;
}

void CreateGroups(const TTestDatabase& db) {
  db.Exec("CREATE TABLE grp (id INTEGER, kind VARCHAR(10), name VARCHAR(20), amount INTEGER)");
  db.Exec(
      "INSERT INTO grp VALUES (1, 'A', 'delta', 5), (2, 'B', 'alpha', NULL), (3, 'A', 'beta', 7), "
      "(4, 'B', 'gamma', 1), (5, 'C', 'alpha', 3)");
}

// ---- The checks ----

// Every kind of column, written through bound parameters and read back:
// field types, native values, windows-1250 text, whole blobs and memos,
// Null, and display text under the regional settings and display attributes.
void ReadsEveryKindOfColumn(TTestDatabase& db) {
  db.Exec("CREATE TABLE item (id INTEGER, name VARCHAR(40), price " + std::string(db.DoubleType()) +
          ", born DATE, stamp TIMESTAMP, flag BOOLEAN, photo " + std::string(db.BlobType()) + ", note TEXT)");
  const std::string name = Cp1250("Žluťoučký kůň");
  std::string photo;
  for (int i = 0; i < 100000; ++i) photo += static_cast<char>(i * 7 % 256);
  std::string note;
  while (note.size() < 10000) note += Cp1250("Příliš žluťoučký kůň úpěl ďábelské ódy. ");
  const TDateTime born = EncodeDate(2024, 1, 31);
  const TDateTime stamp = EncodeDate(2024, 1, 31) + EncodeTime(13, 45, 10, 500);
  ExecWith(db, "INSERT INTO item VALUES (:id, :name, :price, :born.Date, :stamp.DateTime, :flag.Boolean, "
               ":photo.Blob, :note.Memo)",
           {TVariant::Integer(7), TVariant::String(name), TVariant::Float(12.5), TVariant::Date(born),
            TVariant::Date(stamp), TVariant::Boolean(true), TVariant::String(photo), TVariant::String(note)});
  ExecWith(db, "INSERT INTO item VALUES (:id, :name, :price, :born.Date, :stamp.DateTime, :flag.Boolean, "
               ":photo.Blob, :note.Memo)",
           {TVariant::Integer(8), TVariant(), TVariant(), TVariant(), TVariant(), TVariant(), TVariant(), TVariant()});

  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get(), "Items");
  data.SetCommandText("SELECT id, name, price, born, stamp, flag, photo, note, " + db.CharExpression(0x4E2D) +
                      " AS foreign_letter, " + db.CharExpression(0x20AC) + " AS euro FROM item ORDER BY id");
  data.Open();
  ASSERT_EQ(data.RecordCount(), 2);
  const std::pair<const char*, TFieldType> types[] = {
      {"id", TFieldType::ftInteger},      {"name", db.VarcharFieldType()}, {"price", TFieldType::ftFloat},
      {"born", TFieldType::ftDate},       {"stamp", TFieldType::ftDateTime}, {"flag", TFieldType::ftBoolean},
      {"photo", db.BlobFieldType()},      {"note", TFieldType::ftMemo}};
  for (const auto& [field, type] : types) EXPECT_EQ(data.FieldByName(field).DataType(), type) << field;
  EXPECT_EQ(data.FieldByName("NAME").Size(), 40);

  EXPECT_EQ(data.FieldByName("id").AsLargeInt(), 7);
  EXPECT_EQ(data.FieldByName("name").AsString(), name);
  EXPECT_EQ(data.FieldByName("price").AsFloat(), 12.5);
  EXPECT_EQ(data.FieldByName("born").AsDateTime(), born);
  EXPECT_NEAR(data.FieldByName("stamp").AsDateTime(), stamp, 1e-8);
  EXPECT_TRUE(data.FieldByName("flag").AsBoolean());
  // Compared whole, without printing 100 kB on failure.
  EXPECT_EQ(data.FieldByName("photo").AsString().size(), photo.size());
  EXPECT_TRUE(data.FieldByName("photo").AsString() == photo);
  EXPECT_EQ(data.FieldByName("note").AsString().size(), note.size());
  EXPECT_TRUE(data.FieldByName("note").AsString() == note);
  EXPECT_EQ(data.FieldByName("foreign_letter").AsString(), "?");
  EXPECT_EQ(data.FieldByName("euro").AsString(), "\x80");

  EXPECT_EQ(data.FieldByName("price").DisplayText(), "12,5");
  EXPECT_EQ(data.FieldByName("born").DisplayText(), "31.1.2024");
  EXPECT_EQ(data.FieldByName("stamp").DisplayText(), "31.1.2024 13:45:10");
  EXPECT_EQ(data.FieldByName("flag").DisplayText(), "True");
  data.FieldByName("price").SetDisplayFormat("0.00");
  data.FieldByName("born").SetDisplayFormat("yyyy-mm-dd");
  data.FieldByName("flag").SetDisplayValues(Cp1250("Ano;Ne"));
  EXPECT_EQ(data.FieldByName("price").DisplayText(), "12,50");
  EXPECT_EQ(data.FieldByName("born").DisplayText(), "2024-01-31");
  EXPECT_EQ(data.FieldByName("flag").DisplayText(), "Ano");

  data.Next();
  EXPECT_EQ(data.FieldByName("id").AsLargeInt(), 8);
  for (const char* field : {"name", "price", "born", "stamp", "flag", "photo", "note"}) {
    EXPECT_TRUE(data.FieldByName(field).IsNull()) << field;
    EXPECT_EQ(data.FieldByName(field).DisplayText(), "") << field;
  }
  data.Next();
  EXPECT_TRUE(data.Eof());
  EXPECT_TRUE(data.FieldByName("id").IsNull());

  // Bytes held elsewhere (an upload inside the request body) are bound where
  // they lie and arrive whole.
  {
    auto writer = db.Connect();
    TOdbcCommand command(writer.get());
    command.SetCommandText("INSERT INTO item (id, photo) VALUES (9, :photo.Blob)");
    TParameter& parameter = command.Parameters()[0];
    parameter.DataType = TFieldType::ftBlob;
    parameter.HeldBytes = std::string_view(photo);
    command.Execute();
  }
  TOdbcDataSet held(connection.get());
  held.SetCommandText("SELECT photo FROM item WHERE id = 9");
  held.Open();
  EXPECT_TRUE(held.FieldByName("photo").AsString() == photo);
}

// Request text reaches the database only as parameter values: quotes in a
// value are data, and markers inside quoted SQL are text.
void KeepsValuesOutOfTheSqlText(TTestDatabase& db) {
  CreateGroups(db);
  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get());
  data.SetCommandText("SELECT ':kind' AS literal, name FROM grp WHERE kind = :kind OR name = :kind ORDER BY id");
  ASSERT_EQ(data.Parameters().Count(), 2);
  data.Parameters()[0].Value = TVariant::String("x' OR '1'='1");
  data.Parameters()[1].Value = TVariant::String("x' OR '1'='1");
  data.Open();
  EXPECT_EQ(data.RecordCount(), 0);
  data.Close();
  data.Parameters()[0].Value = TVariant::String("C");
  data.Parameters()[1].Value = TVariant::String("beta");
  data.Open();
  EXPECT_EQ(Column(data, "name"), (std::vector<std::string>{"beta", "alpha"}));
  data.First();
  EXPECT_EQ(data.FieldByName("literal").AsString(), ":kind");
}

// The optional filter: a condition that holds for every record while its
// parameter is Null, whether the parameter has a type or only a value.
void FiltersByParametersThatMayBeNull(TTestDatabase& db) {
  CreateGroups(db);
  // Also where results are not read through a server cursor, which would
  // hide a statement prepared on the server.
  if (db.IsPostgres()) static_cast<testing::TPostgresTestDatabase&>(db).SetOptions("UseDeclareFetch=0");
  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get());
  data.SetCommandText(
      "SELECT id FROM grp WHERE (:name IS NULL OR name = :name) AND (:kind IS NULL OR kind = :kind) "
      "AND (:amount.Integer IS NULL OR amount > :amount.Integer) ORDER BY id");
  const struct {
    TVariant name, kind, amount;
    std::vector<std::string> ids;
  } cases[] = {
      {TVariant(), TVariant(), TVariant(), {"1", "2", "3", "4", "5"}},
      {TVariant::String("alpha"), TVariant(), TVariant(), {"2", "5"}},
      {TVariant(), TVariant::String("A"), TVariant::Integer(5), {"3"}},
      {TVariant::String("alpha"), TVariant::String("C"), TVariant(), {"5"}},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < data.Parameters().Count(); ++i) {
      TParameter& parameter = data.Parameters()[i];
      parameter.DataType = ParamTypeSuffix(parameter.Name);
      parameter.Value = i < 2 ? c.name : i < 4 ? c.kind : c.amount;
    }
    data.Close();
    data.Open();
    EXPECT_EQ(Column(data, "id"), c.ids) << c.name.AsString() << "/" << c.kind.AsString();
  }
}

// The client-side cursor: all records in memory, counted, sorted by index
// field names, limited by MaxRecords.
void SortsClientSideRecords(TTestDatabase& db) {
  CreateGroups(db);
  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get(), "Groups");
  data.SetCommandText("SELECT id, kind, name, amount FROM grp ORDER BY id");
  data.SetIndexFieldNames("kind DESC,name");
  data.Open();
  EXPECT_EQ(data.RecordCount(), 5);
  EXPECT_EQ(Column(data, "id"), (std::vector<std::string>{"5", "2", "4", "3", "1"}));

  const std::pair<const char*, std::vector<std::string>> orders[] = {
      {"amount", {"2", "4", "5", "1", "3"}},          // Null first
      {"amount DESC", {"3", "1", "5", "4", "2"}},     // and last when descending
      {"[NAME] asc; id desc", {"5", "2", "3", "1", "4"}},
      {"", {"1", "2", "3", "4", "5"}},                // the database's order again
  };
  for (const auto& [keys, ids] : orders) {
    data.SetIndexFieldNames(keys);
    EXPECT_EQ(Column(data, "id"), ids) << keys;
  }
  EXPECT_THROW(data.SetIndexFieldNames("kind,missing"), EDatabaseError);

  data.First();
  EXPECT_EQ(data.MoveBy(3), 3);
  EXPECT_EQ(data.FieldByName("id").AsString(), "4");
  EXPECT_EQ(data.MoveBy(5), 2);
  EXPECT_TRUE(data.Eof());

  TOdbcDataSet limited(connection.get());
  limited.SetCommandText("SELECT id FROM grp ORDER BY id");
  limited.SetMaxRecords(3);
  limited.Open();
  EXPECT_EQ(limited.RecordCount(), 3);
}

// The forward-only cursor streams: no record count, no way back.
void StreamsForwardOnly(TTestDatabase& db) {
  CreateGroups(db);
  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get());
  data.SetCursorLocation(clUseServer);
  data.SetCursorType(ctOpenForwardOnly);
  data.SetCommandText("SELECT id FROM grp ORDER BY id");
  data.Open();
  EXPECT_EQ(data.RecordCount(), -1);
  EXPECT_EQ(data.FieldByName("id").AsLargeInt(), 1);
  data.First();  // still on the first record: allowed
  data.Next();
  EXPECT_THROW(data.First(), EDatabaseError);
  std::vector<std::string> rest;
  for (; !data.Eof(); data.Next()) rest.push_back(data.FieldByName("id").AsString());
  EXPECT_EQ(rest, (std::vector<std::string>{"2", "3", "4", "5"}));
  EXPECT_TRUE(data.FieldByName("id").IsNull());
  EXPECT_THROW(data.SetIndexFieldNames("id"), EDatabaseError);

  data.Close();
  data.SetMaxRecords(2);
  data.Open();
  data.Next();
  data.Next();
  EXPECT_TRUE(data.Eof());
}

// A read-only connection reads but cannot write; a read-write one writes.
void ReadOnlyConnectionsRefuseWrites(TTestDatabase& db) {
  CreateGroups(db);
  auto reader = db.Connect(cmRead);
  TOdbcCommand insert(reader.get());
  insert.SetCommandText("INSERT INTO grp (id) VALUES (6)");
  EXPECT_THROW(insert.Execute(), EDatabaseError);
  TOdbcCommand drop(reader.get());
  drop.SetCommandText("DROP TABLE grp");
  EXPECT_THROW(drop.Execute(), EDatabaseError);

  auto writer = db.Connect(cmReadWrite);
  TOdbcCommand update(writer.get());
  update.SetCommandText("UPDATE grp SET amount = :amount WHERE kind = :kind");
  update.Parameters()[0].Value = TVariant::Integer(9);
  update.Parameters()[1].Value = TVariant::String("A");
  update.Execute();
  EXPECT_EQ(update.RowsAffected(), 2);

  TOdbcDataSet data(reader.get());
  data.SetCommandText("SELECT amount FROM grp WHERE kind = 'A'");
  data.Open();
  EXPECT_EQ(Column(data, "amount"), (std::vector<std::string>{"9", "9"}));
}

// Failures of the database become EDatabaseError with the driver's message;
// values that do not convert fail before the database sees them.
void ReportsErrorsAsExceptions(TTestDatabase& db) {
  CreateGroups(db);
  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get());
  data.SetCommandText("SELECT * FROM no_such_table");
  try {
    data.Open();
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("no_such_table"), std::string::npos) << e.what();
    EXPECT_FALSE(e.SqlState().empty());
  }
  EXPECT_FALSE(data.Active());

  data.SetCommandText("UPDATE grp SET amount = 1 WHERE 1 = 0");
  EXPECT_THROW(data.Open(), EDatabaseError);  // not a query

  data.SetCommandText("SELECT id FROM grp WHERE id = :id.Integer");
  data.Parameters()[0].DataType = TFieldType::ftInteger;
  data.Parameters()[0].Value = TVariant::String("abc");
  EXPECT_THROW(data.Open(), EConvertError);
  data.Parameters()[0].Value = TVariant::String("3");  // converted, as request values are
  data.Open();
  EXPECT_EQ(Column(data, "id"), std::vector<std::string>{"3"});

  auto wrong = CreateConnection(db.ConnectionString() + ";Driver=NoSuchDriver", "", 0);
  try {
    wrong->Open();
    ADD_FAILURE() << "connected";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuchDriver"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(wrong->Connected());
}

// Czech letters written into the SQL text itself (literals, table and
// column names) reach the database whole, and its messages naming them come
// back whole: the driver manager hands some drivers the text as narrow
// characters, which must not cut the letters to single bytes.
void KeepsCzechTextInTheSql(TTestDatabase& db) {
  const std::string horse = Cp1250("Žluťoučký kůň");
  db.Exec(Cp1250("CREATE TABLE \"koně\" (\"jméno\" VARCHAR(40))"));
  db.Exec(Cp1250("INSERT INTO \"koně\" VALUES ('Žluťoučký kůň'), ('Ďábel')"));
  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get());
  data.SetCommandText(Cp1250("SELECT 'Žluťoučký kůň' AS \"přezdívka\", \"jméno\" FROM \"koně\" "
                             "WHERE \"jméno\" = 'Žluťoučký kůň' OR \"jméno\" = :other"));
  data.Parameters()[0].Value = TVariant::String(Cp1250("Ďábel"));
  data.Open();
  ASSERT_NE(data.FindField(Cp1250("přezdívka")), nullptr);
  EXPECT_EQ(Column(data, Cp1250("přezdívka")), (std::vector<std::string>{horse, horse}));
  EXPECT_EQ(Column(data, Cp1250("jméno")), (std::vector<std::string>{horse, Cp1250("Ďábel")}));

  data.Close();
  data.SetCommandText(Cp1250("SELECT * FROM \"žádná_tabulka\""));
  try {
    data.Open();
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find(Cp1250("žádná_tabulka")), std::string::npos) << e.what();
  }
}

// The prepared statement: a select statement is the data set's SQL, with
// the data set's parameters; other statements are refused.
void PreparesSelectStatements(TTestDatabase& db) {
  CreateGroups(db);
  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get());
  tTessaroPreparedAdodatasetObject prepared(data, "/* list */ select id from grp where kind = :kind order by id");
  EXPECT_EQ(prepared.Command(), nullptr);
  EXPECT_EQ(&prepared.ParametersOwner(), &data.Parameters());
  prepared.ParametersOwner().ParamByName("KIND").Value = TVariant::String("B");
  prepared.MaxRecords = 1;
  prepared.Open();
  EXPECT_EQ(Column(data, "id"), std::vector<std::string>{"2"});

  TOdbcDataSet other(connection.get());
  try {
    tTessaroPreparedAdodatasetObject exec(other, "exec proc");
    ADD_FAILURE() << "accepted";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "unknown SQL type ");
  }
}

// ---- PostgreSQL only: procedures, timeouts, types SQLite lacks ----

// Output values: a function's return value through the call escape, and a
// procedure's input-output parameter.
void ReadsOutputParameters(TTestDatabase& db) {
  db.Exec("CREATE FUNCTION add_one(x integer) RETURNS integer AS 'SELECT x + 1' LANGUAGE SQL");
  db.Exec("CREATE PROCEDURE twice(INOUT x integer) LANGUAGE SQL AS 'SELECT x * 2'");
  auto connection = db.Connect();
  TOdbcCommand call(connection.get());
  call.SetCommandText("{:result = call add_one(:x)}");
  ASSERT_EQ(call.Parameters().Count(), 2);
  EXPECT_EQ(call.Parameters()[0].Direction, pdReturnValue);
  call.Parameters()[1].Value = TVariant::Integer(41);
  EXPECT_EQ(call.Execute(), nullptr);
  EXPECT_EQ(call.Parameters().ParamByName("result").Value, TVariant::Integer(42));

  TOdbcCommand procedure(connection.get());
  procedure.SetCommandText("CALL twice(:x)");
  procedure.Parameters()[0].Direction = pdInputOutput;
  procedure.Parameters()[0].DataType = TFieldType::ftInteger;
  procedure.Parameters()[0].Value = TVariant::Integer(21);
  procedure.Execute();
  EXPECT_EQ(procedure.Parameters()[0].Value, TVariant::Integer(42));
}

// An execute statement runs through the prepared statement's command; the
// data set shows its rows and carries its parameters.
void OpensExecuteStatements(TTestDatabase& db) {
  auto connection = db.Connect(cmRead);
  TOdbcCommand prepare(connection.get());
  prepare.SetCommandText("PREPARE next_of(integer) AS SELECT $1 + 1 AS next UNION ALL SELECT $1 + 2");
  prepare.Execute();
  TOdbcDataSet data(connection.get());
  tTessaroPreparedAdodatasetObject prepared(data, "EXECUTE next_of(:x)");
  ASSERT_NE(prepared.Command(), nullptr);
  EXPECT_EQ(&prepared.ParametersOwner(), &prepared.Command()->Parameters());
  prepared.ParametersOwner()[0].Value = TVariant::Integer(5);
  prepared.Open();
  EXPECT_EQ(Column(data, "next"), (std::vector<std::string>{"6", "7"}));
  EXPECT_EQ(data.Parameters().ParamByName("x").Value, TVariant::Integer(5));
}

// A statement running past the command timeout is cancelled with an error.
void StopsAtTheCommandTimeout(TTestDatabase& db) {
  auto connection = db.Connect(cmRead);
  connection->Close();
  connection->SetCommandTimeout(1);
  TOdbcDataSet data(connection.get());
  EXPECT_EQ(data.CommandTimeout(), 1);
  data.SetCommandText("SELECT pg_sleep(5)");
  EXPECT_THROW(data.Open(), EDatabaseError);
}

// GUIDs in the portal's braced form both ways; decimals wider than a
// double kept exact.
void ReadsGuidsAndWideDecimals(TTestDatabase& db) {
  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get());
  data.SetCommandText(
      "SELECT CAST('a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11' AS uuid) AS id, "
      "CAST('a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11' AS uuid) = CAST(:id AS uuid) AS same, "
      "CAST(-12345678901234567890.10 AS numeric(24,2)) AS wide, CAST(12.5 AS numeric(10,2)) AS narrow");
  data.Parameters()[0].DataType = TFieldType::ftGuid;
  data.Parameters()[0].Value = TVariant::String("{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}");
  data.Open();
  EXPECT_EQ(data.FieldByName("id").DataType(), TFieldType::ftGuid);
  EXPECT_EQ(data.FieldByName("id").AsString(), "{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}");
  EXPECT_TRUE(data.FieldByName("same").AsBoolean());
  EXPECT_EQ(data.FieldByName("wide").DataType(), TFieldType::ftFMTBcd);
  EXPECT_EQ(data.FieldByName("wide").AsString(), "-12345678901234567890,1");
  EXPECT_EQ(data.FieldByName("narrow").DataType(), TFieldType::ftBCD);
  EXPECT_EQ(data.FieldByName("narrow").AsFloat(), 12.5);
}

struct TNamedCheck {
  const char* name;
  void (*run)(TTestDatabase& db);
};

void PrintTo(const TNamedCheck& check, std::ostream* out) { *out << check.name; }

const TNamedCheck kChecks[] = {
    {"ReadsEveryKindOfColumn", ReadsEveryKindOfColumn},
    {"KeepsValuesOutOfTheSqlText", KeepsValuesOutOfTheSqlText},
    {"FiltersByParametersThatMayBeNull", FiltersByParametersThatMayBeNull},
    {"SortsClientSideRecords", SortsClientSideRecords},
    {"StreamsForwardOnly", StreamsForwardOnly},
    {"ReadOnlyConnectionsRefuseWrites", ReadOnlyConnectionsRefuseWrites},
    {"ReportsErrorsAsExceptions", ReportsErrorsAsExceptions},
    {"KeepsCzechTextInTheSql", KeepsCzechTextInTheSql},
    {"PreparesSelectStatements", PreparesSelectStatements},
};

class DataAccess : public ::testing::TestWithParam<TNamedCheck> {
 protected:
  void SetUp() override { ResetRegionalSettings(); }
};

TEST_P(DataAccess, OnSqlite) {
  TSqliteTestDatabase db;
  GetParam().run(db);
}

INSTANTIATE_TEST_SUITE_P(Checks, DataAccess, ::testing::ValuesIn(kChecks),
                         [](const auto& info) { return std::string(info.param.name); });

const TNamedCheck kPostgresChecks[] = {
    {"ReadsOutputParameters", ReadsOutputParameters},
    {"OpensExecuteStatements", OpensExecuteStatements},
    {"StopsAtTheCommandTimeout", StopsAtTheCommandTimeout},
    {"ReadsGuidsAndWideDecimals", ReadsGuidsAndWideDecimals},
};

// One server for all checks: starting PostgreSQL costs more than the checks.
TEST(PostgresDataAccess, AllChecksOnOneServer) {
  ResetRegionalSettings();
  TPostgresTestServer server;
  for (const auto& checks : {std::span<const TNamedCheck>(kChecks), std::span<const TNamedCheck>(kPostgresChecks)}) {
    for (const TNamedCheck& check : checks) {
      SCOPED_TRACE(check.name);
      check.run(*server.NewDatabase(LowerCase(check.name)));
    }
  }
  // Czech letters in the connection string too: it names the schema.
  SCOPED_TRACE("Czech schema");
  KeepsCzechTextInTheSql(*server.NewDatabase(Cp1250("účetní_kniha")));
}

// ---- SQLite only ----

// With NoCreat=1 (as the portal's settings write it) a missing database file
// is an error, not a new empty database.
TEST(SqliteDataAccess, MissingFileIsAnErrorNotANewDatabase) {
  TSqliteTestDatabase db;
  const std::string missing = db.Folder() + "/missing.db";
  testing::UseProjectOdbcDrivers();
  auto connection = CreateConnection("Driver=SQLite3;Database=" + missing + ";NoCreat=1", "", 0);
  EXPECT_THROW(connection->Open(), EDatabaseError);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

// A database file whose name has Czech letters: the connection string
// (windows-1250 inside the program) names the file the system knows by its
// UTF-8 name, also when the driver is made to create it.
TEST(SqliteDataAccess, OpensAFileWithCzechLettersInItsName) {
  TSqliteTestDatabase db;
  const std::string file = db.Folder() + Cp1250("/účetní kniha č. 1.db");
  testing::UseProjectOdbcDrivers();
  auto creator = CreateConnection("Driver=SQLite3;Database=" + file, "", 0);
  creator->Open();
  creator->Close();
  EXPECT_TRUE(std::filesystem::exists(db.Folder() + "/účetní kniha č. 1.db"));

  auto connection = CreateConnection("Driver=SQLite3;Database=" + file + ";NoCreat=1", "", 0);
  TOdbcDataSet data(connection.get());
  data.SetCommandText("SELECT 1 AS one");
  data.Open();
  EXPECT_EQ(data.FieldByName("one").AsLargeInt(), 1);
}

// Contexts free their connection and data sets in whatever order their
// members fall: a streaming data set freed after its connection still
// closes its statement on a live connection, and reads nothing afterwards.
TEST(SqliteDataAccess, DataSetMayOutliveItsConnection) {
  TSqliteTestDatabase db;
  CreateGroups(db);
  auto connection = db.Connect(cmRead);
  auto data = std::make_unique<TOdbcDataSet>(connection.get());
  data->SetCursorLocation(clUseServer);
  data->SetCursorType(ctOpenForwardOnly);
  data->SetCommandText("SELECT id FROM grp ORDER BY id");
  data->Open();
  connection->Close();
  EXPECT_FALSE(connection->Connected());
  data->Next();
  EXPECT_EQ(data->FieldByName("id").AsLargeInt(), 2);
  connection.reset();
  data.reset();
}

// SQLite keeps dates as whatever text or number was written; the usual
// forms read as dates, anything else fails the query with the value named.
TEST(SqliteDataAccess, ReadsDatesInTheFormsSqliteKeeps) {
  TSqliteTestDatabase db;
  db.Exec("CREATE TABLE d (id INTEGER, stamp TIMESTAMP, day DATE, at TIME)");
  db.Exec("INSERT INTO d VALUES (1, '2024-01-31 10:00', '2024-01-31', '10:00')");
  db.Exec("INSERT INTO d VALUES (2, '2024-01-31T10:00:05.250Z', 2460340.5, '2024-01-31 23:59:59')");
  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get());
  data.SetCommandText("SELECT stamp, day, at FROM d ORDER BY id");
  data.Open();
  const TDateTime day = EncodeDate(2024, 1, 31);
  EXPECT_EQ(data.FieldByName("stamp").AsDateTime(), day + EncodeTime(10, 0, 0, 0));
  EXPECT_EQ(data.FieldByName("day").AsDateTime(), day);
  EXPECT_EQ(data.FieldByName("at").AsDateTime(), EncodeTime(10, 0, 0, 0));
  data.Next();
  EXPECT_EQ(data.FieldByName("stamp").AsDateTime(), day + EncodeTime(10, 0, 5, 250));
  EXPECT_EQ(data.FieldByName("day").AsDateTime(), day);
  EXPECT_NEAR(data.FieldByName("at").AsDateTime(), EncodeTime(23, 59, 59, 0), 1e-9);

  db.Exec("INSERT INTO d VALUES (3, 'garbage', NULL, NULL)");
  data.Close();
  try {
    data.Open();
    ADD_FAILURE() << "opened";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("'garbage'"), std::string::npos) << e.what();
  }
}

// A typeless database may hold any text in a typed column; such values
// read as whatever the driver makes of them, never as a crash.
TEST(SqliteDataAccess, OddValuesInTypedColumnsAreReadSafely) {
  TSqliteTestDatabase db;
  db.Exec("CREATE TABLE odd (i INTEGER, f DOUBLE, b BOOLEAN, n NUMERIC(30,2), c VARCHAR(2))");
  db.Exec("INSERT INTO odd VALUES ('abc', 'xyz', 'maybe', 'n/a', 'longer than declared')");
  db.Exec("INSERT INTO odd VALUES (99999999999999999999999, 1e400, 2, 1e40, x'00ff')");
  auto connection = db.Connect(cmRead);
  TOdbcDataSet data(connection.get());
  data.SetCommandText("SELECT * FROM odd");
  data.Open();
  EXPECT_EQ(data.RecordCount(), 2);
  for (; !data.Eof(); data.Next())
    for (int i = 0; i < data.FieldCount(); ++i) EXPECT_NO_THROW(data.Field(i)->DisplayText());
}

}  // namespace
}  // namespace tessaro
