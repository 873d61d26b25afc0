// TParameter and TParameters: the parameters of one statement, in the order
// their markers appear in the SQL text sent to the database.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/dataset.h"
#include "settings/published.h"

namespace tessaro {

enum TParameterDirection { pdUnknown, pdInput, pdOutput, pdInputOutput, pdReturnValue };

// Whether the database writes the parameter back (output, input-output or
// return value).
bool IsOutputDirection(TParameterDirection direction);

struct TParameter {
  std::string Name;                         // as written after the colon, type suffix included
  TFieldType DataType = TFieldType::ftUnknown;  // ftUnknown: bound by the kind of Value
  TParameterDirection Direction = pdInput;  // how the value travels
  int Size = 0;          // characters of text, bytes of binary values written back; 0: a default
  int Precision = 0;     // digits of a decimal (0..255)
  int NumericScale = 0;  // digits after the point of a decimal
  TVariant Value;        // null until bound; binary values are bytes in a text
  // Binary content kept by its owner (an uploaded file inside the request
  // body), bound in place of Value without being copied; the owner must
  // outlive every run of the statement. Only input parameters use it.
  std::optional<std::string_view> HeldBytes;
};

class TParameters {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TParameter& operator[](int index) { return items_.at(index); }
  const TParameter& operator[](int index) const { return items_.at(index); }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  // Appends a parameter and returns it (valid until the next Add or Clear).
  TParameter& Add(TParameter parameter);
  void Clear() { items_.clear(); }

  // The first parameter with this full name (letter case ignored), or null.
  TParameter* FindParam(std::string_view name);
  // The same; throws Exception "Parameter 'NAME' not found" when there is none.
  TParameter& ParamByName(std::string_view name);

 private:
  std::vector<TParameter> items_;  // in marker order
};

}  // namespace tessaro
