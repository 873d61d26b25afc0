// A small element graph for the framework tests: masters listing details, a
// subclass of detail, an unrelated class, and a model with one master list
// of each. Every test element counts itself alive, so a test sees that an
// element was destroyed, and only once (AddressSanitizer sees the rest).
#pragma once

#include <deque>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "model/data_list.h"
#include "model/element_stream.h"
#include "model/model.h"

namespace tessaro::model_test {

inline int g_live_elements = 0;

class TTestElement : public TDeclaredElement<TTestElement, T_V_DataElement> {
 public:
  static constexpr const char* kClassName = "TTestElement";
  static void DeclareProperties(TPropertyDeclarations<TTestElement>& p) { p.String("Name", &TTestElement::Name, ""); }
  TTestElement() { ++g_live_elements; }
  ~TTestElement() override { --g_live_elements; }
  std::string GetDisplayName() const override { return Name.empty() ? ClassName() : Name; }

  std::string Name;
};

class TTestMaster;

// Stores its master's identifier in detMasterID and keeps it in step.
class TTestDetail : public TDeclaredElement<TTestDetail, TTestElement> {
 public:
  static constexpr const char* kClassName = "TTestDetail";
  static void DeclareProperties(TPropertyDeclarations<TTestDetail>& p) {
    p.String("detMasterID", &TTestDetail::detMasterID, "");
  }
  std::string_view GetReferenceID(const TElementClass* target) const override;
  void ReferrerChanged(T_V_DataElement* referrer, bool detached) override;

  std::string detMasterID;
  int referrer_changes = 0;  // how often ReferrerChanged ran
};

class TTestSpecialDetail : public TDeclaredElement<TTestSpecialDetail, TTestDetail> {
 public:
  static constexpr const char* kClassName = "TTestSpecialDetail";
  static void DeclareProperties(TPropertyDeclarations<TTestSpecialDetail>&) {}
};

class TTestOther : public TDeclaredElement<TTestOther, TTestElement> {
 public:
  static constexpr const char* kClassName = "TTestOther";
  static void DeclareProperties(TPropertyDeclarations<TTestOther>&) {}
};

using TTestDetailsList = TTypedList<TTestDetail>;

// Lists details in [0]; deleting a master deletes them too when `cascade`.
class TTestMaster : public TDeclaredElement<TTestMaster, TTestElement> {
 public:
  static constexpr const char* kClassName = "TTestMaster";
  static void DeclareProperties(TPropertyDeclarations<TTestMaster>&) {}
  TTestMaster() { AddOwnList<TTestDetailsList>(); }
  TTestDetailsList& Details() const { return static_cast<TTestDetailsList&>(*ListAt(0)); }
  void DeleteDependents() override {
    if (cascade) Details().Clear();
  }
  int after_loads = 0;
  void AfterLoad() override { ++after_loads; }

  bool cascade = true;
};

inline std::string_view TTestDetail::GetReferenceID(const TElementClass* target) const {
  if (target != nullptr && target->InheritsFrom(TTestMaster::StaticClass())) return detMasterID;
  return T_V_DataElement::GetReferenceID(target);
}

inline void TTestDetail::ReferrerChanged(T_V_DataElement* referrer, bool detached) {
  ++referrer_changes;
  if (referrer->ClassType().InheritsFrom(TTestMaster::StaticClass()))
    detMasterID = detached ? std::string() : referrer->InstanceID;
}

class TTestModel : public TDeclaredElement<TTestModel, T_V_Model> {
 public:
  static constexpr const char* kClassName = "TTestModel";
  static void DeclareProperties(TPropertyDeclarations<TTestModel>&) {}
  TTestModel() {
    CreateLists({&MakeList<TTypedList<TTestMaster>>, &MakeList<TTestDetailsList>,
                 &MakeList<TTypedList<TTestSpecialDetail>>, &MakeList<TTypedList<TTestOther>>});
  }
  T_V_AbstractDataList& Masters() const { return *ListAt(0); }
  T_V_AbstractDataList& Details() const { return *ListAt(1); }
  T_V_AbstractDataList& Specials() const { return *ListAt(2); }
  T_V_AbstractDataList& Others() const { return *ListAt(3); }

  // A new element of class E with this name and identifier in its master list.
  template <class E>
  E* Make(std::string name, std::string id = {}) {
    auto element = std::make_unique<E>();
    element->Name = std::move(name);
    element->InstanceID = std::move(id);
    return MasterListOf(E::StaticClass())->AddNew(std::move(element));
  }
};

// An object stream in memory: counts and objects given as property values.
class TFakeReader : public TElementReader {
 public:
  using Object = std::vector<std::pair<std::string, TVariant>>;

  TFakeReader& Count(int32_t count) {
    items_.emplace_back(count);
    return *this;
  }
  TFakeReader& Add(Object object) {
    items_.emplace_back(std::move(object));
    return *this;
  }

  int32_t ReadCount() override { return std::get<int32_t>(Next()); }
  void ReadObject(TPublishedObject& object) override {
    const Object values = std::get<Object>(Next());
    for (const auto& [name, value] : values) SetPublishedValue(object, name, value);
  }

 private:
  std::variant<int32_t, Object> Next() {
    if (items_.empty()) throw Exception("Stream read error");
    auto item = std::move(items_.front());
    items_.pop_front();
    return item;
  }
  std::deque<std::variant<int32_t, Object>> items_;  // what is left to read, in order
};

// The names of a list's test elements, joined with ",".
inline std::string Names(const T_V_AbstractDataList& list) {
  std::string names;
  list.ForEach([&names](const T_V_DataElement* item) {
    if (!names.empty()) names += ",";
    names += static_cast<const TTestElement*>(item)->Name;
  });
  return names;
}

}  // namespace tessaro::model_test
