#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "model/application_role.h"
#include "model/application_type.h"
#include "model/connection_manager.h"
#include "model/evidence_item.h"
#include "model/inet_mgr_model.h"
#include "model/io/model_dump.h"
#include "model/io/model_xml.h"
#include "model/io/old_evidence_item.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "model_io/file_sample_model.h"
#include "util/codepage.h"

namespace tessaro {
namespace {

using file_test::FillSampleModel;
using file_test::SampleConnection;

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no failure";
}

TEST(XmlForm, TheCompleteDocumentCarriesBothFilesWhole) {
  TInetMgrModel sample;
  FillSampleModel(sample);
  {
    // An item no role reaches, and texts that XML could easily bend.
    TModelStateScope loading(sample, msLoading);
    auto orphan = std::make_unique<TEvidenceItem>();
    orphan->InstanceID = "{ORPHAN}";
    orphan->detApplicationRoleID = "{GONE}";
    sample.EvidenceItems().AddNew(std::move(orphan));
    auto* account = static_cast<TUserAccount*>(sample.UserAccounts().FindByInstanceID("{A2}"));
    account->Password = " ";
    account->AccountName = "a\r\nb <&> \"c\"\t";
  }
  sample.LinkAll();
  const std::string document = SaveModelDocument(sample, *SampleConnection("d"), *SampleConnection("u"));
  TInetMgrModel read;
  TConnectionManager definition, user;
  LoadModelDocument(document, read, definition, user);
  EXPECT_EQ(DumpModel(read), DumpModel(sample)) << document;
  EXPECT_EQ(DumpConnection("", definition), DumpConnection("", *SampleConnection("d")));
  EXPECT_EQ(DumpConnection("", user), DumpConnection("", *SampleConnection("u")));
  EXPECT_NE(document.find(EncodeOutput(Cp1250("Účetnictví"))), std::string::npos);
}

// The document is XML 1.0 that strict tools read: no control characters
// but TAB, LF and CR, and a CR that a reader cannot fold into a line break.
// Our reader gets every text back as it was.
TEST(XmlForm, StrictXmlReadersTakeTheDocumentWithControlCharactersAndCarriageReturns) {
  TInetMgrModel sample;
  FillSampleModel(sample);
  const std::string odd = std::string("a\r\nb\rc\x01\x08\x0B\x1F\x7F", 11) + std::string(1, '\0') + Cp1250("ř\tz");
  {
    TModelStateScope loading(sample, msLoading);
    static_cast<TUserAccount*>(sample.UserAccounts().FindByInstanceID("{A2}"))->AccountName = odd;
  }
  std::unique_ptr<TConnectionManager> connection = SampleConnection("d");
  connection->R_ConnectionString += "\r\x02";
  const std::string document = SaveModelDocument(sample, *connection, *SampleConnection("u"));
  EXPECT_EQ(document.find('\r'), std::string::npos);
  EXPECT_NE(document.find("a&#13;\nb&#13;c"), std::string::npos) << document;

  file_test::TTempFolder folder;
  folder.Write("model.xml", document);
  const std::string parse = "/usr/bin/python3 -c 'import sys, xml.etree.ElementTree as t; "
                            "n = t.parse(sys.argv[1]).find(\".//UserAccount[InstanceID=\\\"{A2}\\\"]/AccountName\"); "
                            "sys.exit(0 if n.text.startswith(\"a\\r\\nb\\rc\") else 3)' " +
                            folder.Path() + "model.xml";
  EXPECT_EQ(std::system(parse.c_str()), 0) << document;

  TInetMgrModel read;
  TConnectionManager definition, user;
  LoadModelDocument(document, read, definition, user);
  EXPECT_EQ(static_cast<TUserAccount*>(read.UserAccounts().FindByInstanceID("{A2}"))->AccountName, odd);
  EXPECT_EQ(definition.R_ConnectionString, connection->R_ConnectionString);
}

TEST(XmlForm, ListsAreWrittenInIdentifierOrderWithoutReorderingTheModel) {
  TInetMgrModel model;
  model.ApplicationTypes().Clear();
  for (const char* id : {"{C}", "{A}", "{B}"}) {
    auto type = std::make_unique<TApplicationType>();
    type->InstanceID = id;
    model.ApplicationTypes().AddNew(std::move(type));
  }
  pugi::xml_document document;
  pugi::xml_node node = document.append_child("Types");
  SaveListToXml(model.ApplicationTypes(), node);
  EXPECT_STREQ(node.attribute("ElementClass").value(), "TApplicationType");
  EXPECT_STREQ(node.attribute("Count").value(), "3");
  std::string order;
  for (pugi::xml_node child : node.children("ApplicationType")) order += child.child_value("InstanceID");
  EXPECT_EQ(order, "{A}{B}{C}");
  EXPECT_EQ(model.ApplicationTypes().Items(0)->InstanceID, "{C}");

  pugi::xml_node single = document.append_child("One");
  SaveListToXml(model.ApplicationTypes(), single, model.ApplicationTypes().Items(1));
  EXPECT_STREQ(single.attribute("Count").value(), "1");
  EXPECT_STREQ(single.first_child().child_value("InstanceID"), "{A}");
}

TEST(XmlForm, ReadingAnElementWithAKnownIdentifierReplacesItAndItsDependents) {
  TInetMgrModel model;
  FillSampleModel(model);
  pugi::xml_document document;
  pugi::xml_node types = document.append_child("ApplicationTypes");
  types.append_attribute("ElementClass") = "TApplicationType";
  types.append_attribute("Count") = "1";
  pugi::xml_node type = types.append_child("ApplicationType");
  type.append_child("InstanceID").text() = "{T1}";
  type.append_child("TypeName").text() = "Nový";
  LoadListFromXml(model.ApplicationTypes(), model, types);
  model.LinkAll();
  ASSERT_EQ(model.ApplicationTypes().Count(), 1);
  EXPECT_EQ(model.ApplicationTypes().Items(0)->TypeName, Cp1250("Nový"));
  // The old type took its roles and parameter types with it.
  EXPECT_EQ(model.ApplicationRoles().Count(), 0);
  EXPECT_EQ(model.ParamTypeDefs().Count(), 0);
}

TEST(XmlForm, PropertiesAtTheirDefaultsAreLeftOutAndComeBackWhenMissing) {
  TOldColumnAttribute attribute;
  attribute.IsVisible = true;
  attribute.Precision = 4;
  pugi::xml_document document;
  pugi::xml_node node = document.append_child("Attribute");
  SavePropertiesToXml(attribute, node);
  EXPECT_FALSE(node.child("IsVisible"));
  EXPECT_FALSE(node.child("FieldName"));
  EXPECT_STREQ(node.child_value("Precision"), "4");
  TOldColumnAttribute read;
  read.IsVisible = false;
  read.FieldName = "gone";
  LoadPropertiesFromXml(read, node);
  EXPECT_TRUE(read.IsVisible);
  EXPECT_EQ(read.FieldName, "");
  EXPECT_EQ(read.Precision, 4);

  // Value names without regard to case; collections gain what they read.
  TOldEvidenceItem item;
  item.ColumnAttributes.Add().FieldName = "kept";
  pugi::xml_document more;
  ASSERT_TRUE(more.load_string(
      "<E><OrderInList> 12 </OrderInList><ColumnAttributes Count='1'><Item0><IsVisible>fAlSe</IsVisible></Item0>"
      "</ColumnAttributes><DetailSelectClause Count='2'><Item0>a</Item0><Item1/></DetailSelectClause></E>"));
  LoadPropertiesFromXml(item, more.first_child());
  EXPECT_EQ(item.OrderInList, 12);
  ASSERT_EQ(item.ColumnAttributes.Count(), 2u);
  EXPECT_FALSE(item.ColumnAttributes[1].IsVisible);
  EXPECT_EQ(item.DetailSelectClause.Text(), "a\r\n\r\n");

  for (const char* bad :
       {"<E><OrderInList>12x</OrderInList></E>", "<E><OrderInList>99999999999</OrderInList></E>",
        "<E><ColumnAttributes Count='1'><Item0><IsVisible>maybe</IsVisible></Item0></ColumnAttributes></E>"}) {
    pugi::xml_document broken;
    ASSERT_TRUE(broken.load_string(bad));
    TOldEvidenceItem target;
    EXPECT_NE(Message([&] { LoadPropertiesFromXml(target, broken.first_child()); }), "no failure") << bad;
  }
}

// Floating-point numbers and variants, which no stored class of the model
// has yet but the form carries.
class TMeasured : public TPublished<TMeasured> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TMeasured>& p) {
    p.Float("Ratio", &TMeasured::Ratio, 0.0).Variant("Value", &TMeasured::Value);
  }
  double Ratio = 0;
  TVariant Value;
};

