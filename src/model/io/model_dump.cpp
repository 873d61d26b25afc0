// The readable listing of a model. Every value is written on one line in a
// form that tells its kind (texts quoted, with control characters escaped),
// so two models list alike exactly when their stored content is alike.
#include "model/io/model_dump.h"

#include <cstdio>

#include "model/abstract_data_list.h"
#include "model/connection_manager.h"
#include "model/evidence_item.h"
#include "model/evidence_item_detail_page.h"
#include "model/inet_mgr_model.h"
#include "model/io/stored_parts.h"
#include "model/param_type_def.h"
#include "settings/published.h"

namespace tessaro {
namespace {

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string FloatText(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string VariantText(const TVariant& value) {
  switch (value.GetType()) {
    case TVariant::vtNull:
      return "Null";
    case TVariant::vtInteger:
      return "Integer " + std::to_string(value.AsInteger());
    case TVariant::vtFloat:
      return "Float " + FloatText(value.AsFloat());
    case TVariant::vtString:
      return "String " + Quoted(value.AsString());
    case TVariant::vtBoolean:
      return value.AsBoolean() ? "Boolean True" : "Boolean False";
    case TVariant::vtDate:
      return "Date " + FloatText(value.AsFloat());
  }
  return {};
}

void Line(std::string& out, std::string_view indent, const std::string& name, const std::string& value) {
  out.append(indent).append(name).append(" = ").append(value).append("\n");
}

void DumpProperty(const TPublishedObject& object, const TPublishedProperty& property, const std::string& name,
                  std::string_view indent, std::string& out) {
  if (property.Kind() == pkObject) {
    if (const TPublishedObject* nested = property.Object(object)) DumpProperties(*nested, name + ".", indent, out);
    return;
  }
  if (property.IsDefault(object)) return;
  switch (property.Kind()) {
    case pkInteger:
    case pkInt64:
      return Line(out, indent, name, std::to_string(property.GetOrdinal(object)));
    case pkBoolean:
    case pkEnumeration: {
      const int64_t ordinal = property.GetOrdinal(object);
      const auto& names = property.ValueNames();
      return Line(
          out, indent, name,
          ordinal >= 0 && static_cast<size_t>(ordinal) < names.size() ? names[ordinal] : std::to_string(ordinal));
    }
    case pkString:
      return Line(out, indent, name, Quoted(property.GetString(object)));
    case pkFloat:
      return Line(out, indent, name, FloatText(property.GetFloat(object)));
    case pkVariant:
      return Line(out, indent, name, VariantText(property.GetVariant(object)));
    case pkStringList: {
      const TStrings& lines = *property.Strings(object);
      for (size_t i = 0; i < lines.Count(); ++i)
        Line(out, indent, name + "[" + std::to_string(i) + "]", Quoted(lines[i]));
      return;
    }
    case pkCollection: {
      const TPublishedCollection& items = *property.Collection(object);
      for (size_t i = 0; i < items.Count(); ++i) {
        const std::string item_name = name + "[" + std::to_string(i) + "]";
        const size_t before = out.size();
        DumpProperties(items.Item(i), item_name + ".", indent, out);
        // An item at all its defaults still counts.
        if (out.size() == before) Line(out, indent, item_name, "(defaults)");
      }
      return;
    }
    case pkObject:
      return;
  }
}

}  // namespace

void DumpProperties(const TPublishedObject& object, std::string_view prefix, std::string_view indent,
                    std::string& out) {
  for (const auto& property : object.PublishedProperties().Properties())
    DumpProperty(object, *property, std::string(prefix) + property->Name(), indent, out);
}

std::string DumpElement(const T_V_DataElement& element) {
  std::string out = element.ClassName() + " " + element.InstanceID + "\n";
  DumpProperties(element, "", "  ", out);
  if (const auto* item = dynamic_cast<const TEvidenceItem*>(&element)) {
    if (const TPublishedObject* list_template = ListTemplateOf(*item))
      DumpProperties(*list_template, "ProducerTemplate.", "  ", out);
  } else if (const auto* page = dynamic_cast<const TEvidenceItemDetailPage*>(&element)) {
    if (const TPublishedObject* detail_template = DetailListTemplateOf(*page))
      DumpProperties(*detail_template, "DetailListProducerTemplate.", "  ", out);
  } else if (const auto* type = dynamic_cast<const TParamTypeDef*>(&element)) {
    if (const TPublishedObject* options = EditorOptionsOf(*type)) DumpProperties(*options, "EditorOptions.", "  ", out);
  }
  for (int l = 0; l < element.ListCount(); ++l) {
    const T_V_AbstractDataList& list = *element.ListAt(l);
    if (list.Count() == 0) continue;
    out += "  -> " + list.ElementClassName() + ":";
    list.ForEach([&out](const T_V_DataElement* e) { out += " " + e->InstanceID; });
    out += "\n";
  }
  return out;
}

std::string DumpList(const T_V_AbstractDataList& list) {
  std::string out = "== " + list.ElementClassName() + " (" + std::to_string(list.Count()) + ")\n";
  list.ForEach([&out](const T_V_DataElement* e) { out += DumpElement(*e); });
  return out;
}

std::string DumpModel(const TInetMgrModel& model) {
  std::string out;
  for (int l = 0; l < model.ListCount(); ++l)
    if (!model.ListAt(l)->Fixed) out += DumpList(*model.ListAt(l));
  return out;
}

std::string DumpConnection(std::string_view heading, const TConnectionManager& connection) {
  std::string out = "== " + std::string(heading) + "\n";
  // CommandTimeout has no default and is always listed; the identifier
  // means nothing for connection settings.
  std::string properties;
  DumpProperties(connection, "", "  ", properties);
  for (size_t at = 0; at < properties.size();) {
    const size_t end = properties.find('\n', at) + 1;
    if (properties.compare(at, 13, "  InstanceID ") != 0) out.append(properties, at, end - at);
    at = end;
  }
  return out;
}

}  // namespace tessaro
