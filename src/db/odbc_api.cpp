// ODBC handles, diagnostics and wide text.
//
// Every driver error becomes an EDatabaseError carrying the driver's own
// messages, because they are what an administrator needs to see ("no such
// table: x"). The messages come from a hostile world: they are read into
// bounded buffers, at most a few records of them, and converted to
// windows-1250 like any other database text.
#include "db/odbc_api.h"

#include <utility>

#include "util/codepage.h"

namespace tessaro {
namespace {

constexpr int kMaxDiagRecords = 8;           // messages kept from one failure
constexpr SQLSMALLINT kMaxDiagMessage = 1024;  // characters kept of one message

// The SQLSTATE and message of diagnostic record `record`; false when there
// is no such record.
bool DiagRecord(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, std::string& state, std::string& message) {
  SQLWCHAR sql_state[6] = {};
  SQLWCHAR text[kMaxDiagMessage] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  const SQLRETURN rc = SQLGetDiagRecW(type, handle, record, sql_state, &native, text, kMaxDiagMessage, &length);
  if (!SQL_SUCCEEDED(rc)) return false;
  state = FromSqlWideBuffer(sql_state, std::size(sql_state));
  message = FromSqlWideBuffer(text, std::size(text));
  return true;
}

void SetOptional(SQLRETURN rc, const TOdbcHandle& handle, std::string_view action) {
  if (SQL_SUCCEEDED(rc) || IsUnsupportedFeature(handle.Type(), handle.Get())) return;
  RaiseOdbcError(handle.Type(), handle.Get(), action);
}

}  // namespace

TSqlWideString ToSqlWide(std::string_view cp1250) {
  TSqlWideString wide;
  wide.reserve(cp1250.size());
  for (const char c : cp1250) wide += static_cast<SQLWCHAR>(Cp1250ToUnicode(static_cast<unsigned char>(c)));
  return wide;
}

std::string FromSqlWide(const SQLWCHAR* text, size_t length) {
  std::string result;
  result.reserve(length);
  bool ok;
  for (size_t i = 0; i < length; ++i) {
    char32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      result += '?';
      continue;
    }
    result += UnicodeToCp1250(unit, ok);
  }
  return result;
}

std::string FromSqlWideBuffer(const SQLWCHAR* buffer, size_t capacity) {
  if (capacity == 0) return std::string();
  size_t length = 0;
  while (length < capacity - 1 && buffer[length] != 0) ++length;
  return FromSqlWide(buffer, length);
}

TOdbcHandle::TOdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
  const SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
  if (!SQL_SUCCEEDED(rc)) {
    handle_ = SQL_NULL_HANDLE;
    if (parent != SQL_NULL_HANDLE)
      RaiseOdbcError(type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent, "Allocating an ODBC handle");
    throw EDatabaseError("Allocating an ODBC handle failed");
  }
}

TOdbcHandle::TOdbcHandle(TOdbcHandle&& other) noexcept
    : type_(other.type_), handle_(std::exchange(other.handle_, SQLHANDLE{})) {}

TOdbcHandle& TOdbcHandle::operator=(TOdbcHandle&& other) noexcept {
  if (this != &other) {
    Reset();
    type_ = other.type_;
    handle_ = std::exchange(other.handle_, SQLHANDLE{});
  }
  return *this;
}

void TOdbcHandle::Reset() {
  if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
  handle_ = SQL_NULL_HANDLE;
}

void RaiseOdbcError(SQLSMALLINT type, SQLHANDLE handle, std::string_view action) {
  std::string first_state, message, state, text;
  for (SQLSMALLINT record = 1; record <= kMaxDiagRecords && DiagRecord(type, handle, record, state, text); ++record) {
    if (record == 1) first_state = state;
    if (text.empty() || message.find(text) != std::string::npos) continue;
    if (!message.empty()) message += '\n';
    message += text;
  }
  if (message.empty()) message = std::string(action) + " failed";
  throw EDatabaseError(message, first_state);
}

void CheckOdbc(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, std::string_view action) {
  if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
  if (rc == SQL_INVALID_HANDLE) throw EDatabaseError(std::string(action) + ": invalid ODBC handle");
  RaiseOdbcError(type, handle, action);
}

bool IsUnsupportedFeature(SQLSMALLINT type, SQLHANDLE handle) {
  constexpr std::string_view kUnsupported[] = {"HYC00", "HY092", "HY024", "IM001"};
  std::string state, message;
  if (!DiagRecord(type, handle, 1, state, message)) return false;
  for (const auto s : kUnsupported)
    if (state == s) return true;
  return false;
}

void SetOptionalConnectAttr(const TOdbcHandle& connection, SQLINTEGER attribute, SQLULEN value) {
  SetOptional(SQLSetConnectAttrW(connection.Get(), attribute, reinterpret_cast<SQLPOINTER>(value), 0), connection,
              "Setting a connection attribute");
}

void SetOptionalStmtAttr(const TOdbcHandle& statement, SQLINTEGER attribute, SQLULEN value) {
  SetOptional(SQLSetStmtAttrW(statement.Get(), attribute, reinterpret_cast<SQLPOINTER>(value), 0), statement,
              "Setting a statement attribute");
}

}  // namespace tessaro
