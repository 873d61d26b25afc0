// The rows of an executed statement, handed from the command that ran it to
// the data set that shows them. Rows the command had to read ahead (to reach
// its output parameters) come first, then the statement's own.
#include "db/odbc_recordset.h"

#include "db/database_error.h"
#include "db/odbc_statement.h"

namespace tessaro {

void CountBufferedRow(size_t& total, const std::vector<TFieldValue>& row) {
  total += sizeof(row) + row.size() * sizeof(TFieldValue);
  for (const auto& value : row)
    if (const auto* s = std::get_if<std::string>(&value)) total += s->capacity();
  if (total > kMaxBufferedBytes)
    throw EDatabaseError("The result is larger than the " + std::to_string(kMaxBufferedBytes >> 20) +
                         " MiB a data set may hold in memory");
}

TOdbcRecordset::TOdbcRecordset(std::vector<TOdbcColumn> columns, std::unique_ptr<TOdbcStatement> statement)
    : columns_(std::move(columns)), statement_(std::move(statement)) {}

TOdbcRecordset::TOdbcRecordset(std::vector<TOdbcColumn> columns, std::deque<std::vector<TFieldValue>> rows)
    : columns_(std::move(columns)), buffered_(std::move(rows)) {}

TOdbcRecordset::~TOdbcRecordset() = default;

bool TOdbcRecordset::Fetch(std::vector<TFieldValue>& row) {
  if (!buffered_.empty()) {
    row = std::move(buffered_.front());
    buffered_.pop_front();
    return true;
  }
  if (statement_ == nullptr) return false;
  if (statement_->Fetch(row)) return true;
  statement_.reset();
  return false;
}

}  // namespace tessaro
