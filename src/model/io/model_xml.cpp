// The XML form of the model: properties, elements, lists, the model, and
// the complete document of both files for administrators.
//
// Which lists an element writes as children, and where their elements go on
// reading, is one table (kNestedLists) rather than code per class; the
// objects stored beside an element (templates, editor options) come through
// the same functions the binary files use (stored_parts.h).
#include "model/io/model_xml.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "model/application_role.h"
#include "model/application_type.h"
#include "model/connection_manager.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/inet_mgr_model.h"
#include "model/io/stored_parts.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"
#include "model/user_override_evidence_item.h"
#include "settings/published.h"
#include "util/codepage.h"
#include "util/exception.h"
#include "util/float_math.h"
#include "util/text.h"

namespace tessaro {
namespace {

// ---------------------------------------------------------------------------
// Text

// XML 1.0 has no place for the control characters other than TAB, LF and
// CR, not even as character references, yet a text pasted from elsewhere may
// hold one. Each is written as the private-use character U+E000 + its code,
// which windows-1250 text never holds, so that every XML tool reads the
// document and this reader gets the text back as it was.
constexpr std::string_view kControlCarrierLead = "\xEE\x80";  // UTF-8 of U+E000 .. U+E03F, without the last byte

bool IsCarriedControl(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

std::string ToXml(std::string_view cp1250) {
  std::string utf8;
  size_t start = 0;
  for (size_t i = 0; i <= cp1250.size(); ++i) {
    if (i < cp1250.size() && !IsCarriedControl(static_cast<unsigned char>(cp1250[i]))) continue;
    utf8 += EncodeOutput(cp1250.substr(start, i - start));
    if (i < cp1250.size()) {
      utf8 += kControlCarrierLead;
      utf8 += static_cast<char>(0x80 + cp1250[i]);
    }
    start = i + 1;
  }
  return utf8;
}

std::string FromXml(std::string_view utf8, std::string_view where) {
  if (!IsValidUtf8(utf8)) throw Exception("XML text of " + std::string(where) + " is not valid UTF-8");
  std::string cp1250;
  size_t start = 0;
  for (size_t at = utf8.find(kControlCarrierLead); at != std::string_view::npos;
       at = utf8.find(kControlCarrierLead, at + 1)) {
    const unsigned char last = at + 2 < utf8.size() ? static_cast<unsigned char>(utf8[at + 2]) : 0;
    if (last < 0x80 || !IsCarriedControl(static_cast<unsigned char>(last - 0x80))) continue;
    cp1250 += DecodeInput(utf8.substr(start, at - start));
    cp1250 += static_cast<char>(last - 0x80);
    start = at + 3;
  }
  return cp1250 + DecodeInput(utf8.substr(start));
}

// The node's text when its first child is text; empty otherwise (an element
// with element children has no text).
std::string NodeText(pugi::xml_node node, std::string_view where) {
  pugi::xml_node first = node.first_child();
  if (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata) return {};
  return FromXml(first.value(), where);
}

void SetText(pugi::xml_node node, std::string_view cp1250) { node.text().set(ToXml(cp1250).c_str()); }

int64_t ParseInteger(std::string_view text, std::string_view where) {
  const std::string trimmed = Trim(text);
  int64_t value = 0;
  const char* begin = trimmed.data();
  const char* end = begin + trimmed.size();
  if (begin != end && *begin == '+') ++begin;
  auto [ptr, error] = std::from_chars(begin, end, value);
  if (trimmed.empty() || error != std::errc() || ptr != end)
    throw Exception("'" + trimmed + "' is not a valid integer value (" + std::string(where) + ")");
  return value;
}

// "." as the decimal separator first, then the process's own; false when
// neither reads the whole text.
bool ParseFloat(std::string_view text, double& value) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return false;
  if (ParseCNumber(trimmed, value)) return true;
  char* end = nullptr;
  const double local = std::strtod(trimmed.c_str(), &end);
  if (end == trimmed.c_str() + trimmed.size()) {
    value = local;
    return true;
  }
  return false;
}

std::string FloatText(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17E", value);
  return text;
}

std::string ItemName(size_t index) { return "Item" + std::to_string(index); }

// The element children of a node, in order.
std::vector<pugi::xml_node> ElementChildren(pugi::xml_node node) {
  std::vector<pugi::xml_node> children;
  for (pugi::xml_node child : node.children())
    if (child.type() == pugi::node_element) children.push_back(child);
  return children;
}

size_t CountAttribute(pugi::xml_node node, size_t available, std::string_view where) {
  pugi::xml_attribute count = node.attribute("Count");
  if (!count) return 0;
  const int64_t value = ParseInteger(count.value(), where);
  return value <= 0 ? 0 : std::min(static_cast<size_t>(value), available);
}

// ---------------------------------------------------------------------------
// Properties

const char* VariantTypeName(TVariant::Type type) {
  static const char* const kNames[] = {"Null", "Integer", "Float", "String", "Boolean", "Date"};
  return kNames[type];
}

void SaveVariant(const TVariant& value, pugi::xml_node node) {
  node.append_attribute("Type").set_value(VariantTypeName(value.GetType()));
  switch (value.GetType()) {
    case TVariant::vtNull:
      return;
    case TVariant::vtInteger:
      node.text().set(std::to_string(value.AsInteger()).c_str());
      return;
    case TVariant::vtFloat:
    case TVariant::vtDate:
      node.text().set(FloatText(value.AsFloat()).c_str());
      return;
    case TVariant::vtString:
      SetText(node, value.AsString());
      return;
    case TVariant::vtBoolean:
      node.text().set(value.AsBoolean() ? "True" : "False");
      return;
  }
}

TVariant LoadVariant(pugi::xml_node node, const std::string& where) {
  const std::string type = node.attribute("Type").value();
  const std::string text = NodeText(node, where);
  double number = 0;
  if (SameText(type, "Integer")) return TVariant::Integer(ParseInteger(text, where));
  if (SameText(type, "Float") || SameText(type, "Date")) {
    if (!ParseFloat(text, number))
      throw Exception("'" + text + "' is not a valid floating point value (" + where + ")");
    return SameText(type, "Date") ? TVariant::Date(number) : TVariant::Float(number);
  }
  if (SameText(type, "String")) return TVariant::String(text);
  if (SameText(type, "Boolean")) return TVariant::Boolean(SameText(text, "True"));
  if (SameText(type, "Null") || type.empty()) return TVariant();
  throw Exception("Unknown value type \"" + type + "\" (" + where + ")");
}

void SaveProperty(const TPublishedObject& object, const TPublishedProperty& property, pugi::xml_node parent) {
  const std::string name = property.Name();
  switch (property.Kind()) {
    case pkString: {
      const std::string value = property.GetString(object);
      if (!value.empty()) SetText(parent.append_child(name.c_str()), value);
      return;
    }
    case pkInteger:
    case pkInt64:
      if (!property.IsDefault(object))
        parent.append_child(name.c_str()).text().set(std::to_string(property.GetOrdinal(object)).c_str());
      return;
    case pkBoolean:
    case pkEnumeration:
      if (!property.IsDefault(object)) {
        const int64_t ordinal = property.GetOrdinal(object);
        const auto& names = property.ValueNames();
        const std::string text = ordinal >= 0 && static_cast<size_t>(ordinal) < names.size()
                                     ? names[static_cast<size_t>(ordinal)]
                                     : std::to_string(ordinal);
        parent.append_child(name.c_str()).text().set(text.c_str());
      }
      return;
    case pkFloat:
      parent.append_child(name.c_str()).text().set(FloatText(property.GetFloat(object)).c_str());
      return;
    case pkVariant:
      SaveVariant(property.GetVariant(object), parent.append_child(name.c_str()));
      return;
    case pkStringList: {
      const TStrings& lines = *property.Strings(object);
      pugi::xml_node node = parent.append_child(name.c_str());
      node.append_attribute("Count").set_value(std::to_string(lines.Count()).c_str());
      for (size_t i = 0; i < lines.Count(); ++i) SetText(node.append_child(ItemName(i).c_str()), lines[i]);
      return;
    }
    case pkCollection: {
      const TPublishedCollection& items = *property.Collection(object);
      pugi::xml_node node = parent.append_child(name.c_str());
      node.append_attribute("Count").set_value(std::to_string(items.Count()).c_str());
      for (size_t i = 0; i < items.Count(); ++i)
        SavePropertiesToXml(items.Item(i), node.append_child(ItemName(i).c_str()));
      return;
    }
    case pkObject:
      if (const TPublishedObject* nested = property.Object(object))
        SavePropertiesToXml(*nested, parent.append_child(name.c_str()));
      return;
  }
}

void LoadProperty(TPublishedObject& object, const TPublishedProperty& property, pugi::xml_node parent) {
  const std::string& name = property.Name();
  pugi::xml_node node = parent.child(name.c_str());
  switch (property.Kind()) {
    case pkString:
      property.SetString(object, node ? NodeText(node, name) : std::string());
      return;
    case pkInteger:
    case pkInt64:
    case pkBoolean:
    case pkEnumeration: {
      if (!node) return property.SetToDefault(object);
      const std::string text = Trim(NodeText(node, name));
      int64_t value;
      if (property.Kind() == pkInteger || property.Kind() == pkInt64) {
        value = ParseInteger(text, name);
      } else {
        value = property.ValueOfName(text);
        if (value < 0) throw Exception("'" + text + "' is not a valid value of " + name);
      }
      if (!property.SetOrdinal(object, value)) throw Exception("'" + text + "' is out of the range of " + name);
      return;
    }
    case pkFloat: {
      double value;
      if (node && ParseFloat(NodeText(node, name), value)) property.SetFloat(object, value);
      return;
    }
    case pkVariant:
      if (node) property.SetVariant(object, LoadVariant(node, name));
      return;
    case pkStringList: {
      if (!node) return;
      TStrings lines;
      const std::vector<pugi::xml_node> items = ElementChildren(node);
      const size_t count = node.attribute("Count") ? CountAttribute(node, items.size(), name) : items.size();
      for (size_t i = 0; i < count; ++i) lines.Add(NodeText(items[i], name));
      *property.Strings(object) = std::move(lines);
      return;
    }
    case pkCollection: {
      if (!node) return;
      TPublishedCollection& collection = *property.Collection(object);
      const std::vector<pugi::xml_node> items = ElementChildren(node);
      const size_t count = node.attribute("Count") ? CountAttribute(node, items.size(), name) : items.size();
      for (size_t i = 0; i < count; ++i) LoadPropertiesFromXml(collection.Add(), items[i]);
      return;
    }
    case pkObject:
      if (TPublishedObject* nested = property.Object(object); nested != nullptr && node)
        LoadPropertiesFromXml(*nested, node);
      return;
  }
}

// ---------------------------------------------------------------------------
// Elements

// A list an element writes as a child, and the model's master list its
// elements are read into.
struct TNestedList {
  const TElementClass& (*owner_class)();
  const char* child_name;
  T_V_AbstractDataList& (*own)(const T_V_DataElement&);
  T_V_AbstractDataList& (*master)(TInetMgrModel&);
};

template <class Owner, class List, List& (Owner::*Own)() const>
T_V_AbstractDataList& OwnList(const T_V_DataElement& element) {
  return (static_cast<const Owner&>(element).*Own)();
}
template <class List, List& (TInetMgrModel::*Master)() const>
T_V_AbstractDataList& MasterList(TInetMgrModel& model) {
  return (model.*Master)();
}

const TNestedList kNestedLists[] = {
    {&TApplicationType::StaticClass, "ParamTypeDefs",
     &OwnList<TApplicationType, TParamTypeDefsList, &TApplicationType::ParamTypeDefs>,
     &MasterList<TParamTypeDefsList, &TInetMgrModel::ParamTypeDefs>},
    {&TApplicationType::StaticClass, "ApplicationRoles",
     &OwnList<TApplicationType, TApplicationRolesList, &TApplicationType::ApplicationRoles>,
     &MasterList<TApplicationRolesList, &TInetMgrModel::ApplicationRoles>},
    {&TApplicationRole::StaticClass, "EvidenceItems",
     &OwnList<TApplicationRole, TEvidenceItemsList, &TApplicationRole::EvidenceItems>,
     &MasterList<TEvidenceItemsList, &TInetMgrModel::EvidenceItems>},
    {&TEvidenceItem::StaticClass, "ParamDefs", &OwnList<TEvidenceItem, TParamDefsList, &TEvidenceItem::ParamDefs>,
     &MasterList<TParamDefsList, &TInetMgrModel::ParamDefs>},
    {&TEvidenceItem::StaticClass, "EvidenceDetailPages",
     &OwnList<TEvidenceItem, TEvidenceItemDetailPagesList, &TEvidenceItem::DetailPages>,
     &MasterList<TEvidenceItemDetailPagesList, &TInetMgrModel::EvidenceItemDetailPages>},
    {&TEvidenceItem::StaticClass, "EvidenceActions",
     &OwnList<TEvidenceItem, TEvidenceItemActionsList, &TEvidenceItem::Actions>,
     &MasterList<TEvidenceItemActionsList, &TInetMgrModel::EvidenceItemActions>},
    {&TEvidenceItem::StaticClass, "EvidenceDetailSwitches",
     &OwnList<TEvidenceItem, TEvidenceItemDetailPageSwitchesList, &TEvidenceItem::DetailPageSwitches>,
     &MasterList<TEvidenceItemDetailPageSwitchesList, &TInetMgrModel::EvidenceItemDetailPageSwitches>},
};

constexpr const char* kEditorOptionsChild = "ParamEditorOptions";
constexpr const char* kListTemplateChild = "ProducerTemplate";
constexpr const char* kDetailListTemplateChild = "DetailListProducerTemplate";

// Writes elements and remembers which it wrote, so that the complete form
// can add those no application type reaches.
class TXmlWriter {
 public:
  explicit TXmlWriter(const TXmlOptions& options) : options_(options) {}

