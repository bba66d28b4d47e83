#include "model/ObjectDescription.h"

namespace sarvanta {

TProperty& TObjectDescription::AddProperty(const std::string& name, TPropertyValue value,
                                           int32_t kind) {
  auto* row = new TProperty(name, std::move(value), kind);
  Properties.Add(name, row);
  return *row;
}

TProperty* TObjectDescription::FindRow(const std::string& name) const {
  const int index = Properties.IndexOf(name);
  return index < 0 ? nullptr : static_cast<TProperty*>(Properties.Objects(index));
}

}  // namespace sarvanta
