// Application types: their stored properties, their two detail lists, the
// editor columns, and the data sets on which the SQL of their evidence items
// is prepared while definitions are edited.
#include "model/application_type.h"

#include "db/odbc_connection.h"
#include "db/odbc_dataset.h"
#include "model/application_role.h"
#include "model/global_settings.h"
#include "model/param_type_def.h"
#include "util/codepage.h"
#include "util/format.h"

namespace tessaro {
namespace {

// Holds the connection of a data set that owns it. As a base placed before
// the data set, it is made before the data set and destroyed after it.
struct TOwnedConnection {
  std::unique_ptr<TOdbcConnection> connection;  // the data set's connection
};

// A data set on a connection of its own.
class TOwningDataSet final : private TOwnedConnection, public TOdbcDataSet {
 public:
  explicit TOwningDataSet(std::unique_ptr<TOdbcConnection> owned)
      : TOwnedConnection{std::move(owned)}, TOdbcDataSet(TOwnedConnection::connection.get()) {}
};

}  // namespace

void TApplicationType::DeclareProperties(TPropertyDeclarations<TApplicationType>& p) {
  p.String("DefaultCatalog", &TApplicationType::DefaultCatalog, "")
      .String("DisplayLabel", &TApplicationType::DisplayLabel, "")
      .String("TypeName", &TApplicationType::TypeName, "");
}

TApplicationType::TApplicationType() {
  AddOwnList<TApplicationRolesList>();
  AddOwnList<TParamTypeDefsList>();
}

TApplicationRolesList& TApplicationType::ApplicationRoles() const {
  return static_cast<TApplicationRolesList&>(*ListAt(0));
}

TParamTypeDefsList& TApplicationType::ParamTypeDefs() const { return static_cast<TParamTypeDefsList&>(*ListAt(1)); }

void TApplicationType::DeleteDependents() {
  ApplicationRoles().Clear();
  ParamTypeDefs().Clear();
}

std::string TApplicationType::GetColumnText(int column) const {
  switch (column) {
    case 0:
      return TypeName;
    case 1:
      return DefaultCatalog;
    default:
      return {};
  }
}

void TApplicationType::SetColumnText(int column, const std::string& text) {
  if (column == 0) TypeName = text;
  if (column == 1) DefaultCatalog = text;
  TInetMgrBase::SetColumnText(column, text);
}

std::unique_ptr<TOdbcDataSet> TApplicationType::CreateDataSet(TOdbcConnection* connection) const {
  std::unique_ptr<TOdbcDataSet> data_set;
  if (connection != nullptr) {
    data_set = std::make_unique<TOdbcDataSet>(connection);
  } else {
    const TConnectionManager& settings = T_GlobalSettings::Instance().DefinitionConnection();
    if (settings.SupportsCatalogs && DefaultCatalog.empty())
      throw Exception(Format(Cp1250("Pro typ katalogu %s není nastaven výchozí katalog"), {TypeName}));
    std::unique_ptr<TOdbcConnection> owned = settings.GetConnection(true, DefaultCatalog);
    if (owned == nullptr) throw Exception(Cp1250("Není nastaven připojovací řetězec"));
    data_set = std::make_unique<TOwningDataSet>(std::move(owned));
  }
  data_set->SetParamCheck(true);
  data_set->SetCommandTimeout(data_set->Connection()->CommandTimeout());
  return data_set;
}

std::string TApplicationType::GetDefaultName() const { return Cp1250("Nový typ katalogu"); }

}  // namespace tessaro
