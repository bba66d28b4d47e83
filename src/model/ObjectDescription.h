// The rows an inspected object publishes to the object inspector, under a class caption and
// a name. The inspector owns a description; the description owns its rows.
#pragma once

#include "base/StringList.h"
#include "model/Property.h"

#include <string>

namespace sarvanta {

class TInspectedObject;

class TObjectDescription : public TObject {
 public:
  TObjectDescription(TInspectedObject* obj, std::string name, std::string classCaption)
      : Obj(obj), Properties(true), ClassCaption(std::move(classCaption)), Name(std::move(name)) {}

  // Appends a row under its own name and returns it, so the caller can set List and OnEdit.
  TProperty& AddProperty(const std::string& name, TPropertyValue value, int32_t kind);

  int RowCount() const { return Properties.Count(); }
  TProperty& Row(int index) const { return *static_cast<TProperty*>(Properties.Objects(index)); }
  // The row whose key is `name`, or nullptr.
  TProperty* FindRow(const std::string& name) const;

  // The text under which the inspector lists the description: "Bone: Bone1".
  std::string EntryText() const { return ClassCaption + ": " + Name; }

  TInspectedObject* Obj;
  TStringList Properties;  // (row name, TProperty), owned
  std::string ClassCaption;
  std::string Name;
};

}  // namespace sarvanta
