// A rigid bone of the skeleton: geometry, mass, and the joints at its two ends.
#pragma once

#include "model/InspectedObject.h"

#include <cstdint>

namespace sarvanta {

class TJoint;

class TBone : public TInspectedObject {
 public:
  // Sets the tag 1, stores the values and the name, then joins the owner (which files the
  // bone in its bone list). The stream reader uses the defaults: empty name, all values 0.
  explicit TBone(TComponent* owner = nullptr, const std::string& name = "", long double length = 0,
                 long double mass = 0, long double inertM = 0, long double startX = 0,
                 long double startY = 0, long double startZ = 0, long double endX = 0,
                 long double endY = 0, long double endZ = 0);

  // Rows: Name, Length, Mass, InertM, FromJoint, ToJoint, FixedEdges, StartPoint*, EndPoint*.
  std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) override;

  // FromJntInd/ToJntInd := positions of FromJnt/ToJnt in `joints` (none finds the placeholder,
  // 0; a joint missing from the list gives -1).
  void UpdateIndexReferences(const TStringList& joints);
  // For each index in 0..count-1 of `joints`: the reference := that entry's joint (0 gives
  // none). Any other index (-1, out of range, an entry that is not a joint) changes nothing.
  void UpdateObjectReferences(const TStringList& joints);

  const TClassInfo& ClassInfo() const override;

  TJoint* FromJnt = nullptr;
  TJoint* ToJnt = nullptr;
  int32_t FromJntInd = 0;
  int32_t ToJntInd = 0;
  long double Length = 0;
  long double Mass = 0;
  long double InertM = 0;
  uint8_t FixedEdges = 0;
  long double StartPointX = 0;
  long double StartPointY = 0;
  long double StartPointZ = 0;
  long double EndPointX = 0;
  long double EndPointY = 0;
  long double EndPointZ = 0;
};

}  // namespace sarvanta
