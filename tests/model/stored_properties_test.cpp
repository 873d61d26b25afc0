// The stored properties of each class, as the file reader and writer see
// them: name, kind and declared default ("none": always stored), checked
// against the values a new element starts with.
#include <gtest/gtest.h>

#include <string>

#include "model/account_parameter.h"
#include "model/application_role.h"
#include "model/application_type.h"
#include "model/column_attribute.h"
#include "model/connection_manager.h"
#include "model/editor_options.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "model/table_template.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"
#include "model/user_override_evidence_item.h"

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
    case pkObject:
      return "object";
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

TEST(StoredProperties, EvidenceClassesDeclareTheirPropertiesWithTheirDefaults) {
  TEvidenceItem item;
  EXPECT_EQ(Describe(item),
            "AccessProtocol:enumeration=apHttp BlobSelectClause:lines BodyColumnAttributes:collection "
            "BodySelectClause:lines ColumnAttributes:collection detApplicationRoleID:text='' EvidenceName:text='' "
            "Expr_BodyTemplate:text='' Expr_CustomRecordTemplate:text='' IDAction:text='' InstanceID:text "
            "OrderInList:integer ParametrizedSelectClause:lines ProducerTemplate:object "
            "SummaryRowSelectClause:lines ");
  TEvidenceItemAction action;
  EXPECT_EQ(Describe(action),
            "AccessProtocol:enumeration ActionSQL:lines ClickPromptText:text='' DefaultReturnToFormPage:boolean=False "
            "detEvidenceItemID:text='' EvidenceActionName:text='' IDSuccessDetailPage:text='' InstanceID:text "
            "ResultTarget:text='' ResultURLField:enumeration ");
  EXPECT_EQ(action.AccessProtocol, apDefault);
  TEvidenceItemDetailPage page;
  EXPECT_EQ(Describe(page),
            "AccessProtocol:enumeration DetailColumnAttributes:collection DetailListColumnAttributes:collection "
            "DetailListProducerTemplate:object DetailListSelectClause:lines DetailSelectClause:lines "
            "DetailTarget:text='' detEvidenceItemID:text='' EvidenceDetailName:text='' Expr_DetailTemplate:text='' "
            "IDAction:text='' InstanceID:text ListSummaryRowSelectClause:lines ");
  EXPECT_EQ(page.AccessProtocol, apDefault);
  TEvidenceItemDetailPageSwitch page_switch;
  std::string pairs;
  for (const char* n : {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"})
    pairs += std::string("fld_value_") + n + ":text='' ";
  for (const char* n : {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"})
    pairs += std::string("IDDetailPage_") + n + ":text='' ";
  EXPECT_EQ(Describe(page_switch), "detEvidenceItemID:text='' EvidenceDetailSwitchName:text='' " + pairs +
                                       "IDDetailPage_default:text='' InstanceID:text ");
  TParamDef param;
  EXPECT_EQ(Describe(param),
            "ApplyOnChange:boolean=False detEvidenceItemID:text='' detParamTypeDefID:text='' "
            "HtmlFilterColSpan:integer=1 HtmlFilterGroupIndex:integer HtmlFilterTabIndex:integer InstanceID:text "
            "ParamDataType:enumeration ParamDisplayName:text='' ParamName:text='' ParamPrecision:integer "
            "ParamSize:integer ");
  TParamTypeDef type;
  EXPECT_EQ(Describe(type),
            "detApplicationTypeID:text='' detParamEditorID:text='' HtmlFilterCustom:text='' "
            "HtmlFilterDefaultExpression:text='' InstanceID:text IsHtmlFilterParam:boolean=False "
            "ParamDataType:enumeration ParamTypeName:text='' ");
  TUserOverride_EvidenceItem override_;
  EXPECT_EQ(Describe(override_),
            "detEvidenceItemID:text='' EvidenceName:text='' ForceSecureAccess:boolean=False InstanceID:text "
            "Visible:boolean=True ");
  TZNKHTMLTableColumnAttribute attribute;
  EXPECT_EQ(Describe(attribute),
            "BlobFileExtFieldName:text='' BlobType:text='' Custom:text='' DisplayFormat:text='' FieldName:text='' "
            "IDAction:text='' IDDetailPage:text='' IDDetailPageSwitch:text='' InputType:text='' "
            "IsDocumentURL:boolean=False isLinkParam:boolean=False IsVisible:boolean=True javaFuncName:text='' "
            "javaFuncTarget:text='' Precision:integer=2 RowIdentifier:boolean=False Transliterate:boolean=True ");
  TZNKVisitedStrings lines;
  EXPECT_EQ(Describe(lines), "Lines:lines ");
  TZNKVisitedAnsiString text;
  EXPECT_EQ(Describe(text), "Text:text='' ");
}

TEST(StoredProperties, TableTemplatesNestTheirAttributes) {
  TTableTemplate table;
  EXPECT_EQ(Describe(table),
            "Caption:text='' CaptionAlignment:enumeration=caDefault Columns:collection DataSet:object Footer:lines "
            "Header:lines MaxRows:integer=20 RowAttributes:object TableAttributes:object ");
  EXPECT_EQ(Describe(table.TableAttributes),
            "Align:enumeration=haDefault BgColor:text='' Border:integer=-1 CellPadding:integer=-1 "
            "CellSpacing:integer=-1 Custom:text='' Width:integer=100 ");
  EXPECT_EQ(Describe(table.RowAttributes),
            "Align:enumeration=haDefault BgColor:text='' Custom:text='' VAlign:enumeration=haVDefault ");
  TTableColumn& column = table.Columns.Add();
  EXPECT_EQ(Describe(column),
            "Align:enumeration=haDefault BgColor:text='' Custom:text='' FieldName:text='' Title:object "
            "VAlign:enumeration=haVDefault ");
  EXPECT_EQ(Describe(column.Title),
            "Align:enumeration=haDefault BgColor:text='' Caption:text='' Custom:text='' "
            "VAlign:enumeration=haVDefault ");

  // The paths a file names them by.
  SetPublishedValue(table, "TableAttributes.Width", TVariant::Integer(80));
  SetPublishedValue(table, "CaptionAlignment", TVariant::String("caBottom"));
  SetPublishedValue(column, "Title.Caption", TVariant::String("Cena"));
  SetPublishedValue(column, "VAlign", TVariant::String("haBaseline"));
  EXPECT_EQ(table.TableAttributes.Width, 80);
  EXPECT_EQ(table.CaptionAlignment, caBottom);
  EXPECT_EQ(column.Title.Caption, "Cena");
  EXPECT_EQ(column.VAlign, haBaseline);
  FindPublishedProperty(table, "Header.Strings").property->Strings(table)->Add("<p>");
  EXPECT_EQ(table.Header.Count(), 1u);

  // References to other objects carry nothing: never written, never read.
  const TPropertyRef data_set = FindPublishedProperty(table, "DataSet");
  ASSERT_TRUE(data_set);
  EXPECT_EQ(data_set.property->Object(table), nullptr);
  EXPECT_TRUE(data_set.property->IsDefault(table));
  TEvidenceItem item;
  item.ProducerTemplate().MaxRows = 5;
  EXPECT_TRUE(FindPublishedProperty(item, "ProducerTemplate").property->IsDefault(item));
}

TEST(StoredProperties, EnumerationsReadTheirValueNames) {
  TEvidenceItem item;
  TParamDef param;
  TEvidenceItemAction action;
  TEvidenceItemDetailPageSwitch page_switch;
  SetPublishedValue(item, "AccessProtocol", TVariant::String("apHttps"));
  SetPublishedValue(param, "ParamDataType", TVariant::String("ftDateTime"));
  SetPublishedValue(action, "ResultURLField", TVariant::String("eariACTIONRESULT"));
  SetPublishedValue(page_switch, "fld_value_10", TVariant::String("Z"));
  SetPublishedValue(page_switch, "IDDetailPage_01", TVariant::String("{P}"));
  EXPECT_EQ(item.AccessProtocol, apHttps);
  EXPECT_EQ(param.ParamDataType, TFieldType::ftDateTime);
  EXPECT_EQ(action.ResultURLField, eariACTIONRESULT);
  EXPECT_EQ(page_switch.fld_value[9], "Z");
  EXPECT_EQ(page_switch.IDDetailPage[0], "{P}");
  EXPECT_THROW(SetPublishedValue(item, "AccessProtocol", TVariant::String("apFtp")), EPropertyError);
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
