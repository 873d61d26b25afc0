// The ODBC driver manager, loaded on first use.
//
// Every request starts a new process, and linking libodbc (with libltdl)
// costs each of them about 0.3 ms of symbol binding, also for the pages that
// never touch a database (login, error and simple pages). So the program is
// not linked with the driver manager: this file defines the few ODBC entry
// points the data-access layer calls, and each one forwards to the function
// of the same name in libodbc.so.2, opened with dlopen the first time any of
// them is called. When the driver manager cannot be loaded the call raises
// EDatabaseError naming the library and the loader's reason.
#include <dlfcn.h>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <clocale>
#include <string>

#include "db/database_error.h"

namespace tessaro {
namespace {

constexpr const char* kDriverManagers[] = {"libodbc.so.2", "libodbc.so"};

void* DriverManager() {
  static void* handle = [] {
    // The driver manager hands text to drivers with only narrow entry
    // points (SQLite's) in the character set of the process's locale; in
    // the "C" locale it cuts every character to its low byte. So the
    // character type locale becomes UTF-8 before it is loaded: only that
    // category, and only here, since nothing else in the program depends on
    // it and setting it costs every request that never opens a database.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::string reasons;
    for (const char* name : kDriverManagers) {
      if (void* h = dlopen(name, RTLD_NOW | RTLD_GLOBAL)) return h;
      const char* why = dlerror();
      reasons += std::string(reasons.empty() ? "" : "; ") + (why ? why : name);
    }
    throw EDatabaseError("Cannot load the ODBC driver manager: " + reasons);
  }();
  return handle;
}

// The function `name` of the driver manager, looked up once per name.
template <class Function>
Function Resolve(const char* name) {
  void* symbol = dlsym(DriverManager(), name);
  if (!symbol) throw EDatabaseError(std::string("The ODBC driver manager has no function ") + name);
  return reinterpret_cast<Function>(symbol);
}

}  // namespace
}  // namespace tessaro

// Each entry point: resolve once, then forward.
#define TESSARO_ODBC_FORWARD(name, params, args)                                      \
  extern "C" SQLRETURN SQL_API name params {                                          \
    static const auto function = tessaro::Resolve<SQLRETURN(SQL_API*) params>(#name); \
    return function args;                                                             \
  }

TESSARO_ODBC_FORWARD(SQLAllocHandle, (SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output), (type, input, output))
TESSARO_ODBC_FORWARD(SQLFreeHandle, (SQLSMALLINT type, SQLHANDLE handle), (type, handle))
TESSARO_ODBC_FORWARD(SQLSetEnvAttr, (SQLHENV env, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length),
                     (env, attribute, value, length))
TESSARO_ODBC_FORWARD(SQLSetConnectAttrW, (SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length),
                     (dbc, attribute, value, length))
TESSARO_ODBC_FORWARD(SQLSetStmtAttrW, (SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length),
                     (stmt, attribute, value, length))
TESSARO_ODBC_FORWARD(SQLDriverConnect,
                     (SQLHDBC dbc, SQLHWND window, SQLCHAR* in, SQLSMALLINT in_length, SQLCHAR* out,
                      SQLSMALLINT out_max, SQLSMALLINT* out_length, SQLUSMALLINT completion),
                     (dbc, window, in, in_length, out, out_max, out_length, completion))
TESSARO_ODBC_FORWARD(SQLDriverConnectW,
                     (SQLHDBC dbc, SQLHWND window, SQLWCHAR* in, SQLSMALLINT in_length, SQLWCHAR* out,
                      SQLSMALLINT out_max, SQLSMALLINT* out_length, SQLUSMALLINT completion),
                     (dbc, window, in, in_length, out, out_max, out_length, completion))
TESSARO_ODBC_FORWARD(SQLDisconnect, (SQLHDBC dbc), (dbc))
TESSARO_ODBC_FORWARD(SQLGetInfoW,
                     (SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT max, SQLSMALLINT* length),
                     (dbc, type, value, max, length))
TESSARO_ODBC_FORWARD(SQLGetDiagRecW,
                     (SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLWCHAR* state, SQLINTEGER* native,
                      SQLWCHAR* message, SQLSMALLINT max, SQLSMALLINT* length),
                     (type, handle, record, state, native, message, max, length))
TESSARO_ODBC_FORWARD(SQLExecDirectW, (SQLHSTMT stmt, SQLWCHAR* text, SQLINTEGER length), (stmt, text, length))
TESSARO_ODBC_FORWARD(SQLBindParameter,
                     (SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT direction, SQLSMALLINT c_type,
                      SQLSMALLINT sql_type, SQLULEN size, SQLSMALLINT scale, SQLPOINTER value, SQLLEN max,
                      SQLLEN* indicator),
                     (stmt, number, direction, c_type, sql_type, size, scale, value, max, indicator))
TESSARO_ODBC_FORWARD(SQLNumResultCols, (SQLHSTMT stmt, SQLSMALLINT* count), (stmt, count))
TESSARO_ODBC_FORWARD(SQLDescribeColW,
                     (SQLHSTMT stmt, SQLUSMALLINT column, SQLWCHAR* name, SQLSMALLINT max, SQLSMALLINT* length,
                      SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* scale, SQLSMALLINT* nullable),
                     (stmt, column, name, max, length, type, size, scale, nullable))
TESSARO_ODBC_FORWARD(SQLFetch, (SQLHSTMT stmt), (stmt))
TESSARO_ODBC_FORWARD(SQLGetData,
                     (SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT c_type, SQLPOINTER value, SQLLEN max,
                      SQLLEN* indicator),
                     (stmt, column, c_type, value, max, indicator))
TESSARO_ODBC_FORWARD(SQLRowCount, (SQLHSTMT stmt, SQLLEN* count), (stmt, count))
TESSARO_ODBC_FORWARD(SQLMoreResults, (SQLHSTMT stmt), (stmt))