TEST(XmlForm, FloatsAreScientificAndKeepTheirValueWhenUnreadable) {
  TMeasured measured;
  measured.Ratio = 0.1;
  measured.Value = TVariant::Date(45000.25);
  pugi::xml_document document;
  pugi::xml_node node = document.append_child("M");
  SavePropertiesToXml(measured, node);
  EXPECT_STREQ(node.child_value("Ratio"), "1.00000000000000006E-01");
  EXPECT_STREQ(node.child("Value").attribute("Type").value(), "Date");
  TMeasured read;
  LoadPropertiesFromXml(read, node);
  EXPECT_EQ(read.Ratio, 0.1);
  EXPECT_EQ(read.Value, measured.Value);

  for (const auto& [text, expected] : {std::pair{" 2.5 ", 2.5}, std::pair{"abc", 7.0}, std::pair{"", 7.0}}) {
    pugi::xml_document other;
    other.append_child("M").append_child("Ratio").text() = text;
    TMeasured target;
    target.Ratio = 7;
    LoadPropertiesFromXml(target, other.first_child());
    EXPECT_EQ(target.Ratio, expected) << text;
  }
}

TEST(XmlForm, TheModelFormIsWrittenAndReadOnlyInDefinitionsMode) {
  TInetMgrModel model;
  FillSampleModel(model);
  TConnectionManager connection;
  pugi::xml_document document;
  model.Mode = TInetMgrModel::kUserDataMode;
  SaveModelToXml(model, connection, document.append_child("M"));
  EXPECT_FALSE(document.first_child().first_child());

  model.Mode = TInetMgrModel::kDefinitionsMode;
  connection.CommandTimeout = 77;
  pugi::xml_node node = document.append_child("Model");
  SaveModelToXml(model, connection, node);
  EXPECT_STREQ(node.child("Connection").attribute("CommandTimeout").value(), "77");
  EXPECT_FALSE(node.child("Connection").attribute("SupportsCatalogs"));
  EXPECT_STREQ(node.child("ApplicationTypes").attribute("Count").value(), "1");
  // Roles, items and their parts are reached through the types.
  EXPECT_TRUE(node.child("ApplicationTypes")
                  .child("ApplicationType")
                  .child("ApplicationRoles")
                  .child("ApplicationRole")
                  .child("EvidenceItems"));

  TInetMgrModel user_mode;
  user_mode.Mode = TInetMgrModel::kUserDataMode;
  TConnectionManager untouched;
  LoadModelFromXml(user_mode, untouched, node);
  EXPECT_EQ(untouched.CommandTimeout, 500);

  // An element-form document is a document of the complete form without
  // user data.
  pugi::xml_document element_form;
  element_form.append_copy(node);
  struct TWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
  } out;
  element_form.save(out);
  TInetMgrModel read;
  TConnectionManager definition, user;
  LoadModelDocument(out.text, read, definition, user);
  EXPECT_EQ(definition.CommandTimeout, 77);
  EXPECT_EQ(DumpList(read.ParamDefs()), DumpList(model.ParamDefs()));
  EXPECT_EQ(read.EvidenceItems().Count(), 2);
  EXPECT_EQ(read.UserAccounts().Count(), 0);
}

TEST(XmlForm, MalformedDocumentsNameTheLine) {
  TInetMgrModel model;
  TConnectionManager definition, user;
  EXPECT_EQ(
      Message([&] { LoadModelDocument("<TessaroModel>\n<Definitions>\n</TessaroModel>", model, definition, user); }),
      "Malformed XML at line 3: Start-end tags mismatch");
}

}  // namespace
}  // namespace tessaro