  void Element(const T_V_DataElement& element, pugi::xml_node node) {
    written_.insert(&element);
    SavePropertiesToXml(element, node);
    for (const TNestedList& nested : kNestedLists)
      if (&element.ClassType() == &nested.owner_class())
        List(nested.own(element), node.append_child(nested.child_name), nullptr);
    if (const auto* type = dynamic_cast<const TParamTypeDef*>(&element)) {
      if (const TPublishedObject* editor_options = EditorOptionsOf(*type))
        SavePropertiesToXml(*editor_options, node.append_child(kEditorOptionsChild));
    }
    if (!options_.complete) return;
    if (const auto* item = dynamic_cast<const TEvidenceItem*>(&element)) {
      if (const TPublishedObject* list_template = ListTemplateOf(*item))
        SavePropertiesToXml(*list_template, node.append_child(kListTemplateChild));
    } else if (const auto* page = dynamic_cast<const TEvidenceItemDetailPage*>(&element)) {
      if (const TPublishedObject* detail_template = DetailListTemplateOf(*page))
        SavePropertiesToXml(*detail_template, node.append_child(kDetailListTemplateChild));
    }
  }

  void List(const T_V_AbstractDataList& list, pugi::xml_node node, const T_V_DataElement* single) {
    std::vector<const T_V_DataElement*> elements;
    if (single != nullptr)
      elements.push_back(single);
    else
      list.ForEach([&elements](const T_V_DataElement* e) { elements.push_back(e); });
    WriteElements(list.ElementClassName(), list.SortBeforeXmlSave && single == nullptr, elements, node);
  }

