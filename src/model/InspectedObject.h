// Base of every object the object inspector can show and edit: it has a display name
// (`Descr`, stored in files) and builds an object description of its editable values.
#pragma once

#include "model/ObjectDescription.h"
#include "model/Stream.h"

#include <memory>
#include <string>

namespace sarvanta {

class TInspectedObject : public TStreamComponent {
 public:
  using TStreamComponent::TStreamComponent;

  // Sets Descr to `name` and returns a new description of the object's rows in their fixed
  // order; the caller (the inspector) owns it.
  virtual std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) = 0;

  // The published "Descr" entry, first in every inspected class's stored values.
  static TPropertyInfo DescrProperty();

  std::string Descr;

 protected:
  // Sets Descr, creates the description and adds the "Name" row (kind 256 over Descr).
  std::unique_ptr<TObjectDescription> BeginDescription(const std::string& name,
                                                       const std::string& classCaption);
};

}  // namespace sarvanta
