// A muscle spans from one bone to another and is made of motor units; its force is the sum
// of its units' forces. Four polynomials give its force arm, force angle, length and PCSA as
// functions of a joint angle.
#pragma once

#include "model/InspectedObject.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace sarvanta {

class TBone;
class TCache;
class TMotorUnit;
class TPolynomial;

class TMuscle : public TInspectedObject {
 public:
  // Tag 4, an empty motor-unit list, four empty polynomials owned by the muscle, BoneHolding
  // 0.01, Plane 1, CacheInvalid true; then the name, and joining the owner.
  explicit TMuscle(TComponent* owner = nullptr, const std::string& name = "");
  ~TMuscle() override;

  // The sum of the motor units' forces at t, in list order; 0 without motor units.
  long double Force(long double t) const;
  // The same sums at every given time: samples[i] := Force(times[i]), bit for bit.
  void SampleForce(std::span<const long double> times, std::span<long double> samples) const;

  // SampleForce, copied from the cache instead when the cache is valid and holds samples at
  // exactly these times (the result files and charts of a run's best solution), or else from
  // Presampled when it was sampled at these times (its first time may differ: that one point
  // is then sampled on its own).
  void SampleForceCached(std::span<const long double> times, std::span<long double> samples) const;

  // The force sampled beforehand at chosen times, so that the result curves of several goals
  // and charts share one sampling of the same solution. Whoever sets it clears it before the
  // trains or parameters change, and never while others sample.
  struct TPresampled {
    std::vector<long double> Times;
    std::vector<long double> Values;
  };
  std::shared_ptr<const TPresampled> Presampled;

  // Brings the assigned value cache up to date: recomputed when its time frame changed or
  // CacheInvalid is set; then CacheInvalid is cleared. Nothing happens without a cache. The
  // samples are always this muscle's force, whichever muscle the cache was made for.
  void UpdateCache();

  void UpdateIndexReferences(const TStringList& bones);
  // For each index in 0..count-1 of `bones`: the reference := that entry's bone (0 gives
  // none). Any other index changes nothing.
  void UpdateObjectReferences(const TStringList& bones);

  // Rows: Name, Plane, BoneHolding, FromBone, ToBone, Lenght, PCSA, ForceArm, ForceAngle,
  // MotorUnits; every row edits through PropertiesEditor.
  std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) override;

  // Motor unit number `index` of the list (from 0), or nullptr.
  TMotorUnit* MotorUnit(int index) const;
  // Appends (its Descr, unit) to MotorUnits; the muscle becomes the unit's owner.
  void AddMotorUnit(TMotorUnit* unit);

  const TClassInfo& ClassInfo() const override;

  // The muscle-properties dialog's edit operation, installed by the desktop program; every
  // row of a muscle's description offers it.
  static inline TEditCallback PropertiesEditor;

  uint8_t Plane = 1;
  long double BoneHolding = 0.01L;
  TBone* FromBone = nullptr;
  TBone* ToBone = nullptr;
  int32_t FromBoneInd = 0;
  int32_t ToBoneInd = 0;
  // (unit Descr, TMotorUnit) from index 0, no placeholder; the units are owned components.
  TStringList MotorUnits;
  TPolynomial* ForceArmPoly;
  TPolynomial* ForceAnglePoly;
  TPolynomial* LengthPoly;
  TPolynomial* PCSAPoly;
  // The cache of this muscle's force over the task's time grid; not owned.
  TCache* Cache = nullptr;
  bool CacheInvalid = true;

 protected:
  // A motor unit freed by anyone leaves MotorUnits at once.
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // Copies Presampled when it was sampled at `times` (see SampleForceCached).
  bool CopyPresampled(std::span<const long double> times, std::span<long double> samples) const;
};

}  // namespace sarvanta
