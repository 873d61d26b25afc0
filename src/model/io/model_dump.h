// A readable listing of a model: every element with its stored properties
// (those that differ from their defaults), the objects stored beside it and
// the elements its lists hold. The administrators' tool prints it, and tests
// compare two models by it. Text is windows-1250, like the model's.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

class T_V_AbstractDataList;
class T_V_DataElement;
class TConnectionManager;
class TInetMgrModel;
class TPublishedObject;

// Appends one line "<indent><prefix><name> = <value>" per property of
// `object` that is not at its declared default: nested objects by dotted
// names, string lists and collections item by item with "[index]".
void DumpProperties(const TPublishedObject& object, std::string_view prefix, std::string_view indent, std::string& out);

// The element's class and InstanceID, its properties, its table templates
// or editor options, and the identifiers in each of its own lists.
std::string DumpElement(const T_V_DataElement& element);

// A heading with the list's element class and count, then every element.
std::string DumpList(const T_V_AbstractDataList& list);

// Every master list of the model but the built-in parameter editors.
std::string DumpModel(const TInetMgrModel& model);

// The connection settings under a heading.
std::string DumpConnection(std::string_view heading, const TConnectionManager& connection);

}  // namespace tessaro
