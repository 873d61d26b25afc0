// Published properties: named, typed values of an object that can be listed
// and reached by name at run time.
//
// Settings objects, cookie sets, page contexts and stored metadata elements
// expose their persistent values this way, and everything that reads or
// writes them by name (INI keys, name=value lists, request fields, cookies,
// stored files) goes through the property table instead of per-key code.
//
// A class declares its properties once. It derives from TPublished<Self,
// Base> and provides a static DeclareProperties that lists them; the table it
// builds starts with the base class's properties, so a derived class sees and
// may re-declare (for example with another default) everything its base
// publishes:
//
//   enum TMailSecurity { msNone, msStartTls, msTls };
//
//   class TMailSettings : public TPublished<TMailSettings> {
//    public:
//     static void DeclareProperties(TPropertyDeclarations<TMailSettings>& p) {
//       p.String("SMTPServer", &TMailSettings::SMTPServer)
//           .Integer("SMTPPort", &TMailSettings::SMTPPort, 25)
//           .Boolean("EMAIL_Bcc_Enable", &TMailSettings::EMAIL_Bcc_Enable, false)
//           .Enumeration("Security", &TMailSettings::Security, {"msNone", "msStartTls", "msTls"}, msNone)
//           .StringList("BlackBoard", &TMailSettings::BlackBoard);
//     }
//     std::string SMTPServer;
//     int SMTPPort = 25;
//     bool EMAIL_Bcc_Enable = false;
//     TMailSecurity Security = msNone;
//     TStrings BlackBoard;
//   };
//
//   class TPortalMailSettings : public TPublished<TPortalMailSettings, TMailSettings> {
//    public:
//     static void DeclareProperties(TPropertyDeclarations<TPortalMailSettings>& p);  // adds its own
//   };
//
// The last argument of a value property is its declared default; without
// one the property has none ("always stored"). A property whose setter must
// do more than store takes a getter and a setter in place of the member:
//   p.Integer("rows", {[](const T& t) { return t.Rows(); }, [](T& t, int v) { t.SetRows(v); }});
//
// Properties are kept in alphabetical order of their names, without regard to
// letter case; that is the order in which visitors see them. Names are looked
// up without regard to case.
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "util/datetime.h"
#include "util/exception.h"
#include "util/string_list.h"
#include "util/text.h"

namespace tessaro {

class TPublishedObject;
class TPublishedCollection;
class tPublishedPropertyVisitor;

// Raised for a property name a class does not publish, a value of the wrong
// type for a property, or a property used as a kind it is not.
class EPropertyError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EPropertyError"; }
};

// ---------------------------------------------------------------------------
// Variant values: a small tagged value for properties that hold any of a
// few simple types.

class TVariant {
 public:
  enum Type { vtNull, vtInteger, vtFloat, vtString, vtBoolean, vtDate };

  TVariant() = default;  // null
  static TVariant Integer(int64_t value) { return TVariant(value); }
  static TVariant Float(double value) { return TVariant(value); }
  static TVariant String(std::string value) { return TVariant(std::move(value)); }
  static TVariant Boolean(bool value) { return TVariant(value); }
  static TVariant Date(TDateTime value) { return TVariant(DateValue{value}); }

  Type GetType() const { return static_cast<Type>(value_.index()); }
  bool IsNull() const { return GetType() == vtNull; }
  // The value as the type it holds. Throw EPropertyError for another type.
  int64_t AsInteger() const;
  double AsFloat() const;  // float or date
  const std::string& AsString() const;
  bool AsBoolean() const;

  friend bool operator==(const TVariant&, const TVariant&) = default;

 private:
  struct DateValue {
    TDateTime value;  // days since 30 December 1899
    friend bool operator==(const DateValue&, const DateValue&) = default;
  };
  template <class T>
    requires(!std::is_same_v<std::decay_t<T>, TVariant>)
  explicit TVariant(T value) : value_(std::move(value)) {}

