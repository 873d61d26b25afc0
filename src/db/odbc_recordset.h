// TOdbcRecordset: the rows of one executed statement, as a command hands
// them to a data set: the columns, and the rows not read yet (fetched into
// memory already, or still waiting at the database).
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "db/field_value.h"

namespace tessaro {

// How a column's values are read from the driver.
enum class TFetchKind { fkInteger, fkFloat, fkBoolean, fkDate, fkTime, fkTimestamp, fkText, fkBinary, fkGuid, fkDecimal };

struct TOdbcColumn {
  std::string Name;                             // as the driver names it
  TFieldType DataType = TFieldType::ftUnknown;  // from the column's ODBC SQL type
  int SqlType = 0;                              // the ODBC SQL type
  int Size = 0;                                 // declared characters or bytes
  int Scale = 0;                                // digits after the point
  TFetchKind Fetch = TFetchKind::fkText;        // how values are read
};

// The largest value read from a database (a blob, a memo, a text), and the
// most a data set holds in memory: beyond them reading fails with
// EDatabaseError instead of exhausting the process's memory.
constexpr size_t kMaxValueBytes = 64u << 20;
constexpr size_t kMaxBufferedBytes = 512u << 20;

// Adds the memory `row` takes to `total`, the bytes of the rows held so far;
// throws EDatabaseError when that passes kMaxBufferedBytes.
void CountBufferedRow(size_t& total, const std::vector<TFieldValue>& row);

class TOdbcStatement;

class TOdbcRecordset {
 public:
  // Rows read from `statement` as they are asked for.
  TOdbcRecordset(std::vector<TOdbcColumn> columns, std::unique_ptr<TOdbcStatement> statement);
  // Rows already in memory.
  TOdbcRecordset(std::vector<TOdbcColumn> columns, std::deque<std::vector<TFieldValue>> rows);
  ~TOdbcRecordset();

  const std::vector<TOdbcColumn>& Columns() const { return columns_; }
  // Moves the next row into `row` (one value per column); false after the
  // last, when the statement is released. Throws EDatabaseError.
  bool Fetch(std::vector<TFieldValue>& row);

 private:
  std::vector<TOdbcColumn> columns_;               // the result's columns
  std::deque<std::vector<TFieldValue>> buffered_;  // rows read ahead, handed out first
  std::unique_ptr<TOdbcStatement> statement_;      // the rest; null once exhausted
};

}  // namespace tessaro
