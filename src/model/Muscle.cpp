#include "model/Muscle.h"

#include "model/Bone.h"
#include "model/Cache.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Polynomial.h"
#include "model/PublishedProperties.h"
#include "model/References.h"

#include <algorithm>

namespace sarvanta {

TMuscle::TMuscle(TComponent* owner, const std::string& name)
    : TInspectedObject(nullptr),
      ForceArmPoly(new TPolynomial(this)),
      ForceAnglePoly(new TPolynomial(this)),
      LengthPoly(new TPolynomial(this)),
      PCSAPoly(new TPolynomial(this)) {
  Tag = KindTag::Muscle;
  Descr = name;
  JoinOwner(owner);
}

TMuscle::~TMuscle() { DestroyComponents(); }

void TMuscle::Notification(TComponent* component, TOperation operation) {
  TInspectedObject::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  const int index = MotorUnits.IndexOfObject(component);
  if (index >= 0) MotorUnits.Delete(index);
}

long double TMuscle::Force(long double t) const {
  long double sum = 0;
  for (const auto& entry : MotorUnits)
    sum += static_cast<const TMotorUnit*>(entry.Object)->Force(t);
  return sum;
}

void TMuscle::SampleForce(std::span<const long double> times,
                          std::span<long double> samples) const {
  std::fill(samples.begin(), samples.end(), 0.0L);
  for (const auto& entry : MotorUnits)
    static_cast<const TMotorUnit*>(entry.Object)->AddForceSamples(times, samples);
}

void TMuscle::SampleForceCached(std::span<const long double> times,
                                std::span<long double> samples) const {
  const auto cached = [&] {
    if (Cache == nullptr || CacheInvalid || !(Cache->TimeStep > 0) ||
        Cache->Samples.size() != times.size())
      return false;
    try {
      return std::ranges::equal(Cache->GridTimes(), times);
    } catch (const std::exception&) {
      return false;  // a grid the cache cannot have been sampled on
    }
  };
  if (cached())
    std::ranges::copy(Cache->Samples, samples.begin());
  else if (!CopyPresampled(times, samples))
    SampleForce(times, samples);
}

bool TMuscle::CopyPresampled(std::span<const long double> times,
                             std::span<long double> samples) const {
  const TPresampled* presampled = Presampled.get();
  if (presampled == nullptr || times.empty() || presampled->Times.size() != times.size() ||
      !std::equal(times.begin() + 1, times.end(), presampled->Times.begin() + 1))
    return false;
  std::copy(presampled->Values.begin() + 1, presampled->Values.end(), samples.begin() + 1);
  if (times[0] == presampled->Times[0])
    samples[0] = presampled->Values[0];
  else
    SampleForce(times.first(1), samples.first(1));
  return true;
}

void TMuscle::UpdateCache() {
  if (Cache == nullptr) return;
  // TimeFrameChanged brings the cache's copy of the grid up to date while answering.
  if (Cache->TimeFrameChanged() || CacheInvalid)
    Cache->Recalculate([this](std::span<const long double> times, std::span<long double> samples) {
      SampleForce(times, samples);
    });
  CacheInvalid = false;
}

TMotorUnit* TMuscle::MotorUnit(int index) const {
  if (index < 0 || index >= MotorUnits.Count()) return nullptr;
  return static_cast<TMotorUnit*>(MotorUnits.Objects(index));
}

void TMuscle::AddMotorUnit(TMotorUnit* unit) {
  if (unit->Owner() != this) InsertComponent(unit);
  MotorUnits.Add(unit->Descr, unit);
}

void TMuscle::UpdateIndexReferences(const TStringList& bones) {
  FromBoneInd = IndexInList(bones, FromBone);
  ToBoneInd = IndexInList(bones, ToBone);
}

void TMuscle::UpdateObjectReferences(const TStringList& bones) {
  ReferenceFromIndex(bones, FromBoneInd, FromBone);
  ReferenceFromIndex(bones, ToBoneInd, ToBone);
}

std::unique_ptr<TObjectDescription> TMuscle::ObjectDescription(const std::string& name) {
  auto description = BeginDescription(name, "Muscle");
  const auto* system = dynamic_cast<const TMechanicalSystem*>(Owner());
  const TStringList* bones = system ? &system->Bones : nullptr;
  description->AddProperty("Plane", ValueOf(Plane), PropertyKind::SmallInt);
  description->AddProperty("BoneHolding", ValueOf(BoneHolding), PropertyKind::Extended);
  description->AddProperty("FromBone", ReferenceOf(FromBone), PropertyKind::Reference).List = bones;
  description->AddProperty("ToBone", ReferenceOf(ToBone), PropertyKind::Reference).List = bones;
  description->AddProperty("Lenght", ValueOf(LengthPoly->Coefficients), PropertyKind::FloatArray);
  description->AddProperty("PCSA", ValueOf(PCSAPoly->Coefficients), PropertyKind::FloatArray);
  description->AddProperty("ForceArm", ValueOf(ForceArmPoly->Coefficients),
                           PropertyKind::FloatArray);
  description->AddProperty("ForceAngle", ValueOf(ForceAnglePoly->Coefficients),
                           PropertyKind::FloatArray);
  // Shown only: the cell stays empty and the list is edited in the muscle dialog.
  description->AddProperty("MotorUnits",
                           TReferenceValue{[this]() -> TObject* { return &MotorUnits; }, nullptr},
                           PropertyKind::Reference);
  for (int i = 0; i < description->RowCount(); ++i) description->Row(i).OnEdit = PropertiesEditor;
  return description;
}

namespace {

void WriteData(const TMuscle& muscle, TWriter& writer) {
  for (const TPolynomial* poly :
       {muscle.ForceArmPoly, muscle.ForceAnglePoly, muscle.LengthPoly, muscle.PCSAPoly})
    writer.WriteComponent(*poly);
}

void ReadData(TMuscle& muscle, TReader& reader) {
  for (TPolynomial* poly :
       {muscle.ForceArmPoly, muscle.ForceAnglePoly, muscle.LengthPoly, muscle.PCSAPoly})
    reader.ReadComponent(*poly);
}

void WriteMotorUnits(const TMuscle& muscle, TWriter& writer) {
  writer.WriteListBegin();
  for (const auto& entry : muscle.MotorUnits)
    writer.WriteComponent(*static_cast<const TMotorUnit*>(entry.Object));
  writer.WriteListEnd();
}

// Units are created from the class name stored in their records; the list starts anew.
void ReadMotorUnits(TMuscle& muscle, TReader& reader) {
  muscle.MotorUnits.Clear();
  reader.ReadListBegin();
  while (!reader.EndOfList()) {
    if (muscle.MotorUnits.Count() >= TMechanicalSystem::MaxListEntries)
      reader.Error("TMuscle.MU holds more than " +
                   std::to_string(TMechanicalSystem::MaxListEntries) + " motor units");
    TStreamComponent* component = reader.ReadComponentCreate(&muscle);
    auto* unit = dynamic_cast<TMotorUnit*>(component);
    if (unit == nullptr) {
      delete component;
      reader.Error("A motor-unit list holds a record that is not a motor unit");
    }
    muscle.AddMotorUnit(unit);
  }
  reader.ReadListEnd();
}

}  // namespace

const TClassInfo& TMuscle::ClassInfo() const {
  static const TClassInfo info = [] {
    TBlockInfo data;
    data.Name = "Data";
    data.Write = [](const TStreamComponent& c, TWriter& writer) {
      WriteData(static_cast<const TMuscle&>(c), writer);
    };
    data.Read = [](TStreamComponent& c, TReader& reader) {
      ReadData(static_cast<TMuscle&>(c), reader);
    };
    TBlockInfo units;
    units.Name = "MU";
    units.ShouldWrite = [](const TStreamComponent& c) {
      return static_cast<const TMuscle&>(c).MotorUnits.Count() > 0;
    };
    units.Write = [](const TStreamComponent& c, TWriter& writer) {
      WriteMotorUnits(static_cast<const TMuscle&>(c), writer);
    };
    units.Read = [](TStreamComponent& c, TReader& reader) {
      ReadMotorUnits(static_cast<TMuscle&>(c), reader);
    };
    return TClassInfo{"TMuscle",
                      {DescrProperty(), IntegerProperty("Plane", &TMuscle::Plane),
                       FloatProperty("BoneHolding", &TMuscle::BoneHolding),
                       IntegerProperty("FromBoneInd", &TMuscle::FromBoneInd),
                       IntegerProperty("ToBoneInd", &TMuscle::ToBoneInd)},
                      {data, units}};
  }();
  return info;
}

}  // namespace sarvanta