  // The value; the alternative's index is its Type.
  std::variant<std::monostate, int64_t, double, std::string, bool, DateValue> value_;
};

// ---------------------------------------------------------------------------
// Property kinds

enum TPropertyKind {
  pkInteger,      // int
  pkInt64,        // int64_t
  pkBoolean,      // bool; value names "False", "True"
  pkEnumeration,  // an enum with values 0..n-1 and a name for each
  pkString,       // std::string (windows-1250 text)
  pkFloat,        // double; dates and times included
  pkStringList,   // TStrings
  pkCollection,   // a TPublishedCollection of published items
  pkObject,       // a nested published object (may be absent)
  pkVariant,      // TVariant
};

// Groups of kinds that the visitors treat alike.
enum TPropertyKindGroup { kgOrdinal, kgString, kgFloat, kgObject, kgVariant };
TPropertyKindGroup KindGroup(TPropertyKind kind);

// ---------------------------------------------------------------------------
// Property descriptors

// One published property of a class: its name, kind, declared default and
// the means to read and write it on an object of that class (or a derived
// one). The typed accessors throw EPropertyError when used on a property of
// another kind.
class TPublishedProperty {
 public:
  virtual ~TPublishedProperty() = default;

  const std::string& Name() const { return name_; }
  TPropertyKind Kind() const { return kind_; }
  // The value names of an enumeration by ordinal; "False", "True" for a
  // boolean; empty for every other kind.
  const std::vector<std::string>& ValueNames() const { return *value_names_; }
  // The ordinal of a value name (letter case ignored), or -1.
  int ValueOfName(std::string_view name) const;

  // Whether the property declares a default. Values always do (possibly
  // "none", then false); string lists and collections default to empty; a
  // nested object is at its default when all its properties are.
  virtual bool HasDefault() const = 0;
  // Whether the property holds its declared default (false without one).
  virtual bool IsDefault(const TPublishedObject& object) const = 0;
  // Gives the property its declared default (nothing without one).
  virtual void SetToDefault(TPublishedObject& object) const = 0;

  // Ordinal kinds (integer, 64-bit integer, boolean, enumeration). SetOrdinal
  // leaves the property unchanged and returns false for a value outside the
  // property's range (32-bit for integers, 0..1 for booleans, the value
  // names for enumerations).
  virtual int64_t GetOrdinal(const TPublishedObject& object) const;
  virtual bool SetOrdinal(TPublishedObject& object, int64_t value) const;
  virtual std::string GetString(const TPublishedObject& object) const;
  virtual void SetString(TPublishedObject& object, const std::string& value) const;
  virtual double GetFloat(const TPublishedObject& object) const;
  virtual void SetFloat(TPublishedObject& object, double value) const;
  virtual TVariant GetVariant(const TPublishedObject& object) const;
  virtual void SetVariant(TPublishedObject& object, const TVariant& value) const;

  // Object kinds: the object the property refers to within `object`. String
  // lists and collections always exist; a nested object may be null.
  virtual TStrings* Strings(TPublishedObject& object) const;
  virtual TPublishedCollection* Collection(TPublishedObject& object) const;
  virtual TPublishedObject* Object(TPublishedObject& object) const;
  const TStrings* Strings(const TPublishedObject& object) const;
  const TPublishedCollection* Collection(const TPublishedObject& object) const;
  const TPublishedObject* Object(const TPublishedObject& object) const;

 protected:
  // Booleans share one list of value names; enumerations keep their own.
  TPublishedProperty(std::string name, TPropertyKind kind, std::vector<std::string> value_names = {});
  TPublishedProperty(const TPublishedProperty&) = delete;
  TPublishedProperty& operator=(const TPublishedProperty&) = delete;
  [[noreturn]] void WrongKind(const char* wanted) const;

