// The failures of the database layer: errors the database or its driver
// report. (Values that do not convert raise EConvertError of util/exception.h.)
#pragma once

#include <string>

#include "util/exception.h"

namespace tessaro {

// An error of the database, its driver or the driver manager. The message is
// the driver's own text (in windows-1250); SqlState is the five-character
// state of its first diagnostic record ("42S02" ...), empty when the error
// did not come from a driver.
class EDatabaseError : public Exception {
 public:
  explicit EDatabaseError(const std::string& message, std::string sqlState = std::string())
      : Exception(message), sql_state_(std::move(sqlState)) {}
  const std::string& SqlState() const { return sql_state_; }
  const char* ClassName() const noexcept override { return "EDatabaseError"; }

 private:
  std::string sql_state_;  // ODBC SQLSTATE of the first diagnostic record
};

}  // namespace tessaro
