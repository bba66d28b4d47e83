#include "ga/SystemTwin.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "model/Bone.h"
#include "model/Joint.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/References.h"
#include "model/Stream.h"

namespace sarvanta {

namespace {

std::vector<TMuscle*> MusclesOf(const TMechanicalSystem& system) {
  std::vector<TMuscle*> muscles;
  for (int m = 1; m < system.Muscles.Count(); ++m)
    if (TMuscle* muscle = system.Muscle(m)) muscles.push_back(muscle);
  return muscles;
}

// The component's class, tag and published values, each exactly as it stands. Not the file
// record: that leaves out zeros (so -0 would pass for 0) and refuses enum values without a name,
// while a view must tell every difference and never fail.
void WriteProperties(const TStreamComponent& component, TWriter& writer) {
  const TClassInfo& info = component.ClassInfo();
  writer.WriteShortString(info.ClassName);
  writer.WriteInteger(component.Tag);
  for (const TPropertyInfo& property : info.Properties) {
    switch (property.Type) {
      case TPropType::Extended:
        writer.WriteFloat(property.GetFloat(component));
        break;
      case TPropType::String:
        writer.WriteString(property.GetString(component));
        break;
      default:
        writer.WriteInteger(property.GetInt(component));
    }
  }
}

// The published values and the custom blocks, but the one named `skipped`.
void WriteValues(const TStreamComponent& component, TWriter& writer,
                 const std::string& skipped = "") {
  WriteProperties(component, writer);
  for (const TBlockInfo& block : component.ClassInfo().Blocks) {
    if (block.Name == skipped || (block.ShouldWrite && !block.ShouldWrite(component))) continue;
    writer.WriteShortString(block.Name);
    block.Write(component, writer);
  }
  writer.WriteListEnd();
}

// Every entry of a system list after its placeholder, a missing one as an empty record.
template <class T, class TWriteEntry>
void WriteEntries(const TStringList& list, TWriter& writer, TWriteEntry writeEntry) {
  for (int i = 1; i < list.Count(); ++i) {
    if (const auto* entry = dynamic_cast<const T*>(list.Objects(i)))
      writeEntry(*entry);
    else
      writer.WriteListEnd();
  }
}

Exception Mismatch(const std::string& what) {
  return Exception("The copy of the system for an evaluation thread does not match the system: " +
                   what);
}

}  // namespace

TSystemTwin::TSystemTwin(TMechanicalSystem& original)
    : original_(&original), copy_(std::make_unique<TMechanicalSystem>()) {
  // Written as it stands: saving would first refresh the original's stored list indices, and
  // a run must leave the model as a single-threaded run leaves it. Forces do not depend on the
  // bone references the copy rebuilds from those indices; goals do, and GoalView tells
  // whether the copy's references lead where the original's do.
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
  view_ = GoalView(*copy_);
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

std::string GoalView(const TMechanicalSystem& system) {
  std::string view;
  TWriter writer(view);
  // The system's blocks are its lists, written below entry by entry.
  WriteProperties(system, writer);
  const auto index = [&](const TStringList& list, const TObject* object) {
    writer.WriteInteger(IndexInList(list, object));
  };
  WriteEntries<TBone>(system.Bones, writer, [&](const TBone& bone) {
    WriteValues(bone, writer);
    index(system.Joints, bone.FromJnt);
    index(system.Joints, bone.ToJnt);
  });
  WriteEntries<TJoint>(system.Joints, writer, [&](const TJoint& joint) {
    WriteValues(joint, writer);
    index(system.Bones, joint.FBone());
    index(system.Bones, joint.SBone());
  });
  WriteEntries<TMuscle>(system.Muscles, writer, [&](const TMuscle& muscle) {
    WriteValues(muscle, writer, "MU");
    index(system.Bones, muscle.FromBone);
    index(system.Bones, muscle.ToBone);
    writer.WriteInteger(muscle.MotorUnits.Count());
  });
  return view;
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