 private:
  std::string name_;                                 // the external name
  TPropertyKind kind_;                               // what the property holds
  std::vector<std::string> own_value_names_;         // an enumeration's value names by ordinal
  const std::vector<std::string>* value_names_;      // own_value_names_, or the shared boolean names
};

// The published properties of one class, its bases' included, in visiting
// order (alphabetical, letter case ignored).
class TPropertyTable {
 public:
  using Entry = std::shared_ptr<const TPublishedProperty>;

  const std::vector<Entry>& Properties() const { return properties_; }
  size_t Count() const { return properties_.size(); }
  // The property of that name (letter case ignored), or null.
  const TPublishedProperty* Find(std::string_view name) const;

  // The table of `base` with `own` merged in: own properties are sorted,
  // and one with a base property's name replaces it. Throws EPropertyError
  // when `own` names a property twice.
  static TPropertyTable Merge(const TPropertyTable& base, std::vector<Entry> own);

 private:
  std::vector<Entry> properties_;  // sorted by name, letter case ignored
};

namespace published_detail {
template <class C>
const C& Cast(const TPublishedObject& object) { return static_cast<const C&>(object); }
template <class C>
C& Cast(TPublishedObject& object) { return static_cast<C&>(object); }
}  // namespace published_detail

// How a value property is read and written: a data member, or a getter and
// a setter (for properties whose setter does more than store the value).
// The accessors take the object as a TPublishedObject and cast it back to C,
// so that the descriptors depend on the value type only.
template <class C, class T>
struct TAccess {
  TAccess(T C::*member)
      : get([member](const TPublishedObject& object) { return published_detail::Cast<C>(object).*member; }),
        set([member](TPublishedObject& object, const T& value) { published_detail::Cast<C>(object).*member = value; }) {}
  TAccess(std::function<T(const C&)> getter, std::function<void(C&, const T&)> setter)
      : get([getter = std::move(getter)](const TPublishedObject& object) {
          return getter(published_detail::Cast<C>(object));
        }),
        set([setter = std::move(setter)](TPublishedObject& object, const T& value) {
          setter(published_detail::Cast<C>(object), value);
        }) {}

  std::function<T(const TPublishedObject&)> get;               // reads the value
  std::function<void(TPublishedObject&, const T&)> set;        // stores a value
};

namespace published_detail {

// A value property (ordinal, string, float or variant kind) holding a T.
template <class T>
class ValueProperty final : public TPublishedProperty {
 public:
  template <class C>
  ValueProperty(std::string name, TPropertyKind kind, TAccess<C, T> access, std::optional<T> default_value,
                std::vector<std::string> value_names)
      : TPublishedProperty(std::move(name), kind, std::move(value_names)),
        get_(std::move(access.get)),
        set_(std::move(access.set)),
        default_(std::move(default_value)) {}

  bool HasDefault() const override { return default_.has_value(); }
  bool IsDefault(const TPublishedObject& object) const override {
    return default_.has_value() && get_(object) == *default_;
  }
  void SetToDefault(TPublishedObject& object) const override {
    if (default_) set_(object, *default_);
  }

  int64_t GetOrdinal(const TPublishedObject& object) const override {
    if constexpr (kOrdinal) return static_cast<int64_t>(get_(object));
    WrongKind("an ordinal");
  }
  bool SetOrdinal(TPublishedObject& object, int64_t value) const override {
    if constexpr (kOrdinal) {
      if (!InRange(value)) return false;
      set_(object, static_cast<T>(value));
      return true;
    }
    WrongKind("an ordinal");
  }
  std::string GetString(const TPublishedObject& object) const override {
    if constexpr (std::is_same_v<T, std::string>) return get_(object);
    WrongKind("a string");
  }
  void SetString(TPublishedObject& object, const std::string& value) const override {
    if constexpr (std::is_same_v<T, std::string>) return set_(object, value);
    WrongKind("a string");
  }
  double GetFloat(const TPublishedObject& object) const override {
    if constexpr (std::is_same_v<T, double>) return get_(object);
    WrongKind("a float");
  }
  void SetFloat(TPublishedObject& object, double value) const override {
    if constexpr (std::is_same_v<T, double>) return set_(object, value);
    WrongKind("a float");
  }
  TVariant GetVariant(const TPublishedObject& object) const override {
    if constexpr (std::is_same_v<T, TVariant>) return get_(object);
    WrongKind("a variant");
  }
  void SetVariant(TPublishedObject& object, const TVariant& value) const override {
    if constexpr (std::is_same_v<T, TVariant>) return set_(object, value);
    WrongKind("a variant");
  }

