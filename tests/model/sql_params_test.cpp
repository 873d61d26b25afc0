// Preparing an evidence item's SQL while definitions are edited: the
// process's connection settings, the data sets of an application type (on
// a real SQLite database where one is opened), and parameter definitions
// kept in step with the SQL.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/odbc_connection.h"
#include "db/odbc_dataset.h"
#include "db/parameters.h"
#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/global_settings.h"
#include "model/inet_mgr_model.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "util/codepage.h"

namespace tessaro {
namespace {

const std::string kNoCatalog = Cp1250("Pro typ katalogu Tolvan není nastaven výchozí katalog");
const std::string kNoConnection = Cp1250("Není nastaven připojovací řetězec");

// An empty SQLite database file in a folder of its own, and fresh process
// connection settings for each test.
class DefinitionDatabase : public ::testing::Test {
 protected:
  DefinitionDatabase() {
    setenv("ODBCSYSINI", TESSARO_SOURCE_DIR "/scripts/odbc", 1);
    char pattern[] = "/tmp/tessaro-model-sql.XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("cannot create a temporary folder");
    folder_ = pattern;
    connection_string = "Driver=SQLite3;Database=" + folder_ + "/definitions.db";
    T_GlobalSettings::AccessInstance(T_GlobalSettings::kForget);
  }
  ~DefinitionDatabase() override {
    T_GlobalSettings::AccessInstance(T_GlobalSettings::kForget);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TConnectionManager& Settings() { return T_GlobalSettings::Instance().DefinitionConnection(); }

  std::string connection_string;

 private:
  std::string folder_;  // holds the database file
};

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.what();
  }
  return "no exception";
}

TEST_F(DefinitionDatabase, OneSettingsObjectPerProcess) {
  EXPECT_EQ(T_GlobalSettings::AccessInstance(T_GlobalSettings::kCurrent), nullptr);
  T_GlobalSettings* made = T_GlobalSettings::AccessInstance(T_GlobalSettings::kCreate);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(&T_GlobalSettings::Instance(), made);
  EXPECT_EQ(T_GlobalSettings::AccessInstance(T_GlobalSettings::kCurrent), made);
  EXPECT_NE(&made->DefinitionConnection(), &made->UserConnection());
  EXPECT_EQ(T_GlobalSettings::AccessInstance(T_GlobalSettings::kForget), nullptr);
  EXPECT_EQ(T_GlobalSettings::AccessInstance(T_GlobalSettings::kCurrent), nullptr);
  EXPECT_EQ(MessageOf([] { T_GlobalSettings::AccessInstance(5); }), "Illegal request 5 in AccessInstance");
}

TEST_F(DefinitionDatabase, ConnectionsByModeNeverFallBackToTheOtherString) {
  TConnectionManager settings;
  settings.RW_ConnectionString = connection_string;
  settings.CommandTimeout = 42;
  EXPECT_EQ(settings.GetConnection(true, ""), nullptr);
  std::unique_ptr<TOdbcConnection> connection = settings.GetConnection(false, "main");
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(connection->Mode(), cmReadWrite);
  EXPECT_EQ(connection->ConnectionString(), connection_string);
  EXPECT_EQ(connection->DefaultDatabase(), "main");
  EXPECT_EQ(connection->CommandTimeout(), 42);
  settings.R_ConnectionString = connection_string;
  EXPECT_EQ(settings.GetConnection(true, "")->Mode(), cmRead);
}

TEST_F(DefinitionDatabase, CreateDataSetNeedsACatalogWhereRequiredAndAConnectionString) {
  struct Case {
    const char* name;
    bool supports_catalogs;
    const char* catalog;
    bool read_only_string;
    bool read_write_string;
    const std::string& message;  // empty: a data set
  };
  const std::string made;
  const Case cases[] = {
      {"catalog required", true, "", true, true, kNoCatalog},
      {"no read-only string", false, "", false, true, kNoConnection},
      {"catalog, no string", true, "main", false, false, kNoConnection},
      {"no catalogs", false, "", true, false, made},
  };
  TApplicationType type;
  type.TypeName = "Tolvan";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Settings().SupportsCatalogs = c.supports_catalogs;
    Settings().R_ConnectionString = c.read_only_string ? connection_string : "";
    Settings().RW_ConnectionString = c.read_write_string ? connection_string : "";
    type.DefaultCatalog = c.catalog;
    EXPECT_EQ(MessageOf([&] { type.CreateDataSet(nullptr); }), c.message.empty() ? "no exception" : c.message);
  }
}

