// The stored properties of each class, as the file reader and writer see
// them: name, kind and declared default ("none": always stored), checked
// against the values a new element starts with.
#include <gtest/gtest.h>

#include <string>

#include "model/account_parameter.h"
#include "model/application_role.h"
#include "model/application_type.h"
#include "model/connection_manager.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"

namespace tessaro {
namespace {

const char* KindName(TPropertyKind kind) {
  switch (kind) {
    case pkInteger:
      return "integer";
    case pkBoolean:
      return "boolean";
    case pkEnumeration:
      return "enumeration";
    case pkString:
      return "text";
    case pkStringList:
      return "lines";
    case pkCollection:
      return "collection";
    case pkVariant:
      return "variant";
    default:
      return "other";
  }
}

// "Name:kind=default" per property, "Name:kind" without a default; the
// object must hold its constructor's values.
std::string Describe(TPublishedObject& object) {
  std::string text;
  for (const auto& property : object.PublishedProperties().Properties()) {
    text += property->Name() + ":" + KindName(property->Kind());
    if (property->HasDefault() && KindGroup(property->Kind()) != kgObject) {
      EXPECT_TRUE(property->IsDefault(object)) << property->Name() << " starts away from its default";
      text += "=";
      if (property->Kind() == pkString)
        text += "'" + property->GetString(object) + "'";
      else
        text += property->ValueNames().empty() ? std::to_string(property->GetOrdinal(object))
                                               : property->ValueNames()[property->GetOrdinal(object)];
    }
    text += " ";
  }
  return text;
}

TEST(StoredProperties, EachClassDeclaresItsPropertiesWithTheirDefaults) {
  TApplicationType type;
  EXPECT_EQ(Describe(type), "DefaultCatalog:text='' DisplayLabel:text='' InstanceID:text TypeName:text='' ");
  TApplicationRole role;
  EXPECT_EQ(Describe(role), "detApplicationTypeID:text='' InstanceID:text RoleName:text='' ");
  TUserAccount account;
  EXPECT_EQ(Describe(account),
            "AccountE_mail:text='' AccountName:text='' CatalogName:text='' detApplicationRoleID:text='' "
            "InstanceID:text ParameterValues:collection Password:text='' Username:text='' ");
  TUserOverride_ApplicationRole override_;
  EXPECT_EQ(Describe(override_), "BlackBoard:lines detApplicationRoleID:text='' InstanceID:text RoleName:text='' ");
  TAccountParameter parameter;
  EXPECT_EQ(Describe(parameter),
            "DataType:enumeration Name:text NumericScale:integer=0 ParamType:enumeration Precision:integer=0 "
            "Size:integer=0 Value:variant ");
}

TEST(StoredProperties, ConnectionSettingsAlwaysStoreTheTimeout) {
  TConnectionManager manager;
  EXPECT_EQ(Describe(manager),
            "CommandTimeout:integer InstanceID:text R_ConnectionString:text='' RW_ConnectionString:text='' "
            "SupportsCatalogs:boolean=True ");
  EXPECT_EQ(manager.CommandTimeout, 500);
}

TEST(StoredProperties, AccountParametersReadTheirTypesByName) {
  TAccountParameter parameter;
  SetPublishedValue(parameter, "DataType", TVariant::String("ftInteger"));
  SetPublishedValue(parameter, "ParamType", TVariant::String("ptInputOutput"));
  EXPECT_EQ(parameter.DataType, TFieldType::ftInteger);
  EXPECT_EQ(parameter.ParamType, TAccountParamType::ptInputOutput);
  SetPublishedValue(parameter, "DataType", TVariant::String("ftFMTBcd"));
  EXPECT_EQ(parameter.DataType, TFieldType::ftFMTBcd);
  // ftWideMemo is this platform's own and never stored.
  EXPECT_THROW(SetPublishedValue(parameter, "DataType", TVariant::String("ftWideMemo")), EPropertyError);

  TUserAccount account;
  FindPublishedProperty(account, "ParameterValues").property->Collection(account)->Add();
  ASSERT_EQ(account.ParameterValues.Count(), 1u);
  SetPublishedValue(account.ParameterValues[0], "Value", TVariant::Integer(42));
  EXPECT_EQ(account.ParameterValues[0].Value, TVariant::Integer(42));
}

}  // namespace
}  // namespace tessaro