 private:
  static constexpr bool kOrdinal = std::is_integral_v<T> || std::is_enum_v<T>;

  bool InRange(int64_t value) const {
    if constexpr (std::is_same_v<T, bool> || std::is_enum_v<T>)
      return value >= 0 && static_cast<uint64_t>(value) < ValueNames().size();
    else if constexpr (sizeof(T) >= sizeof(int64_t))
      return true;
    else
      return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
  }

  std::function<T(const TPublishedObject&)> get_;          // reads the value
  std::function<void(TPublishedObject&, const T&)> set_;   // stores a value
  std::optional<T> default_;                               // the declared default, if any
};

// Whether every property of `object` holds its declared default.
bool AllDefault(const TPublishedObject& object);
// Gives every property of `object` its declared default.
void AllToDefault(TPublishedObject& object);
bool CollectionEmpty(const TPublishedCollection& collection);
void ClearCollection(TPublishedCollection& collection);

// An object property (string list, collection or nested object), reached
// through an accessor that returns the object within its owner (or null).
// M is TStrings, TPublishedCollection or TPublishedObject: the declared
// object's type is only needed to find it.
template <class M>
class ObjectProperty final : public TPublishedProperty {
 public:
  ObjectProperty(std::string name, TPropertyKind kind, std::function<M*(TPublishedObject&)> access)
      : TPublishedProperty(std::move(name), kind), access_(std::move(access)) {}

  bool HasDefault() const override { return true; }
  bool IsDefault(const TPublishedObject& object) const override {
    const M* target = access_(const_cast<TPublishedObject&>(object));
    if (target == nullptr) return true;
    if constexpr (std::is_same_v<M, TStrings>)
      return target->Empty();
    else if constexpr (std::is_same_v<M, TPublishedCollection>)
      return CollectionEmpty(*target);
    else
      return AllDefault(*target);
  }
  void SetToDefault(TPublishedObject& object) const override {
    M* target = access_(object);
    if (target == nullptr) return;
    if constexpr (std::is_same_v<M, TStrings>)
      target->Clear();
    else if constexpr (std::is_same_v<M, TPublishedCollection>)
      ClearCollection(*target);
    else
      AllToDefault(*target);
  }

  TStrings* Strings(TPublishedObject& object) const override {
    if constexpr (std::is_same_v<M, TStrings>) return access_(object);
    WrongKind("a string list");
  }
  TPublishedCollection* Collection(TPublishedObject& object) const override {
    if constexpr (std::is_same_v<M, TPublishedCollection>) return access_(object);
    WrongKind("a collection");
  }
  TPublishedObject* Object(TPublishedObject& object) const override {
    if constexpr (std::is_same_v<M, TPublishedObject>) return access_(object);
    WrongKind("an object");
  }

 private:
  std::function<M*(TPublishedObject&)> access_;  // finds the object within its owner
};

// The kind of object an object property's accessor hands out.
template <class M>
using ObjectBase = std::conditional_t<std::is_same_v<M, TStrings>, TStrings,
                                      std::conditional_t<std::is_base_of_v<TPublishedCollection, M>,
                                                         TPublishedCollection, TPublishedObject>>;

}  // namespace published_detail

