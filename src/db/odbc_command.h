// TOdbcCommand: one SQL text with its parameters, run on a connection.
// Data sets run their own SQL through one; record actions and execute
// statements run one directly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "db/odbc_recordset.h"
#include "db/parameters.h"

namespace tessaro {

class TOdbcConnection;

class TOdbcCommand {
 public:
  // A command on `connection` (not owned; may be set later), with the
  // connection's command timeout.
  explicit TOdbcCommand(TOdbcConnection* connection = nullptr);
  ~TOdbcCommand();

  TOdbcConnection* Connection() const { return connection_; }
  // Also takes the connection's command timeout.
  void SetConnection(TOdbcConnection* connection);

  const std::string& CommandText() const { return command_text_; }
  // With ParamCheck on, the named parameters of `sql` (ParseSqlParameters)
  // replace the parameter collection, as input parameters without a type
  // unless the text marks them output or return values; with it off, the
  // text is sent as it is and the collection is left alone.
  void SetCommandText(std::string sql);
  bool ParamCheck() const { return param_check_; }
  void SetParamCheck(bool on) { param_check_ = on; }
  // Seconds the SQL may run; 0: the driver's default.
  int CommandTimeout() const { return command_timeout_; }
  void SetCommandTimeout(int seconds) { command_timeout_ = seconds < 0 ? 0 : seconds; }

  TParameters& Parameters() { return parameters_; }
  const TParameters& Parameters() const { return parameters_; }
  // The text the database receives ("?" for every parameter).
  const std::string& SqlSent() const { return sql_sent_; }

  // Runs the SQL with the parameters bound by position and returns the
  // rows of its first result that has columns (at most `maxRows`; 0: all),
  // or null when it returned none. Output, input-output and return-value
  // parameters receive their values; when the SQL also returns rows, those
  // are read into memory first, since databases write output values only
  // after the last row. Throws EDatabaseError (the driver's message) or
  // EConvertError (a parameter value that does not fit its type).
  std::unique_ptr<TOdbcRecordset> Execute(int maxRows = 0);
  // Rows changed by the last Execute; -1 when the driver cannot say.
  int64_t RowsAffected() const { return rows_affected_; }

 private:
  TOdbcConnection* connection_;  // where the SQL runs; not owned
  std::string command_text_;     // the SQL as written
  std::string sql_sent_;         // the SQL with "?" markers
  bool param_check_ = true;      // parse named parameters from the text
  int command_timeout_ = 0;      // seconds; 0: driver default
  TParameters parameters_;       // by marker position
  int64_t rows_affected_ = -1;   // of the last Execute
};

}  // namespace tessaro