  // The elements of `list` not written so far, as a list node named `name`
  // under `parent`; nothing when there are none.
  void Unwritten(const T_V_AbstractDataList& list, pugi::xml_node parent, const char* name) {
    std::vector<const T_V_DataElement*> elements;
    list.ForEach([&](const T_V_DataElement* e) {
      if (!written_.count(e)) elements.push_back(e);
    });
    if (!elements.empty())
      WriteElements(list.ElementClassName(), list.SortBeforeXmlSave, elements, parent.append_child(name));
  }

 private:
  void WriteElements(const std::string& class_name, bool sort, std::vector<const T_V_DataElement*>& elements,
                     pugi::xml_node node) {
    node.append_attribute("ElementClass").set_value(class_name.c_str());
    node.append_attribute("Count").set_value(std::to_string(elements.size()).c_str());
    // Sorted on a copy: writing never reorders the model's lists.
    if (sort)
      std::stable_sort(elements.begin(), elements.end(), [](const T_V_DataElement* a, const T_V_DataElement* b) {
        return a->InstanceID < b->InstanceID;
      });
    const std::string child_name =
        !class_name.empty() && (class_name[0] == 'T' || class_name[0] == 't') ? class_name.substr(1) : class_name;
    for (const T_V_DataElement* element : elements) Element(*element, node.append_child(child_name.c_str()));
  }

