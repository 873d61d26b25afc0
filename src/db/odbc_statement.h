// TOdbcStatement: one ODBC statement handle running one SQL text with bound
// parameters and reading its rows. Internal to the database layer: commands
// and data sets are built on it, the rest of the program sees neither it nor
// the ODBC headers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/odbc_api.h"
#include "db/odbc_recordset.h"
#include "db/parameters.h"

namespace tessaro {

class TOdbcConnection;

// The driver's copy of one parameter: the types it is bound with and the
// memory the driver reads the value from (and writes an output value to).
struct TParamBuffer {
  SQLSMALLINT c_type = SQL_C_WCHAR;        // the buffer's C type
  SQLSMALLINT sql_type = SQL_WVARCHAR;     // the type the database receives
  SQLSMALLINT io_type = SQL_PARAM_INPUT;   // direction
  SQLULEN column_size = 0;                 // characters, digits or bytes
  SQLSMALLINT digits = 0;                  // decimal digits or fraction digits
  std::vector<unsigned char> data;         // the value, or room for the output
  const unsigned char* held = nullptr;     // the value kept by its owner (TParameter::HeldBytes), not copied
  SQLLEN indicator = 0;                    // length in bytes, or SQL_NULL_DATA
};

class TOdbcStatement {
 public:
  // A statement on `connection` (connected first when needed) whose SQL may
  // run `timeoutSeconds` (0: the driver's default).
  TOdbcStatement(TOdbcConnection& connection, int timeoutSeconds);

  // Binds `parameters` by position and runs `sql` (with "?" markers), with
  // at most `maxRows` rows per result (0: all). Results without columns (the
  // row counts of a procedure's inner statements) are skipped up to the
  // first result that has columns. Throws EDatabaseError with the driver's
  // message, EConvertError for a value that does not fit its type.
  void Execute(const std::string& sql, const TParameters& parameters, int maxRows);

  // The columns of the current result; empty when the statement gave none.
  const std::vector<TOdbcColumn>& Columns() const { return columns_; }
  // Rows changed by an INSERT, UPDATE or DELETE; -1 when the driver cannot say.
  int64_t RowsAffected() const { return rows_affected_; }

  // Reads the next row of the current result; false after the last one.
  bool Fetch(std::vector<TFieldValue>& row);

  // Discards what is left of the results, after which the database has
  // written the output parameters, and copies their values into
  // `parameters` (the collection given to Execute).
  void ReadOutputs(TParameters& parameters);

 private:
  void BindParameters(const TParameters& parameters);
  void DescribeColumns(SQLSMALLINT count);
  TFieldValue FetchValue(SQLUSMALLINT column);
  TFieldValue FetchText(SQLUSMALLINT column, SQLSMALLINT c_type);
  TFieldValue FetchBinary(SQLUSMALLINT column);

  std::shared_ptr<void> connection_;  // keeps the SQLHDBC connected while the statement lives
  TOdbcHandle handle_;                // the SQLHSTMT
  std::vector<TOdbcColumn> columns_;  // of the current result
  std::vector<TParamBuffer> params_;  // bound parameters, in marker order
  std::vector<SQLWCHAR> text_;        // reused buffer for reading texts
  int64_t rows_affected_ = -1;        // from SQLRowCount after executing
  int max_rows_ = 0;                  // rows read at most per result; 0: all
  int rows_read_ = 0;                 // rows read of the current result
  bool results_done_ = false;         // every result consumed
};

}  // namespace tessaro