TEST_F(DefinitionDatabase, TheDataSetOwnsAReadOnlyConnectionToTheDefinitionDatabase) {
  Settings().SupportsCatalogs = false;
  Settings().R_ConnectionString = connection_string;
  Settings().CommandTimeout = 17;
  TApplicationType type;
  std::unique_ptr<TOdbcDataSet> data_set = type.CreateDataSet(nullptr);
  ASSERT_NE(data_set->Connection(), nullptr);
  EXPECT_EQ(data_set->Connection()->Mode(), cmRead);
  EXPECT_TRUE(data_set->ParamCheck());
  EXPECT_EQ(data_set->CommandTimeout(), 17);
  data_set->SetCommandText("select 6 * 7 as ANSWER");
  data_set->Open();
  EXPECT_EQ(data_set->FieldByName("ANSWER").AsString(), "42");
  data_set.reset();  // frees the connection with it (AddressSanitizer watches)

  // A given connection is used as it is, without settings.
  T_GlobalSettings::AccessInstance(T_GlobalSettings::kForget);
  TOdbcConnection given;
  given.SetCommandTimeout(9);
  data_set = type.CreateDataSet(&given);
  EXPECT_EQ(data_set->Connection(), &given);
  EXPECT_EQ(data_set->CommandTimeout(), 9);
  EXPECT_EQ(T_GlobalSettings::AccessInstance(T_GlobalSettings::kCurrent), nullptr);
}

// An evidence item of a role of an application type without a catalog, with
// two parameter definitions: CustNo (typed, labelled) and Gone.
class ParamSync : public DefinitionDatabase {
 protected:
  ParamSync() {
    Settings().SupportsCatalogs = false;
    Settings().R_ConnectionString = connection_string;
    {
      TModelStateScope loading(model, msLoading);
      Add<TApplicationType>(model.ApplicationTypes(), "{T}");
      Add<TApplicationRole>(model.ApplicationRoles(), "{R}")->detApplicationTypeID = "{T}";
      Add<TParamTypeDef>(model.ParamTypeDefs(), "{PT}")->detApplicationTypeID = "{T}";
      Add<TEvidenceItem>(model.EvidenceItems(), "{I}")->detApplicationRoleID = "{R}";
      for (const char* name : {"CustNo", "Gone"}) {
        auto* param = Add<TParamDef>(model.ParamDefs(), std::string("{") + name + "}");
        param->detEvidenceItemID = "{I}";
        param->ParamName = name;
      }
      model.ParamDefs().Items(0)->detParamTypeDefID = "{PT}";
      model.ParamDefs().Items(0)->ParamDisplayName = "Customer";
    }
    model.LinkAll();
    model.AfterLoadAll();
    model.Modified = false;
    item = model.EvidenceItems().Items(0);
  }
  template <class E, class L>
  E* Add(L& list, const std::string& id) {
    auto element = std::make_unique<E>();
    element->InstanceID = id;
    return list.AddNew(std::move(element));
  }
  // "ParamName=ParamDisplayName" of the item's definitions, in list order.
  std::vector<std::string> Definitions() const {
    std::vector<std::string> names;
    item->ParamDefs().ForEach([&](T_V_DataElement* element) {
      auto* param = static_cast<TParamDef*>(element);
      names.push_back(param->ParamName + "=" + param->ParamDisplayName);
    });
    return names;
  }

