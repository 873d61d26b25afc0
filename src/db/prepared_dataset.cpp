// The statements of the metadata are of two kinds. A select statement is
// the data set's own SQL. An execute statement calls a stored procedure,
// whose output parameters a data set cannot bind: a command runs it, and
// the data set then shows the command's rows and carries a copy of its
// parameters, so the page reads records and output values from one object.
#include "db/prepared_dataset.h"

#include "db/sql_text.h"

namespace tessaro {

tTessaroPreparedAdodatasetObject::tTessaroPreparedAdodatasetObject(TOdbcDataSet& dataSet, std::string sql)
    : data_set_(dataSet), sql_text_(std::move(sql)) {
  if (IsSelectSql(sql_text_)) {
    data_set_.SetCommandText(sql_text_);
  } else if (IsExecuteSql(sql_text_)) {
    command_ = std::make_unique<TOdbcCommand>(data_set_.Connection());
    command_->SetParamCheck(true);
    command_->SetCommandText(sql_text_);
  } else {
    throw Exception("unknown SQL type ");
  }
}

tTessaroPreparedAdodatasetObject::~tTessaroPreparedAdodatasetObject() = default;

TParameters& tTessaroPreparedAdodatasetObject::ParametersOwner() {
  return command_ != nullptr ? command_->Parameters() : data_set_.Parameters();
}

void tTessaroPreparedAdodatasetObject::Open() {
  if (MaxRecords >= 0) data_set_.SetMaxRecords(MaxRecords);
  if (command_ == nullptr) {
    data_set_.Open();
    return;
  }
  std::unique_ptr<TOdbcRecordset> rows = command_->Execute(data_set_.MaxRecords());
  // A procedure that only sets output parameters leaves the data set open
  // and empty, with the values in its parameters.
  if (rows == nullptr) rows = std::make_unique<TOdbcRecordset>(std::vector<TOdbcColumn>(), std::deque<std::vector<TFieldValue>>());
  data_set_.Parameters() = command_->Parameters();
  data_set_.OpenRecordset(std::move(rows));
}

}  // namespace tessaro
