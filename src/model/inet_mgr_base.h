// TInetMgrBase: the base of every metadata class of the portal, and
// TInetMgrBaseList / TInetMgrList<E>, the base of every metadata list.
//
// A metadata class names the masters it belongs to in det...ID properties
// (a role stores its application type's InstanceID in detApplicationTypeID).
// It lists those fields once, in StoredReferences(); from that table this
// base answers GetReferenceID for linking and keeps the fields equal to the
// current links when a master is attached or detached.
#pragma once

#include <span>
#include <string>

#include "model/data_element.h"
#include "model/data_list.h"

namespace tessaro {

class TInetMgrModel;

class TInetMgrBase : public TDeclaredElement<TInetMgrBase, T_V_DataElement> {
 public:
  static constexpr const char* kClassName = "TInetMgrBase";
  static void DeclareProperties(TPropertyDeclarations<TInetMgrBase>&) {}

  // The name an editor gives a new element of the class.
  virtual std::string GetDefaultName() const = 0;
  // Column 0, or the class name when that is empty.
  std::string GetDisplayName() const override;
  // The det...ID field of a master class in StoredReferences(); else as the base.
  std::string_view GetReferenceID(const TElementClass* target_class) const override;
  // A master of a class in StoredReferences() sets its det...ID field to its
  // InstanceID when attached and empties it when detached.
  void ReferrerChanged(T_V_DataElement* referrer, bool detached) override;

 protected:
  // One stored reference: the class of the master and the field that holds
  // the master's InstanceID.
  struct TStoredReference {
    const TElementClass& (*master_class)();  // the master's StaticClass
    std::string TInetMgrBase::*field;        // the det...ID field of this class
  };
  template <class C>
  static constexpr TStoredReference StoredReference(const TElementClass& (*master_class)(), std::string C::*field) {
    return {master_class, static_cast<std::string TInetMgrBase::*>(field)};
  }
  // The references the class stores; none here.
  virtual std::span<const TStoredReference> StoredReferences() const { return {}; }

  // The model as the portal's model, or null.
  TInetMgrModel* InetModel() const;
  // Whether the element's model is in user-data mode.
  bool UserDataMode() const;
};

// The base of the metadata lists: sorted by InstanceID for the XML form.
class TInetMgrBaseList : public T_V_DataList {
 public:
  explicit TInetMgrBaseList(T_V_DataElement* owner) : T_V_DataList(owner) { SortBeforeXmlSave = true; }
};

// A metadata list of the elements of class E.
template <class E>
class TInetMgrList : public TTypedList<E, TInetMgrBaseList> {
 public:
  using TTypedList<E, TInetMgrBaseList>::TTypedList;
};

}  // namespace tessaro
