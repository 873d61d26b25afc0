// The thin layer over the ODBC C interface that the database classes share:
// owned handles, driver diagnostics raised as EDatabaseError, optional
// attributes, and text between windows-1250 and the UTF-16 of the wide ODBC
// functions. Only the database layer's .cpp files include this header, so
// the ODBC headers' many type names stay out of the rest of the program.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>

#include "db/database_error.h"

namespace tessaro {

static_assert(sizeof(SQLWCHAR) == 2, "the wide ODBC functions take UTF-16 text");

using TSqlWideString = std::basic_string<SQLWCHAR>;

// windows-1250 text as UTF-16 (every windows-1250 character is one unit).
TSqlWideString ToSqlWide(std::string_view cp1250);
// UTF-16 text (`length` units) as windows-1250; characters windows-1250 lacks
// and unpaired surrogates become "?".
std::string FromSqlWide(const SQLWCHAR* text, size_t length);
// The text an ODBC call wrote into `buffer` (`capacity` units, zero-filled
// before the call), which ends at the terminating NUL. The length the call
// reported is not trusted: for a driver with only narrow entry points the
// driver manager reports the driver's count of UTF-8 bytes, longer than the
// text whenever it holds letters outside ASCII.
std::string FromSqlWideBuffer(const SQLWCHAR* buffer, size_t capacity);

// One owned ODBC handle, freed with its object.
class TOdbcHandle {
 public:
  TOdbcHandle() = default;
  // Allocates a handle of `type` under `parent` (SQL_NULL_HANDLE for an
  // environment). Throws EDatabaseError when the driver manager cannot.
  TOdbcHandle(SQLSMALLINT type, SQLHANDLE parent);
  ~TOdbcHandle() { Reset(); }
  TOdbcHandle(TOdbcHandle&& other) noexcept;
  TOdbcHandle& operator=(TOdbcHandle&& other) noexcept;
  TOdbcHandle(const TOdbcHandle&) = delete;
  TOdbcHandle& operator=(const TOdbcHandle&) = delete;

  SQLHANDLE Get() const { return handle_; }
  SQLSMALLINT Type() const { return type_; }
  explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }
  void Reset();

 private:
  SQLSMALLINT type_ = 0;                // SQL_HANDLE_ENV, _DBC or _STMT
  SQLHANDLE handle_ = SQL_NULL_HANDLE;  // the handle, or none
};

// Raises EDatabaseError with the handle's diagnostic messages (one per line,
// as the driver wrote them) and the SQLSTATE of the first; `action` names
// what failed when the driver left no message.
[[noreturn]] void RaiseOdbcError(SQLSMALLINT type, SQLHANDLE handle, std::string_view action);

// Returns when `rc` reports success (with or without information, or no
// data); raises the handle's error otherwise.
void CheckOdbc(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, std::string_view action);
inline void CheckOdbc(SQLRETURN rc, const TOdbcHandle& handle, std::string_view action) {
  CheckOdbc(rc, handle.Type(), handle.Get(), action);
}

// Whether a failed call only said that the driver lacks an optional feature
// or attribute (SQLSTATE HYC00, HY092, HY024, IM001), which callers may skip.
bool IsUnsupportedFeature(SQLSMALLINT type, SQLHANDLE handle);

// Sets an integer connection or statement attribute that not every driver
// supports: an unsupported one is skipped, any other failure raised.
void SetOptionalConnectAttr(const TOdbcHandle& connection, SQLINTEGER attribute, SQLULEN value);
void SetOptionalStmtAttr(const TOdbcHandle& statement, SQLINTEGER attribute, SQLULEN value);

}  // namespace tessaro