  const TXmlOptions& options_;                          // what the form includes
  std::unordered_set<const T_V_DataElement*> written_;  // elements written so far
};

void SaveConnection(const TConnectionManager& connection, pugi::xml_node node, bool complete) {
  node.append_attribute("CommandTimeout").set_value(std::to_string(connection.CommandTimeout).c_str());
  node.append_attribute("RW_ConnectionString").set_value(ToXml(connection.RW_ConnectionString).c_str());
  node.append_attribute("R_ConnectionString").set_value(ToXml(connection.R_ConnectionString).c_str());
  if (complete) node.append_attribute("SupportsCatalogs").set_value(connection.SupportsCatalogs ? "True" : "False");
}

void LoadConnection(TConnectionManager& connection, pugi::xml_node node) {
  if (pugi::xml_attribute timeout = node.attribute("CommandTimeout")) {
    const int64_t value = ParseInteger(timeout.value(), "CommandTimeout");
    if (value < INT32_MIN || value > INT32_MAX) throw Exception("CommandTimeout is out of range");
    connection.CommandTimeout = static_cast<int>(value);
  }
  connection.RW_ConnectionString = FromXml(node.attribute("RW_ConnectionString").value(), "RW_ConnectionString");
  connection.R_ConnectionString = FromXml(node.attribute("R_ConnectionString").value(), "R_ConnectionString");
  if (pugi::xml_attribute catalogs = node.attribute("SupportsCatalogs"))
    connection.SupportsCatalogs = SameText(Trim(catalogs.value()), "True");
}

// Children named "Connection" go to `connection`; children with an
// ElementClass attribute go to the model's list of that class.
void LoadModelPart(TInetMgrModel& model, TConnectionManager& connection, pugi::xml_node node,
                   const TXmlOptions& options) {
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    if (SameText(child.name(), "Connection")) {
      LoadConnection(connection, child);
      continue;
    }
    pugi::xml_attribute element_class = child.attribute("ElementClass");
    if (!element_class) continue;
    for (int l = 0; l < model.ListCount(); ++l) {
      T_V_AbstractDataList& list = *model.ListAt(l);
      if (!list.Fixed && SameText(list.ElementClassName(), element_class.value())) {
        LoadListFromXml(list, model, child, options);
        break;
      }
    }
  }
}

// The definitions: the connection settings, the application types with
// everything they reach, and in the complete form the elements they do not.
void SaveDefinitions(const TInetMgrModel& model, const TConnectionManager& connection, pugi::xml_node node,
                     const TXmlOptions& options) {
  SaveConnection(connection, node.append_child("Connection"), options.complete);
  TXmlWriter writer(options);
  writer.List(model.ApplicationTypes(), node.append_child("ApplicationTypes"), nullptr);
  if (!options.complete) return;
  for (T_V_AbstractDataList* list : std::initializer_list<T_V_AbstractDataList*>{
           &model.ParamTypeDefs(), &model.ApplicationRoles(), &model.EvidenceItems(), &model.ParamDefs(),
           &model.EvidenceItemDetailPages(), &model.EvidenceItemActions(), &model.EvidenceItemDetailPageSwitches()})
    writer.Unwritten(*list, node, "Unattached");
}

}  // namespace