  TInetMgrModel model;
  TEvidenceItem* item = nullptr;
};

TEST_F(ParamSync, EditingTheItemKeepsDefinitionsInStepWithItsSql) {
  item->ParametrizedSelectClause = {"select * from ORDERS where CUST = :custno.Integer", "and DAY between :From",
                                    "and :From + 7 and TEXT = ':Quoted'"};
  item->Edit();
  EXPECT_EQ(Definitions(), (std::vector<std::string>{"CustNo=Customer", "From=Parameter: From"}));
  EXPECT_TRUE(model.Modified);
  EXPECT_EQ(model.ParamDefs().Count(), 2);
  const TParamDef* kept = item->FindParamDef("CUSTNO");
  EXPECT_EQ(kept->InstanceID, "{CustNo}");
  EXPECT_NE(kept->ParamTypeDef(), nullptr);
  const TParamDef* made = item->FindParamDef("From");
  EXPECT_EQ(made->InstanceID.size(), 38u);
  EXPECT_EQ(made->detEvidenceItemID, "{I}");
  EXPECT_EQ(made->EvidenceItem(), item);
  EXPECT_EQ(made->ParamDataType, TFieldType::ftUnknown);
  EXPECT_EQ(made->HtmlFilterColSpan, 1);

  item->ParametrizedSelectClause.Clear();
  item->Edit();
  EXPECT_TRUE(Definitions().empty());
  EXPECT_EQ(model.ParamDefs().Count(), 0);
}

TEST_F(ParamSync, SqlThatCannotBePreparedChangesNothing) {
  Settings().SupportsCatalogs = true;
  item->ParametrizedSelectClause = {"select * from ORDERS where DAY = :From"};
  model.Modified = false;
  EXPECT_EQ(MessageOf([&] { item->Edit(); }), Cp1250("Pro typ katalogu  není nastaven výchozí katalog"));
  EXPECT_EQ(Definitions(), (std::vector<std::string>{"CustNo=Customer", "Gone="}));
  EXPECT_FALSE(model.Modified);

  TParameters params;
  TParameter entered;
  entered.Name = "from";
  entered.Size = 3;
  params.Add(entered);
  EXPECT_THROW(item->CollectSqlParams(params), Exception);
  ASSERT_EQ(params.Count(), 1);
  EXPECT_EQ(params[0].Name, "from");

  Settings().SupportsCatalogs = false;
  item->ParametrizedSelectClause = {"select :A, :From, :a.Integer"};
  item->CollectSqlParams(params);
  std::vector<std::string> names;
  for (const TParameter& param : params) names.push_back(param.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"from", "A", "a.Integer"}));
  EXPECT_EQ(params[0].Size, 3);
}

TEST_F(ParamSync, BindParamsTypesByTheItemsDefinitions) {
  model.ParamDefs().Items(0)->ParamDataType = TFieldType::ftInteger;  // CustNo, which has a parameter type
  model.ParamDefs().Items(1)->ParamDataType = TFieldType::ftDate;     // Gone, which has none
  TParameters params;
  for (const char* name : {"custno", "Gone", "day.DateTime", "other"}) {
    TParameter p;
    p.Name = name;
    p.DataType = TFieldType::ftString;
    p.Value = TVariant::String("stale");
    params.Add(p);
  }
  BindParams(&params, item->ParamTypeLookup());
  EXPECT_EQ(params[0].DataType, TFieldType::ftInteger);
  EXPECT_EQ(params[1].DataType, TFieldType::ftString);
  EXPECT_EQ(params[2].DataType, TFieldType::ftDateTime);
  EXPECT_EQ(params[3].DataType, TFieldType::ftString);
  for (const TParameter& p : params) EXPECT_TRUE(p.Value.IsNull()) << p.Name;
  BindParams(nullptr, item->ParamTypeLookup());  // no target: nothing happens
}

}  // namespace
}  // namespace tessaro
