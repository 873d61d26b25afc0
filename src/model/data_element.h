// T_V_DataElement: a stored element of the metadata graph.
//
// An element has a GUID identity (InstanceID), its own detail lists (fixed in
// number and order per class), and back links to every element that lists it
// (its referrers, the model among them for the master list). References are
// stored as the referenced element's InstanceID in a det...ID property and
// turned into list membership by the model after loading (LinkFrom, LinkAll).
//
// Ownership: an element inside a model is owned by the model's master list of
// its class; every other list that shows it only points to it. An element
// that belongs to no model is owned by whoever made it until it is handed to
// Delete(), which then destroys it.
//
// Element classes derive through TDeclaredElement<Derived, Base>, which gives
// each class its TElementClass (name, base, factory) and its table of
// published properties (the stored properties, declared in DeclareProperties).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "model/element_class.h"
#include "model/element_stream.h"
#include "model/objects_root.h"
#include "settings/published.h"

namespace tessaro {

class T_V_AbstractDataList;
class T_V_Model;
class TReferenceIndex;

class T_V_DataElement : public TPublished<T_V_DataElement, T_V_Objects_Root> {
 public:
  static void DeclareProperties(TPropertyDeclarations<T_V_DataElement>& p);
  static const TElementClass& StaticClass();
  // The element's own class.
  virtual const TElementClass& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType().Name(); }

  T_V_DataElement();
  ~T_V_DataElement() override;

  // GUID in registry form, upper-case; empty until assigned. Stored, no default.
  std::string InstanceID;

  // --- Class hooks ---------------------------------------------------------

  // True when `list` and `element_class` are both given and the list's
  // element class is exactly `element_class`.
  virtual bool ListHoldsClass(const T_V_AbstractDataList* list, const TElementClass* element_class) const;
  // Deletes the details that cannot live without this element; called by
  // Delete() before unlinking. None here.
  virtual void DeleteDependents() {}
  // The identifier this element stores for a referenced element of
  // `target_class`: here empty for a given class, the element's own
  // InstanceID for null. Valid until the element changes.
  virtual std::string_view GetReferenceID(const TElementClass* target_class) const;
  // The name shown for the element in messages: here its class name.
  virtual std::string GetDisplayName() const;
  virtual bool GetChecked() const { return false; }
  virtual void SetChecked(bool) {}
  // Text of an editor column; empty here.
  virtual std::string GetColumnText(int column) const;
  // Sets an editor column; here only marks the model modified.
  virtual void SetColumnText(int column, const std::string& text);
  // Runs for every element after a complete load and link. Nothing here.
  virtual void AfterLoad() {}
  // Tells the element that `referrer` was attached to it (detached false) or
  // detached; classes with det...ID fields keep them equal to their links.
  virtual void ReferrerChanged(T_V_DataElement* referrer, bool detached);
  // Reads the element's stored properties as one streamed object; `model`
  // (when given) becomes the element's model.
  virtual void LoadFromStream(T_V_Model* model, TElementReader& reader);
  // Writes the element's stored properties as one streamed object.
  virtual void SaveToStream(TElementWriter& writer) const;
  // Removes the element from every list that shows it and detaches its own
  // details; the master list destroys it at the end, so the element must not
  // be used after Unlink returns when it was in a model.
  virtual void Unlink();

  // Gives the element a new GUID unless it has one and `force` is false.
  // Throws Exception "CreateGUID failed" when no GUID can be made.
  void NewInstanceID(bool force);
  // Reports an edit made to the element: the model's hooks OnBeforeEdit and
  // OnElementEdited.
  void Edit();

  // --- Own lists -------------------------------------------------------------

  // Makes `list` one of the element's own lists, in the order registered, and
  // returns it. A list registered twice is registered once.
  T_V_AbstractDataList& RegisterList(std::unique_ptr<T_V_AbstractDataList> list);
  int ListCount() const { return static_cast<int>(lists_.size()); }
  // REQUIRES: 0 <= index < ListCount().
  T_V_AbstractDataList* ListAt(int index) const { return lists_[index].get(); }
  // The first own list that is an L, or null.
  template <class L>
  L* FindList() const {
    for (const auto& list : lists_)
      if (auto* found = dynamic_cast<L*>(list.get())) return found;
    return nullptr;
  }
  // The first own list whose element class name is `name` (any letter case), or null.
  T_V_AbstractDataList* FindListByClassName(std::string_view name) const;

