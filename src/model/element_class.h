// TElementClass: the run-time description of one stored element class: its
// name, its base class and how to make a new element of it.
//
// Lists accept elements by class (the list's element class or one derived
// from it), the model finds an element's master list by its exact class,
// referrers are looked up by class, and a list that loads from a stream makes
// its elements through its element class without knowing their C++ type.
// Every element class has exactly one TElementClass, made the first time it
// is asked for; classes are compared by address.
#pragma once

#include <memory>
#include <string>

namespace tessaro {

class T_V_DataElement;

class TElementClass {
 public:
  using Factory = std::unique_ptr<T_V_DataElement> (*)();

  // `parent` is null for the root class, `factory` null for an abstract class.
  TElementClass(std::string name, const TElementClass* parent, Factory factory)
      : name_(std::move(name)), parent_(parent), factory_(factory) {}
  TElementClass(const TElementClass&) = delete;
  TElementClass& operator=(const TElementClass&) = delete;

  const std::string& Name() const { return name_; }
  const TElementClass* Parent() const { return parent_; }
  bool IsAbstract() const { return factory_ == nullptr; }

  // True when this class is `ancestor` or derives from it.
  bool InheritsFrom(const TElementClass& ancestor) const {
    for (const TElementClass* c = this; c != nullptr; c = c->parent_)
      if (c == &ancestor) return true;
    return false;
  }

  // A new element of this class with its constructor's values, owned by the
  // caller. Throws Exception for an abstract class.
  std::unique_ptr<T_V_DataElement> Create() const;

 private:
  std::string name_;             // the class name, as files and messages show it
  const TElementClass* parent_;  // the base class; null for the root
  Factory factory_;              // makes a new element; null when abstract
};

}  // namespace tessaro
