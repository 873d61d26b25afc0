// Visitors of published properties: copy values between an object's
// published properties and a store (another object, an INI section, a
// name=value list), property by property in alphabetical order.
//
// Text forms in the stores: ordinals as decimal digits (enumerations and
// booleans may also be given by value name, "True"/"False" for booleans);
// floats with "." as decimal separator; string lists as the Base64 of their
// text (lines joined by CR LF). A name the store does not hold leaves the
// property as it is, and text a property cannot take (a negative number, an
// unknown value name, a number beyond the property's range) leaves it as it is
// too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ini_file.h"
#include "settings/published.h"
#include "util/string_list.h"

namespace tessaro {

// Base of all visitors: the kinds it is handed and the one operation.
class tPublishedPropertyVisitor {
 public:
  // Visits every kind: ordinal, string, float, object and variant.
  tPublishedPropertyVisitor();
  virtual ~tPublishedPropertyVisitor() = default;

  bool VisitsKind(TPropertyKind kind) const { return (kinds_ & (1u << kind)) != 0; }
  // Called once per property of `object`, `name` and `kind` being the property's.
  virtual void Visit(TPublishedObject& object, const TPublishedProperty& property, const std::string& name,
                     TPropertyKind kind) = 0;

 protected:
  uint32_t kinds_;  // one bit per TPropertyKind that Accept hands to Visit
};

// Copies from a source object every property that the source publishes under
// the same name with the same kind. String lists copy their lines,
// collections their items (the destination's are replaced), nested objects
// their properties.
class tAssignVisitor : public tPublishedPropertyVisitor {
 public:
  explicit tAssignVisitor(const TPublishedObject& source) : source_(source) {}
  void Visit(TPublishedObject& object, const TPublishedProperty& property, const std::string& name,
             TPropertyKind kind) override;

 private:
  const TPublishedObject& source_;  // where the values come from
};

// Writes each property as name=text into a list (an empty text removes the
// name). Floats use the regional settings; string lists are written only when
// `include_lists` is set; variants, collections and nested objects are not written.
class tWriteStringsVisitor : public tPublishedPropertyVisitor {
 public:
  tWriteStringsVisitor(TStrings& list, bool include_lists) : list_(list), include_lists_(include_lists) {}
  void Visit(TPublishedObject& object, const TPublishedProperty& property, const std::string& name,
             TPropertyKind kind) override;

 private:
  TStrings& list_;      // the list written to
  bool include_lists_;  // whether string lists are written
};

// Reads each property from a section of an INI file, the current value being
// the default; since an empty INI value reads as the default, it never clears
// a property. Variants, collections and nested objects are not read.
class tReadIniVisitor : public tPublishedPropertyVisitor {
 public:
  tReadIniVisitor(const TZNKIniFile& ini, std::string section) : ini_(ini), section_(std::move(section)) {}
  void Visit(TPublishedObject& object, const TPublishedProperty& property, const std::string& name,
             TPropertyKind kind) override;

 private:
  const TZNKIniFile& ini_;  // the file read from
  std::string section_;     // the section read from
};

// Reads each property from the list's first entry of that name (letter case
// ignored), trimmed; an empty value leaves the property unchanged. String
// lists are read only when `include_lists` is set; variants, collections and
// nested objects are not read.
class tReadStringsVisitor : public tPublishedPropertyVisitor {
 public:
  tReadStringsVisitor(const TStrings& list, bool include_lists) : list_(list), include_lists_(include_lists) {}
  void Visit(TPublishedObject& object, const TPublishedProperty& property, const std::string& name,
             TPropertyKind kind) override;

 private:
  const TStrings& list_;  // the list read from
  bool include_lists_;    // whether string lists are read
};

// Runs `visitor` over `object`: through the object's own Accept when it
// implements IZNVisited, else through a temporary tZNImplementsVisited.
void AcceptVisitor(TPublishedObject& object, tPublishedPropertyVisitor& visitor);

// The operations the rest of the system uses; each runs one visitor.
void AssignPublished(TPublishedObject& destination, const TPublishedObject& source);
void ReadPublishedFromIni(TPublishedObject& object, const TZNKIniFile& ini, std::string_view section);
void WritePublishedToStrings(const TPublishedObject& object, TStrings& list, bool include_lists);
void ReadPublishedFromStrings(TPublishedObject& object, const TStrings& list, bool include_lists);

// Stores the text form of an ordinal: decimal digits that fit 64 bits, else a
// value name of the property. Returns false, the property unchanged, when the
// text is neither or the number is outside the property's range.
bool StoreOrdinalText(TPublishedObject& object, const TPublishedProperty& property, std::string_view text);

}  // namespace tessaro