// ---------------------------------------------------------------------------
// Interface

void SavePropertiesToXml(const TPublishedObject& object, pugi::xml_node node) {
  for (const auto& property : object.PublishedProperties().Properties()) SaveProperty(object, *property, node);
}

void LoadPropertiesFromXml(TPublishedObject& object, pugi::xml_node node) {
  for (const auto& property : object.PublishedProperties().Properties()) LoadProperty(object, *property, node);
}

void SaveElementToXml(const T_V_DataElement& element, pugi::xml_node node, const TXmlOptions& options) {
  TXmlWriter(options).Element(element, node);
}

void LoadElementFromXml(T_V_DataElement& element, TInetMgrModel& model, pugi::xml_node node,
                        const TXmlOptions& options) {
  element.SetModelCache(&model);
  LoadPropertiesFromXml(element, node);
  for (const TNestedList& nested : kNestedLists)
    if (&element.ClassType() == &nested.owner_class())
      LoadListFromXml(nested.master(model), model, node.child(nested.child_name), options);
  if (auto* type = dynamic_cast<TParamTypeDef*>(&element)) {
    TPublishedObject* editor_options = BindEditorOptions(*type);
    if (pugi::xml_node child = node.child(kEditorOptionsChild); child && editor_options != nullptr)
      LoadPropertiesFromXml(*editor_options, child);
  }
  if (!options.complete) return;
  if (auto* item = dynamic_cast<TEvidenceItem*>(&element)) {
    if (pugi::xml_node child = node.child(kListTemplateChild); child && ListTemplateOf(*item) != nullptr)
      LoadPropertiesFromXml(*ListTemplateOf(*item), child);
  } else if (auto* page = dynamic_cast<TEvidenceItemDetailPage*>(&element)) {
    if (pugi::xml_node child = node.child(kDetailListTemplateChild); child && DetailListTemplateOf(*page) != nullptr)
      LoadPropertiesFromXml(*DetailListTemplateOf(*page), child);
  }
}