  // --- Referrers -------------------------------------------------------------

  int ReferrerCount() const { return static_cast<int>(referrers_.size()); }
  // REQUIRES: 0 <= index < ReferrerCount().
  T_V_DataElement* ReferrerAt(int index) const { return referrers_[index]; }
  // The n-th referrer (from 0) that is an instance of `cls`, or null.
  T_V_DataElement* ReferrerOfClass(const TElementClass& cls, int n) const;
  int CountReferrers(const TElementClass& cls) const;
  // The one referrer of `cls`, or null when there is none. Throws Exception
  // "\"<display name>\" has multiple referrers of type <class>" for several.
  T_V_DataElement* OptionalReferrer(const TElementClass& cls) const;
  // The one referrer of `cls`. Throws Exception "\"<display name>\" has no
  // refferrer of type <class>" for none, the multiple-referrers one for several.
  T_V_DataElement* UniqueReferrer(const TElementClass& cls) const;
  template <class C>
  C* OptionalReferrer() const {
    return static_cast<C*>(OptionalReferrer(C::StaticClass()));
  }
  template <class C>
  C* UniqueReferrer() const {
    return static_cast<C*>(UniqueReferrer(C::StaticClass()));
  }

  // The model the element belongs to: the element itself for a model, else a
  // model referrer, else the first model a referrer belongs to; null when
  // there is none. Found once and remembered.
  T_V_Model* GetModel() const;
  // Sets the remembered model directly (loaders do, before the element is listed).
  void SetModelCache(T_V_Model* model) { model_cache_ = model; }

  // Appends `element` to the referrers when it is not one yet; outside
  // linking and loading the element is then told (ReferrerChanged).
  void AddReferrer(T_V_DataElement* element);
  // Removes the last occurrence of `element` from the referrers, silently.
  void RemoveReferrer(T_V_DataElement* element);
  // Removes `element` from every own list of its class or a base class of
  // it, stopping at an owning list that held it (which destroys it).
  void RemoveFromLists(T_V_DataElement* element);
  // Detaches this element from its referrer `element`: tells this element,
  // drops the referrer and takes this element out of the referrer's lists.
  void Detach(T_V_DataElement* element);
  // Adds to each own list that holds the element class of `master` every
  // element of `master` whose stored reference for this element's class
  // equals this element's identifier, without regard to letter case.
  void LinkFrom(T_V_AbstractDataList& master);
  // Deletes the element: the model's OnBeforeDeleteElement hook (which may
  // throw to cancel), its dependents, Unlink. The element is destroyed, by
  // its master list or, outside a model, by itself; the caller gives up any
  // ownership it had.
  void Delete();

 protected:
  // Registers a new own list of class L owned by this element.
  template <class L>
  L& AddOwnList() {
    return static_cast<L&>(RegisterList(std::make_unique<L>(this)));
  }

 private:
  friend class T_V_Model;
  // LinkFrom through the model's index of stored references; the same links
  // in the same order as LinkFrom(master).
  void LinkFrom(T_V_AbstractDataList& master, TReferenceIndex& index);

  std::vector<std::unique_ptr<T_V_AbstractDataList>> lists_;  // own lists, in registration order
  std::vector<T_V_DataElement*> referrers_;                   // owners of the lists that show this element; not owned
  mutable T_V_Model* model_cache_ = nullptr;                  // the model once found; null until then
};

// The base of every element class below T_V_DataElement: gives Derived its
// TElementClass (named Derived::kClassName, derived from Base's, with a
// factory unless Derived is abstract) and its published properties (Base's
// plus those of Derived::DeclareProperties).
template <class Derived, class Base>
class TDeclaredElement : public TPublished<Derived, Base> {
 public:
  using TPublished<Derived, Base>::TPublished;

  static const TElementClass& StaticClass() {
    static const TElementClass element_class(Derived::kClassName, &Base::StaticClass(), Factory());
    return element_class;
  }
  const TElementClass& ClassType() const override { return StaticClass(); }

 private:
  static TElementClass::Factory Factory() {
    if constexpr (!std::is_abstract_v<Derived> && std::is_default_constructible_v<Derived>)
      return []() -> std::unique_ptr<T_V_DataElement> { return std::make_unique<Derived>(); };
    else
      return nullptr;
  }
};

}  // namespace tessaro
