// tTessaroPreparedAdodatasetObject: one statement of the metadata bound to
// the data set that shows its records. A select statement is the data set's
// own SQL; an execute statement runs through a command whose rows and
// output parameters the data set takes over.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "db/odbc_command.h"
#include "db/odbc_dataset.h"

namespace tessaro {

class tTessaroPreparedAdodatasetObject {
 public:
  // Binds `sql` to `dataSet` (not owned; must outlive this object's use).
  // A select statement becomes the data set's SQL; an execute statement the
  // SQL of a command on the data set's connection, with the connection's
  // command timeout.
  // Throws Exception "unknown SQL type " for any other statement.
  tTessaroPreparedAdodatasetObject(TOdbcDataSet& dataSet, std::string sql);
  ~tTessaroPreparedAdodatasetObject();

  TOdbcDataSet& DataSet() const { return data_set_; }
  const std::string& SqlText() const { return sql_text_; }
  // The command of an execute statement; null for a select statement.
  TOdbcCommand* Command() const { return command_.get(); }

  // The parameters to bind before Open: the command's, else the data set's.
  TParameters& ParametersOwner();

  // Opens the data set, with at most MaxRecords records when that is 0 or
  // more. An execute statement runs its command first; the data set opens
  // on the command's rows (empty when the procedure returns none) and
  // receives a copy of its parameters, so output and return values are read
  // from the data set.
  void Open();

  int32_t MaxRecords = -1;  // record limit set before Open; -1: the data set's own

 private:
  TOdbcDataSet& data_set_;                // shows the records; not owned
  std::string sql_text_;                  // the statement as given
  std::unique_ptr<TOdbcCommand> command_;  // an execute statement's command, or null
};

}  // namespace tessaro
