// Published properties: descriptor tables, the visited objects and access by
// dotted path.
//
// Each class builds its property table once, the first time it is asked for
// it: the base class's table is copied and the class's own declarations are
// merged in by name, so the table of a derived class is its base's plus its
// own, in one alphabetical order, with re-declared names replaced. Tables are
// shared by all objects of the class and never change afterwards.
//
// A descriptor reads and writes its property on any object of its class
// through a member pointer or accessor captured at declaration; the object is
// handed over as a TPublishedObject and cast back to the declaring class,
// which is safe because a descriptor is only ever found through the table of
// the object's own class, and that table holds only descriptors of the class
// and its bases.
#include "settings/published.h"

#include <algorithm>

#include "settings/published_visitors.h"
#include "util/text.h"

namespace tessaro {

// ---------------------------------------------------------------------------
// TVariant

namespace {
[[noreturn]] void NotOfType(const char* type) { throw EPropertyError(std::string("Variant is not ") + type); }
}  // namespace

int64_t TVariant::AsInteger() const {
  if (const auto* v = std::get_if<int64_t>(&value_)) return *v;
  NotOfType("an integer");
}

double TVariant::AsFloat() const {
  if (const auto* v = std::get_if<double>(&value_)) return *v;
  if (const auto* v = std::get_if<DateValue>(&value_)) return v->value;
  NotOfType("a float");
}

const std::string& TVariant::AsString() const {
  if (const auto* v = std::get_if<std::string>(&value_)) return *v;
  NotOfType("a string");
}

bool TVariant::AsBoolean() const {
  if (const auto* v = std::get_if<bool>(&value_)) return *v;
  NotOfType("a boolean");
}

// ---------------------------------------------------------------------------
// Kinds and descriptors

TPropertyKindGroup KindGroup(TPropertyKind kind) {
  switch (kind) {
    case pkInteger:
    case pkInt64:
    case pkBoolean:
    case pkEnumeration:
      return kgOrdinal;
    case pkString:
      return kgString;
    case pkFloat:
      return kgFloat;
    case pkStringList:
    case pkCollection:
    case pkObject:
      return kgObject;
    case pkVariant:
      return kgVariant;
  }
  return kgVariant;
}

namespace {
const std::vector<std::string>& BooleanValueNames() {
  static const std::vector<std::string>& names = *new std::vector<std::string>{"False", "True"};
  return names;
}
}  // namespace

TPublishedProperty::TPublishedProperty(std::string name, TPropertyKind kind, std::vector<std::string> value_names)
    : name_(std::move(name)),
      kind_(kind),
      own_value_names_(std::move(value_names)),
      value_names_(kind == pkBoolean ? &BooleanValueNames() : &own_value_names_) {}

int TPublishedProperty::ValueOfName(std::string_view name) const {
  for (size_t i = 0; i < value_names_->size(); ++i)
    if (SameText((*value_names_)[i], name)) return static_cast<int>(i);
  return -1;
}

void TPublishedProperty::WrongKind(const char* wanted) const {
  throw EPropertyError("Property " + name_ + " is not " + wanted);
}

int64_t TPublishedProperty::GetOrdinal(const TPublishedObject&) const { WrongKind("an ordinal"); }
bool TPublishedProperty::SetOrdinal(TPublishedObject&, int64_t) const { WrongKind("an ordinal"); }
std::string TPublishedProperty::GetString(const TPublishedObject&) const { WrongKind("a string"); }
void TPublishedProperty::SetString(TPublishedObject&, const std::string&) const { WrongKind("a string"); }
double TPublishedProperty::GetFloat(const TPublishedObject&) const { WrongKind("a float"); }
void TPublishedProperty::SetFloat(TPublishedObject&, double) const { WrongKind("a float"); }
TVariant TPublishedProperty::GetVariant(const TPublishedObject&) const { WrongKind("a variant"); }
void TPublishedProperty::SetVariant(TPublishedObject&, const TVariant&) const { WrongKind("a variant"); }
TStrings* TPublishedProperty::Strings(TPublishedObject&) const { WrongKind("a string list"); }
TPublishedCollection* TPublishedProperty::Collection(TPublishedObject&) const { WrongKind("a collection"); }
TPublishedObject* TPublishedProperty::Object(TPublishedObject&) const { WrongKind("an object"); }

// The object accessors do not change the object; the const forms only hand
// back a const view of what the non-const ones find.
const TStrings* TPublishedProperty::Strings(const TPublishedObject& object) const {
  return Strings(const_cast<TPublishedObject&>(object));
}
const TPublishedCollection* TPublishedProperty::Collection(const TPublishedObject& object) const {
  return Collection(const_cast<TPublishedObject&>(object));
}
const TPublishedObject* TPublishedProperty::Object(const TPublishedObject& object) const {
  return Object(const_cast<TPublishedObject&>(object));
}

namespace published_detail {

bool AllDefault(const TPublishedObject& object) {
  for (const auto& property : object.PublishedProperties().Properties())
    if (!property->IsDefault(object)) return false;
  return true;
}

void AllToDefault(TPublishedObject& object) {
  for (const auto& property : object.PublishedProperties().Properties()) property->SetToDefault(object);
}

bool CollectionEmpty(const TPublishedCollection& collection) { return collection.Count() == 0; }
void ClearCollection(TPublishedCollection& collection) { collection.Clear(); }

}  // namespace published_detail

// ---------------------------------------------------------------------------
// Tables

namespace {
bool NameBefore(const TPropertyTable::Entry& entry, std::string_view name) {
  return CompareText(entry->Name(), name) < 0;
}
}  // namespace

const TPublishedProperty* TPropertyTable::Find(std::string_view name) const {
  auto it = std::lower_bound(properties_.begin(), properties_.end(), name, NameBefore);
  return it != properties_.end() && SameText((*it)->Name(), name) ? it->get() : nullptr;
}

// Declarations are usually written in alphabetical order already, so the
// sort is mostly a check, and the merge with the base is one linear pass.
TPropertyTable TPropertyTable::Merge(const TPropertyTable& base, std::vector<Entry> own) {
  auto before = [](const Entry& a, const Entry& b) { return CompareText(a->Name(), b->Name()) < 0; };
  if (!std::is_sorted(own.begin(), own.end(), before)) std::stable_sort(own.begin(), own.end(), before);
  for (size_t i = 1; i < own.size(); ++i)
    if (SameText(own[i - 1]->Name(), own[i]->Name()))
      throw EPropertyError("Property " + own[i]->Name() + " is declared twice");

  TPropertyTable table;
  table.properties_.reserve(base.properties_.size() + own.size());
  auto from_base = base.properties_.begin();
  for (Entry& property : own) {
    while (from_base != base.properties_.end() && before(*from_base, property)) table.properties_.push_back(*from_base++);
    if (from_base != base.properties_.end() && SameText((*from_base)->Name(), property->Name())) ++from_base;
    table.properties_.push_back(std::move(property));
  }
  table.properties_.insert(table.properties_.end(), from_base, base.properties_.end());
  return table;
}

// ---------------------------------------------------------------------------
// Objects

const TPropertyTable& TPublishedObject::ClassProperties() {
  static const TPropertyTable empty;
  return empty;
}

void tZNImplementsVisited::Accept(tPublishedPropertyVisitor& visitor) const {
  for (const auto& property : target_->PublishedProperties().Properties())
    if (visitor.VisitsKind(property->Kind())) visitor.Visit(*target_, *property, property->Name(), property->Kind());
}

const TPropertyTable& TCarrier::PublishedProperties() const {
  static const TPropertyTable& carrying_object = *new TPropertyTable([] {
    TPropertyDeclarations<TCarrier> declarations(tZNKVisited::ClassProperties());
    declarations.Object<TPublishedObject>("Persistent", [](TCarrier& carrier) { return carrier.object_; });
    return std::move(declarations).Table();
  }());
  static const TPropertyTable& carrying_collection = *new TPropertyTable([] {
    TPropertyDeclarations<TCarrier> declarations(tZNKVisited::ClassProperties());
    declarations.Collection<TPublishedCollection>("Persistent",
                                                  [](TCarrier& carrier) { return carrier.collection_; });
    return std::move(declarations).Table();
  }());
  return collection_ != nullptr ? carrying_collection : carrying_object;
}

// ---------------------------------------------------------------------------
// Access by name

TPropertyRef FindPublishedProperty(TPublishedObject& root, std::string_view path) {
  TPublishedObject* object = &root;
  for (;;) {
    size_t dot = path.find('.');
    const TPublishedProperty* property = object->PublishedProperties().Find(path.substr(0, dot));
    if (property == nullptr) return {};
    if (dot == std::string_view::npos) return {object, property};
    std::string_view rest = path.substr(dot + 1);
    // A string list's lines are stored under "<name>.Strings".
    if (property->Kind() == pkStringList && SameText(rest, "Strings")) return {object, property};
    if (property->Kind() != pkObject) return {};
    object = property->Object(*object);
    if (object == nullptr) return {};
    path = rest;
  }
}

namespace {

// Stores `value` into the property; false when the property cannot take it.
bool StoreValue(TPublishedObject& object, const TPublishedProperty& property, const TVariant& value) {
  const TVariant::Type type = value.GetType();
  switch (property.Kind()) {
    case pkInteger:
    case pkInt64:
      return type == TVariant::vtInteger && property.SetOrdinal(object, value.AsInteger());
    case pkBoolean:
      if (type == TVariant::vtBoolean) return property.SetOrdinal(object, value.AsBoolean() ? 1 : 0);
      [[fallthrough]];
    case pkEnumeration:
      if (type == TVariant::vtInteger) return property.SetOrdinal(object, value.AsInteger());
      if (type == TVariant::vtString) {
        int ordinal = property.ValueOfName(value.AsString());
        return ordinal >= 0 && property.SetOrdinal(object, ordinal);
      }
      return false;
    case pkString:
      if (type != TVariant::vtString) return false;
      property.SetString(object, value.AsString());
      return true;
    case pkFloat:
      if (type == TVariant::vtFloat || type == TVariant::vtDate)
        property.SetFloat(object, value.AsFloat());
      else if (type == TVariant::vtInteger)
        property.SetFloat(object, static_cast<double>(value.AsInteger()));
      else
        return false;
      return true;
    case pkVariant:
      property.SetVariant(object, value);
      return true;
    case pkStringList:
    case pkCollection:
    case pkObject:
      return false;
  }
  return false;
}

}  // namespace

void SetPublishedValue(TPublishedObject& root, std::string_view path, const TVariant& value) {
  TPropertyRef ref = FindPublishedProperty(root, path);
  if (!ref) throw EPropertyError("Property " + std::string(path) + " does not exist");
  if (!StoreValue(*ref.object, *ref.property, value))
    throw EPropertyError("Invalid value for property " + std::string(path));
}

}  // namespace tessaro
