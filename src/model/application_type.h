// TApplicationType: an application (catalog) type. It groups the roles of
// one kind of business database and the parameter types their evidence
// items use, and names the catalog opened for SQL of its kind.
#pragma once

#include <memory>
#include <string>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TApplicationRolesList;
class TParamTypeDefsList;
class TOdbcConnection;
class TOdbcDataSet;

class TApplicationType : public TDeclaredElement<TApplicationType, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TApplicationType";
  static void DeclareProperties(TPropertyDeclarations<TApplicationType>& p);

  TApplicationType();

  // Own list [0]: the roles of the type.
  TApplicationRolesList& ApplicationRoles() const;
  // Own list [1]: the parameter types of the type.
  TParamTypeDefsList& ParamTypeDefs() const;

  // A new data set for SQL of this type with parameter parsing on, owned by
  // the caller: on `connection` when given, else on a read-only connection
  // of the definition connection settings to DefaultCatalog, owned by the
  // data set, with that connection's command timeout. Throws Exception
  // "Pro typ katalogu <TypeName> není nastaven výchozí katalog" when catalogs
  // are required and DefaultCatalog is empty, "Není nastaven připojovací
  // řetězec" without a connection string; nothing is left behind then.
  // Defined together with the process's connection settings (T_GlobalSettings).
  std::unique_ptr<TOdbcDataSet> CreateDataSet(TOdbcConnection* connection) const;

  // Roles and parameter types die with their type.
  void DeleteDependents() override;
  // 0 TypeName, 1 DefaultCatalog; both editable.
  std::string GetColumnText(int column) const override;
  void SetColumnText(int column, const std::string& text) override;
  std::string GetDefaultName() const override;

  std::string DefaultCatalog;  // catalog opened for data of this type
  std::string DisplayLabel;    // label shown to users for the type
  std::string TypeName;        // name of the type
};

class TApplicationTypesList final : public TInetMgrList<TApplicationType> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