// Collects the property declarations of class C on top of its base's table.
// Each call adds one property; re-declaring a base's property replaces it,
// declaring one name twice in the same class throws EPropertyError.
template <class C>
class TPropertyDeclarations {
 public:
  explicit TPropertyDeclarations(const TPropertyTable& base) : base_(base) {}

  TPropertyDeclarations& Integer(std::string name, TAccess<C, int> access, std::optional<int> def = {}) {
    return AddValue<int>(std::move(name), pkInteger, std::move(access), def, {});
  }
  TPropertyDeclarations& Int64(std::string name, TAccess<C, int64_t> access, std::optional<int64_t> def = {}) {
    return AddValue<int64_t>(std::move(name), pkInt64, std::move(access), def, {});
  }
  TPropertyDeclarations& Boolean(std::string name, TAccess<C, bool> access, std::optional<bool> def = {}) {
    return AddValue<bool>(std::move(name), pkBoolean, std::move(access), def, {});
  }
  TPropertyDeclarations& String(std::string name, TAccess<C, std::string> access,
                                std::optional<std::string> def = {}) {
    return AddValue<std::string>(std::move(name), pkString, std::move(access), std::move(def), {});
  }
  TPropertyDeclarations& Float(std::string name, TAccess<C, double> access, std::optional<double> def = {}) {
    return AddValue<double>(std::move(name), pkFloat, std::move(access), def, {});
  }
  TPropertyDeclarations& Variant(std::string name, TAccess<C, TVariant> access,
                                 std::optional<TVariant> def = {}) {
    return AddValue<TVariant>(std::move(name), pkVariant, std::move(access), std::move(def), {});
  }
  // An enumeration whose values 0..n-1 are named by `value_names`. With a
  // getter and setter, name the type: Enumeration<THAlign>(...).
  template <class E>
    requires std::is_enum_v<E>
  TPropertyDeclarations& Enumeration(std::string name, E C::*member, std::vector<std::string> value_names,
                                     std::type_identity_t<std::optional<E>> def = {}) {
    return AddValue<E>(std::move(name), pkEnumeration, TAccess<C, E>(member), def, std::move(value_names));
  }
  template <class E>
    requires std::is_enum_v<E>
  TPropertyDeclarations& Enumeration(std::string name, TAccess<C, E> access, std::vector<std::string> value_names,
                                     std::type_identity_t<std::optional<E>> def = {}) {
    return AddValue<E>(std::move(name), pkEnumeration, std::move(access), def, std::move(value_names));
  }

  TPropertyDeclarations& StringList(std::string name, TStrings C::*member) {
    return AddObject<TStrings>(std::move(name), pkStringList, [member](C& c) { return &(c.*member); });
  }
  TPropertyDeclarations& StringList(std::string name, std::function<TStrings*(C&)> access) {
    return AddObject<TStrings>(std::move(name), pkStringList, std::move(access));
  }
  // A collection held as a member, or reached through an accessor
  // (Collection<TColumns>(name, accessor)).
  template <std::derived_from<TPublishedCollection> M>
  TPropertyDeclarations& Collection(std::string name, M C::*member) {
    return AddObject<M>(std::move(name), pkCollection, [member](C& c) { return &(c.*member); });
  }
  template <std::derived_from<TPublishedCollection> M>
  TPropertyDeclarations& Collection(std::string name, std::function<M*(C&)> access) {
    return AddObject<M>(std::move(name), pkCollection, std::move(access));
  }
  // A nested published object held as a member, through a unique_ptr member
  // (absent while null) or through an accessor (Object<TAttributes>(name, accessor)).
  template <std::derived_from<TPublishedObject> M>
  TPropertyDeclarations& Object(std::string name, M C::*member) {
    return AddObject<M>(std::move(name), pkObject, [member](C& c) { return &(c.*member); });
  }
  template <std::derived_from<TPublishedObject> M>
  TPropertyDeclarations& Object(std::string name, std::unique_ptr<M> C::*member) {
    return AddObject<M>(std::move(name), pkObject, [member](C& c) { return (c.*member).get(); });
  }
  template <std::derived_from<TPublishedObject> M>
  TPropertyDeclarations& Object(std::string name, std::function<M*(C&)> access) {
    return AddObject<M>(std::move(name), pkObject, std::move(access));
  }

