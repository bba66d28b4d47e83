#include "model/InspectedObject.h"

namespace sarvanta {

TPropertyInfo TInspectedObject::DescrProperty() {
  TPropertyInfo info;
  info.Name = "Descr";
  info.Type = TPropType::String;
  info.GetString = [](const TStreamComponent& c) {
    return static_cast<const TInspectedObject&>(c).Descr;
  };
  info.SetString = [](TStreamComponent& c, const std::string& value) {
    static_cast<TInspectedObject&>(c).Descr = value;
  };
  return info;
}

std::unique_ptr<TObjectDescription> TInspectedObject::BeginDescription(
    const std::string& name, const std::string& classCaption) {
  Descr = name;
  auto description = std::make_unique<TObjectDescription>(this, name, classCaption);
  description->AddProperty("Name", ValueOf(Descr), PropertyKind::String);
  return description;
}

}  // namespace sarvanta
