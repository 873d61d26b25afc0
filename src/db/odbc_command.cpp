// Running an SQL text with parameters. A command owns nothing at the
// database between runs: each Execute uses a fresh statement, which goes to
// the record set it returns when the rows stream, and is freed at once
// otherwise.
#include "db/odbc_command.h"

#include <algorithm>

#include "db/database_error.h"
#include "db/odbc_connection.h"
#include "db/odbc_statement.h"
#include "db/sql_text.h"

namespace tessaro {

TOdbcCommand::TOdbcCommand(TOdbcConnection* connection) : connection_(nullptr) { SetConnection(connection); }

TOdbcCommand::~TOdbcCommand() = default;

void TOdbcCommand::SetConnection(TOdbcConnection* connection) {
  connection_ = connection;
  if (connection != nullptr) command_timeout_ = connection->CommandTimeout();
}

void TOdbcCommand::SetCommandText(std::string sql) {
  command_text_ = std::move(sql);
  if (!param_check_) {
    sql_sent_ = command_text_;
    return;
  }
  TParsedSql parsed = ParseSqlParameters(command_text_);
  sql_sent_ = std::move(parsed.Text);
  parameters_.Clear();
  for (auto& marker : parsed.Parameters) {
    TParameter parameter;
    parameter.Name = std::move(marker.Name);
    parameter.Direction = marker.Direction;
    parameters_.Add(std::move(parameter));
  }
}

std::unique_ptr<TOdbcRecordset> TOdbcCommand::Execute(int maxRows) {
  if (connection_ == nullptr) throw EDatabaseError("The command has no connection");
  if (sql_sent_.empty()) throw EDatabaseError("The command has no SQL text");
  auto statement = std::make_unique<TOdbcStatement>(*connection_, command_timeout_);
  statement->Execute(sql_sent_, parameters_, maxRows);
  rows_affected_ = statement->RowsAffected();
  const bool outputs = std::any_of(parameters_.begin(), parameters_.end(),
                                   [](const TParameter& p) { return IsOutputDirection(p.Direction); });
  std::vector<TOdbcColumn> columns = statement->Columns();
  if (columns.empty()) {
    if (outputs) statement->ReadOutputs(parameters_);
    return nullptr;
  }
  if (!outputs) return std::make_unique<TOdbcRecordset>(std::move(columns), std::move(statement));
  std::deque<std::vector<TFieldValue>> rows;
  std::vector<TFieldValue> row;
  size_t bytes = 0;
  while (statement->Fetch(row)) {
    CountBufferedRow(bytes, row);
    rows.push_back(std::move(row));
  }
  statement->ReadOutputs(parameters_);
  return std::make_unique<TOdbcRecordset>(std::move(columns), std::move(rows));
}

}  // namespace tessaro