  // The finished table. Throws EPropertyError when C declares a name twice.
  TPropertyTable Table() && { return TPropertyTable::Merge(base_, std::move(own_)); }

 private:
  template <class T>
  TPropertyDeclarations& AddValue(std::string name, TPropertyKind kind, TAccess<C, T> access, std::optional<T> def,
                                  std::vector<std::string> value_names) {
    CheckName(name);
    own_.push_back(std::make_shared<published_detail::ValueProperty<T>>(std::move(name), kind, std::move(access),
                                                                         std::move(def), std::move(value_names)));
    return *this;
  }
  // M is the declared object's own type; the accessor is stored for its base.
  template <class M, class Access>
  TPropertyDeclarations& AddObject(std::string name, TPropertyKind kind, Access access) {
    using Base = published_detail::ObjectBase<M>;
    CheckName(name);
    own_.push_back(std::make_shared<published_detail::ObjectProperty<Base>>(
        std::move(name), kind, [access = std::move(access)](TPublishedObject& object) -> Base* {
          return access(published_detail::Cast<C>(object));
        }));
    return *this;
  }
  // Names are external names and path elements: never empty, never dotted.
  // (Uniqueness within the class is checked when the table is finished.)
  static void CheckName(const std::string& name) {
    if (name.empty() || name.find('.') != std::string::npos)
      throw EPropertyError("Invalid property name \"" + name + "\"");
  }

  const TPropertyTable& base_;                // the base class's finished table
  std::vector<TPropertyTable::Entry> own_;    // declared by C itself, in declaration order
};

// ---------------------------------------------------------------------------
// Published objects and the visited interface

// Base of every object with published properties.
class TPublishedObject {
 public:
  virtual ~TPublishedObject() = default;
  // The properties of the object's class, in visiting order.
  virtual const TPropertyTable& PublishedProperties() const { return ClassProperties(); }
  // The properties this class publishes: none.
  static const TPropertyTable& ClassProperties();
};

// The visited interface: an object that performs Accept itself.
class IZNVisited {
 public:
  static constexpr const char* kInterfaceID = "{32A82185-6CA2-4FDE-AE44-C569E3F3D9F6}";
  // Hands each published property the visitor takes to visitor.Visit, in order.
  virtual void Accept(tPublishedPropertyVisitor& visitor) = 0;

 protected:
  ~IZNVisited() = default;
};

// Performs Accept for any published object, visited interface or not.
class tZNImplementsVisited {
 public:
  explicit tZNImplementsVisited(TPublishedObject& target) : target_(&target) {}
  // Calls visitor.Visit for each property of the target whose kind the
  // visitor takes, in alphabetical order.
  void Accept(tPublishedPropertyVisitor& visitor) const;

 private:
  TPublishedObject* target_;  // the object whose properties are visited
};

// Base of the system's settings objects: a published object implementing the
// visited interface through a companion made for itself.
class tZNKVisited : public TPublishedObject, public IZNVisited {
 public:
  tZNKVisited() : implements_(*this) {}
  // A copy gets its own companion; the source's one stays with the source.
  tZNKVisited(const tZNKVisited&) : TPublishedObject(), IZNVisited(), implements_(*this) {}
  tZNKVisited& operator=(const tZNKVisited&) { return *this; }

  void Accept(tPublishedPropertyVisitor& visitor) override { implements_.Accept(visitor); }

 private:
  tZNImplementsVisited implements_;  // performs Accept for this object
};