void SaveListToXml(const T_V_AbstractDataList& list, pugi::xml_node node, const T_V_DataElement* single,
                   const TXmlOptions& options) {
  TXmlWriter(options).List(list, node, single);
}

void LoadListFromXml(T_V_AbstractDataList& list, TInetMgrModel& model, pugi::xml_node node,
                     const TXmlOptions& options) {
  const TElementClass* element_class = list.ElementClass();
  if (!node || element_class == nullptr) return;
  const std::vector<pugi::xml_node> children = ElementChildren(node);
  const size_t count = CountAttribute(node, children.size(), node.name());
  for (size_t i = 0; i < count; ++i) {
    const std::string id = NodeText(children[i].child("InstanceID"), "InstanceID");
    if (T_V_DataElement* existing = list.FindByInstanceID(id)) existing->Delete();
    std::unique_ptr<T_V_DataElement> element = element_class->Create();
    LoadElementFromXml(*element, model, children[i], options);
    list.AddNew(std::move(element));
  }
}

void SaveModelToXml(const TInetMgrModel& model, const TConnectionManager& connection, pugi::xml_node node,
                    const TXmlOptions& options) {
  if (model.Mode == TInetMgrModel::kDefinitionsMode) SaveDefinitions(model, connection, node, options);
}

void LoadModelFromXml(TInetMgrModel& model, TConnectionManager& connection, pugi::xml_node node,
                      const TXmlOptions& options) {
  if (model.Mode != TInetMgrModel::kDefinitionsMode) return;
  LoadModelPart(model, connection, node, options);
}

std::string SaveModelDocument(const TInetMgrModel& model, const TConnectionManager& definition,
                              const TConnectionManager& user) {
  const TXmlOptions complete{true};
  pugi::xml_document document;
  pugi::xml_node root = document.append_child("TessaroModel");
  root.append_attribute("Format").set_value("1");
  SaveDefinitions(model, definition, root.append_child("Definitions"), complete);
  pugi::xml_node users = root.append_child("UserData");
  SaveConnection(user, users.append_child("Connection"), true);
  TXmlWriter writer(complete);
  writer.List(model.UserAccounts(), users.append_child("UserAccounts"), nullptr);
  writer.List(model.UserOverridesApplicationRole(), users.append_child("RoleOverrides"), nullptr);
  writer.List(model.UserOverridesEvidenceItem(), users.append_child("EvidenceOverrides"), nullptr);
  // A CR inside a text is written as a character reference: pugixml writes
  // it as it is, which XML readers turn (with a following LF) into a LF.
  // pugixml itself writes no CR, so every one comes from a text.
  struct TStringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
      for (const char c : std::string_view(static_cast<const char*>(data), size)) {
        if (c == '\r')
          text += "&#13;";
        else
          text += c;
      }
    }
  } out;
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.text;
}

void LoadModelDocument(std::string_view text, TInetMgrModel& model, TConnectionManager& definition,
                       TConnectionManager& user) {
  pugi::xml_document document;
  // Whitespace-only texts are values too, and line breaks inside values are
  // kept as they are.
  const unsigned flags = (pugi::parse_default & ~pugi::parse_eol) | pugi::parse_ws_pcdata_single;
  pugi::xml_parse_result parsed = document.load_buffer(text.data(), text.size(), flags, pugi::encoding_utf8);
  if (!parsed) {
    const size_t line = 1 + static_cast<size_t>(std::count(
                                text.begin(), text.begin() + std::min<size_t>(parsed.offset, text.size()), '\n'));
    throw Exception("Malformed XML at line " + std::to_string(line) + ": " + parsed.description());
  }
  pugi::xml_node root = document.document_element();
  const TXmlOptions complete{true};
  {
    TModelStateScope loading(model, msLoading);
    model.ClearAll();
    if (SameText(root.name(), "TessaroModel")) {
      LoadModelPart(model, definition, root.child("Definitions"), complete);
      LoadModelPart(model, user, root.child("UserData"), complete);
    } else {
      LoadModelPart(model, definition, root, complete);
    }
  }
  model.LinkAll();
  model.Modified = false;
}

}  // namespace tessaro
