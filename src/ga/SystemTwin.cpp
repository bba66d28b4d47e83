#include "ga/SystemTwin.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/Stream.h"

namespace sarvanta {

namespace {

std::vector<TMuscle*> MusclesOf(const TMechanicalSystem& system) {
  std::vector<TMuscle*> muscles;
  for (int m = 1; m < system.Muscles.Count(); ++m)
    if (TMuscle* muscle = system.Muscle(m)) muscles.push_back(muscle);
  return muscles;
}

Exception Mismatch(const std::string& what) {
  return Exception("The copy of the system for an evaluation thread does not match the system: " +
                   what);
}

}  // namespace

TSystemTwin::TSystemTwin(TMechanicalSystem& original)
    : original_(&original), copy_(std::make_unique<TMechanicalSystem>()) {
  // Written as it stands: saving would first refresh the original's stored list indices, and
  // a run must leave the model as a single-threaded run leaves it. The copy only samples
  // forces, for which the bone references it rebuilds from those indices do not matter.
  std::string bytes;
  TWriter writer(bytes);
  writer.WriteSignature();
  writer.WriteComponent(original);
  LoadSystemFromBytes(*copy_, bytes);
  const std::vector<TMuscle*> originals = MusclesOf(original);
  const std::vector<TMuscle*> twins = MusclesOf(*copy_);
  if (originals.size() != twins.size())
    throw Mismatch(IntToStr(static_cast<int64_t>(twins.size())) + " muscles instead of " +
                   IntToStr(static_cast<int64_t>(originals.size())));
  for (size_t m = 0; m < originals.size(); ++m)
    MapMuscle(*originals[m], *twins[m], static_cast<int>(m) + 1);
  SyncParameters();
}

TSystemTwin::~TSystemTwin() = default;

void TSystemTwin::MapMuscle(TMuscle& original, TMuscle& twin, int index) {
  const int count = original.MotorUnits.Count();
  if (twin.MotorUnits.Count() != count)
    throw Mismatch("muscle " + IntToStr(index) + " has " + IntToStr(twin.MotorUnits.Count()) +
                   " motor units instead of " + IntToStr(count));
  if (muscleTwins_.count(&original) != 0)
    throw Mismatch("muscle " + IntToStr(index) + " is listed twice");
  muscles_.emplace_back(&original, &twin);
  muscleTwins_[&original] = &twin;
  for (int u = 0; u < count; ++u) {
    TMotorUnit* from = original.MotorUnit(u);
    TMotorUnit* to = twin.MotorUnit(u);
    if (from == nullptr || to == nullptr || unitTwins_.count(from) != 0)
      throw Mismatch("motor unit " + IntToStr(u + 1) + " of muscle " + IntToStr(index));
    units_.emplace_back(from, to);
    unitTwins_[from] = to;
  }
}

bool TSystemTwin::Mirrors(const TMechanicalSystem& original) const {
  if (&original != original_) return false;
  size_t unit = 0;
  size_t muscle = 0;
  for (int m = 1; m < original.Muscles.Count(); ++m) {
    const TMuscle* present = original.Muscle(m);
    if (present == nullptr) continue;
    if (muscle >= muscles_.size() || muscles_[muscle++].first != present) return false;
    for (int u = 0; u < present->MotorUnits.Count(); ++u)
      if (unit >= units_.size() || units_[unit++].first != present->MotorUnit(u)) return false;
  }
  return muscle == muscles_.size() && unit == units_.size();
}

void TSystemTwin::SyncParameters() {
  for (const auto& [original, twin] : units_) {
    original->AssignTo(*twin);
    twin->LeadT = original->LeadT;
  }
}

TMuscle* TSystemTwin::TwinOf(const TMuscle* original) const {
  const auto found = muscleTwins_.find(original);
  return found == muscleTwins_.end() ? nullptr : found->second;
}

TMotorUnit* TSystemTwin::TwinOf(const TMotorUnit* original) const {
  const auto found = unitTwins_.find(original);
  return found == unitTwins_.end() ? nullptr : found->second;
}

}  // namespace sarvanta