// Gives class Derived the table declared by its static
// DeclareProperties(TPropertyDeclarations<Derived>&) on top of Base's.
template <class Derived, class Base = tZNKVisited>
class TPublished : public Base {
 public:
  using Base::Base;

  // Built on first use and kept for the life of the process: tables are
  // shared by every object of the class, and tearing them down at exit would
  // only cost time.
  static const TPropertyTable& ClassProperties() {
    static const TPropertyTable& table = *new TPropertyTable([] {
      TPropertyDeclarations<Derived> declarations(Base::ClassProperties());
      Derived::DeclareProperties(declarations);
      return std::move(declarations).Table();
    }());
    return table;
  }
  const TPropertyTable& PublishedProperties() const override { return ClassProperties(); }
};

// ---------------------------------------------------------------------------
// Collections

// An ordered list of published items that a collection property refers to.
class TPublishedCollection {
 public:
  virtual ~TPublishedCollection() = default;
  virtual size_t Count() const = 0;
  // REQUIRES: index < Count().
  virtual TPublishedObject& Item(size_t index) = 0;
  const TPublishedObject& Item(size_t index) const { return const_cast<TPublishedCollection*>(this)->Item(index); }
  // Appends a new item with its constructor's values and returns it.
  virtual TPublishedObject& Add() = 0;
  virtual void Clear() = 0;
};

// A collection owning items of one published class.
template <std::derived_from<TPublishedObject> ItemT>
class TVisitedCollection final : public TPublishedCollection {
 public:
  size_t Count() const override { return items_.size(); }
  ItemT& Item(size_t index) override { return *items_[index]; }
  using TPublishedCollection::Item;
  ItemT& operator[](size_t index) { return *items_[index]; }
  const ItemT& operator[](size_t index) const { return *items_[index]; }
  ItemT& Add() override { return *items_.emplace_back(std::make_unique<ItemT>()); }
  void Clear() override { items_.clear(); }

 private:
  std::vector<std::unique_ptr<ItemT>> items_;  // the owned items in order
};

// ---------------------------------------------------------------------------
// Carrier

// Lets an object or a collection that is not streamed on its own travel as
// the one property "Persistent" of a streamed object (its properties then
// appear as "Persistent.<name>").
class TCarrier : public tZNKVisited {
 public:
  explicit TCarrier(TPublishedObject& carried) : object_(&carried) {}
  explicit TCarrier(TPublishedCollection& carried) : collection_(&carried) {}

  // "Persistent" as an object or as a collection, by what is carried.
  const TPropertyTable& PublishedProperties() const override;

  TPublishedObject* Persistent() const { return object_; }
  TPublishedCollection* PersistentCollection() const { return collection_; }

 private:
  TPublishedObject* object_ = nullptr;          // the carried object, not owned; or null
  TPublishedCollection* collection_ = nullptr;  // the carried collection, not owned; or null
};

// ---------------------------------------------------------------------------
// Access by name

// A property together with the object it applies to.
struct TPropertyRef {
  TPublishedObject* object = nullptr;
  const TPublishedProperty* property = nullptr;
  explicit operator bool() const { return property != nullptr; }
};

// Resolves a dotted path from `root`: every name but the last must be a
// nested object property ("TableAttributes.Width", "Persistent.Text"); a
// string list may be followed by ".Strings" ("BlackBoard.Strings"). Empty when
// a name is not published by the object it applies to or a nested object is
// absent.
TPropertyRef FindPublishedProperty(TPublishedObject& root, std::string_view path);

// Sets the property at `path` from a typed value: integers to ordinal and
// float properties, booleans to booleans, strings to strings and (by value
// name) to enumerations and booleans, floats and dates to floats, anything to
// variants. Throws EPropertyError "Property <path> does not exist" for an
// unknown path and "Invalid value for property <path>" for a value the
// property cannot take (object kinds take none; use their accessors).
void SetPublishedValue(TPublishedObject& root, std::string_view path, const TVariant& value);

}  // namespace tessaro
