// TDBConnection: one open connection to a business database. Page contexts
// get theirs through the options (NewConnection) and free it with the
// request; the database layer derives the ODBC connection from this.
#pragma once

namespace tessaro {

class TDBConnection {
 public:
  virtual ~TDBConnection() = default;
};

}  // namespace tessaro
