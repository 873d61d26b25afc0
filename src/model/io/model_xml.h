// The XML form of the model.
//
// The element form: every stored property is a child element named like the
// property (texts when not empty, ordinals when not at their default, floats
// in scientific notation, text lists and collections with a Count attribute
// and children Item0, Item1 ..., nested objects as nested children); the
// elements of an application type, a role and an evidence item follow as
// list nodes (ElementClass and Count attributes, one child per element named
// after its class without the leading "T"), and a parameter type's editor
// options as "ParamEditorOptions". The model writes its definition
// connection settings ("Connection") and its application types.
//
// The complete form for administrators (SaveModelDocument) wraps that in a
// <TessaroModel> document with a <Definitions> part (the element form plus
// SupportsCatalogs, the table templates "ProducerTemplate" and
// "DetailListProducerTemplate", and "Unattached" lists of the elements no
// application type reaches) and a <UserData> part (the user connection
// settings, the accounts with their parameter values, the role and evidence
// overrides). A document in the element form alone reads as the definitions.
//
// Texts are UTF-8 in the document and windows-1250 in the model.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace tessaro {

class T_V_AbstractDataList;
class T_V_DataElement;
class TConnectionManager;
class TInetMgrModel;
class TPublishedObject;

struct TXmlOptions {
  bool complete = false;  // also the table templates and the unattached elements
};

// The stored properties of `object` as children of `node`. Reading: a
// missing text child empties the text, a missing ordinal child restores the
// declared default, missing floats, lists, collections and nested objects
// stay as they are; collections gain the items read. Throws Exception for a
// malformed integer, an unknown value name or text that is not UTF-8.
void SavePropertiesToXml(const TPublishedObject& object, pugi::xml_node node);
void LoadPropertiesFromXml(TPublishedObject& object, pugi::xml_node node);

// An element's properties and its lists (and, for parameter types, editor
// options). Reading puts the nested elements into the model's master lists;
// the caller links the model afterwards.
void SaveElementToXml(const T_V_DataElement& element, pugi::xml_node node, const TXmlOptions& options = {});
void LoadElementFromXml(T_V_DataElement& element, TInetMgrModel& model, pugi::xml_node node,
                        const TXmlOptions& options = {});

// A list into `node`: all elements (in InstanceID order when the list sorts
// before saving), or only `single` when given. Reading replaces an element
// of the same InstanceID (deleting it with its dependents) and adds the new
// one to `list`.
void SaveListToXml(const T_V_AbstractDataList& list, pugi::xml_node node, const T_V_DataElement* single = nullptr,
                   const TXmlOptions& options = {});
void LoadListFromXml(T_V_AbstractDataList& list, TInetMgrModel& model, pugi::xml_node node,
                     const TXmlOptions& options = {});

// The model's definitions ("Connection" from `connection`, then the
// application types); only in definitions mode, nothing in user-data mode.
void SaveModelToXml(const TInetMgrModel& model, const TConnectionManager& connection, pugi::xml_node node,
                    const TXmlOptions& options = {});
void LoadModelFromXml(TInetMgrModel& model, TConnectionManager& connection, pugi::xml_node node,
                      const TXmlOptions& options = {});

// The complete form of both files as a UTF-8 document.
std::string SaveModelDocument(const TInetMgrModel& model, const TConnectionManager& definition,
                              const TConnectionManager& user);
// Reads a document of the complete form (or of the element form alone) into
// `model`, which is cleared first, and links it; the after-load step, which
// fails for parts whose owner is missing, is left to the caller. Throws
// Exception naming the line of malformed XML.
void LoadModelDocument(std::string_view document, TInetMgrModel& model, TConnectionManager& definition,
                       TConnectionManager& user);

}  // namespace tessaro
