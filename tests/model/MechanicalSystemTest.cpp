// The system's lists, counters and notification, and references between bones, joints and
// muscles turned into indices and back.
#include "model/MechanicalSystem.h"

#include "base/Exception.h"
#include "model/Bone.h"
#include "model/Joint.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/PropertyCells.h"

#include <gtest/gtest.h>

#include <string>

namespace sarvanta {
namespace {

TEST(MechanicalSystem, NewSystemHasOnlyPlaceholdersAndWritesNoLists) {
  TMechanicalSystem system;
  for (const TStringList* list : {&system.Bones, &system.Joints, &system.Muscles}) {
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Strings(0), "");
    EXPECT_EQ(list->Objects(0), nullptr);
  }
  EXPECT_EQ(SaveSystemToBytes(system).size(), 25u);
  EXPECT_EQ(system.BoneCounter.Next(), "1");
  EXPECT_EQ(system.BoneCounter.Next(), "2");
  EXPECT_EQ(system.JointCounter.Count, 0);
}

TEST(MechanicalSystem, ListsFollowInsertionRemovalAndTags) {
  TMechanicalSystem system;
  auto* bone = new TBone(&system, "Humerus", 0.3L, 2.0L, 100.0L);
  auto* joint = new TJoint(&system, "Elbow");
  auto* muscle = new TMuscle(&system, "Biceps");
  new TMotorUnit(&system, "Stray");  // tag 0: never listed
  EXPECT_EQ(bone->Tag, 1);
  EXPECT_EQ(joint->Tag, 2);
  EXPECT_EQ(muscle->Tag, 4);
  ASSERT_EQ(system.Bones.Count(), 2);
  EXPECT_EQ(system.Bones.Strings(1), "Humerus");
  EXPECT_EQ(system.Bone(1), bone);
  EXPECT_EQ(system.Joint(1), joint);
  EXPECT_EQ(system.Muscle(1), muscle);
  EXPECT_EQ(system.Muscles.Count(), 2);
  EXPECT_EQ(system.Bone(0), nullptr);
  EXPECT_EQ(system.Bone(2), nullptr);

  delete joint;
  EXPECT_EQ(system.Joints.Count(), 1);
  system.UpdateLists();
  EXPECT_EQ(system.Bones.Count(), 2);
  EXPECT_EQ(system.Joints.Count(), 1);
  EXPECT_EQ(system.Muscles.Count(), 2);

  // A file may give a bone the muscles' tag: it then belongs in no list, and freeing it still
  // takes it out of the list it was entered in.
  bone->Tag = KindTag::Muscle;
  system.UpdateLists();
  EXPECT_EQ(system.Bones.Count(), 1);
  EXPECT_EQ(system.Muscles.Count(), 2);
  auto* retagged = new TBone(&system, "Radius");
  retagged->Tag = KindTag::Joint;
  delete retagged;
  EXPECT_EQ(system.Bones.Count(), 1);

  system.Clear();
  EXPECT_EQ(system.ComponentCount(), 0);
  EXPECT_EQ(system.Muscles.Count(), 1);
}

TEST(MechanicalSystem, JointBoneSettersKeepTheIndexInStep) {
  TMechanicalSystem system;
  auto* upper = new TBone(&system, "Upper");
  auto* lower = new TBone(&system, "Lower");
  auto* joint = new TJoint(&system, "Elbow", 0.3L, 0.3L, 0.1L, upper, lower, 10, 90);
  EXPECT_EQ(joint->FBoneInd, 1);
  EXPECT_EQ(joint->SBoneInd, 2);
  joint->SetSBone(nullptr);
  EXPECT_EQ(joint->SBoneInd, 0);

  TBone outside(nullptr, "Loose");
  joint->SetFBone(&outside);
  EXPECT_EQ(joint->FBoneInd, -1);

  // Through the inspector row, too.
  auto description = joint->ObjectDescription("Elbow");
  EXPECT_TRUE(StoreCellText(*description->FindRow("FirstBone"), "Lower"));
  EXPECT_EQ(joint->FBone(), lower);
  EXPECT_EQ(joint->FBoneInd, 2);
  EXPECT_TRUE(StoreCellText(*description->FindRow("JointType"), "3"));
  EXPECT_EQ(joint->JointType, 3);
  EXPECT_EQ(*CellText(*description->FindRow("JointType")), "3");
}

TEST(MechanicalSystem, ReferencesSurviveSavingAndLoading) {
  TMechanicalSystem system;
  auto* upper = new TBone(&system, "Upper", 0.3L, 2.0L, 100.0L);
  auto* lower = new TBone(&system, "Lower", 0.3L, 2.0L, 100.0L);
  auto* shoulder = new TJoint(&system, "Shoulder");
  auto* elbow = new TJoint(&system, "Elbow", 0, 0, 0, upper, lower);
  auto* muscle = new TMuscle(&system, "Biceps");
  auto description = upper->ObjectDescription("Upper");
  ASSERT_TRUE(StoreCellText(*description->FindRow("FromJoint"), "Shoulder"));
  ASSERT_TRUE(StoreCellText(*description->FindRow("ToJoint"), "Elbow"));
  lower->FromJnt = elbow;
  muscle->FromBone = upper;
  muscle->ToBone = lower;
  (void)shoulder;

  const std::string bytes = SaveSystemToBytes(system);
  EXPECT_EQ(upper->FromJntInd, 1);
  EXPECT_EQ(upper->ToJntInd, 2);
  EXPECT_EQ(lower->ToJntInd, 0);
  EXPECT_EQ(muscle->ToBoneInd, 2);

  TMechanicalSystem loaded;
  LoadSystemFromBytes(loaded, bytes);
  ASSERT_EQ(loaded.Bones.Count(), 3);
  ASSERT_EQ(loaded.Joints.Count(), 3);
  ASSERT_EQ(loaded.Muscles.Count(), 2);
  EXPECT_EQ(loaded.Bones.Strings(2), "Lower");
  EXPECT_EQ(loaded.Bone(1)->FromJnt, loaded.Joint(1));
  EXPECT_EQ(loaded.Bone(1)->ToJnt, loaded.Joint(2));
  EXPECT_EQ(loaded.Bone(2)->FromJnt, loaded.Joint(2));
  EXPECT_EQ(loaded.Bone(2)->ToJnt, nullptr);
  EXPECT_EQ(loaded.Joint(2)->FBone(), loaded.Bone(1));
  EXPECT_EQ(loaded.Joint(2)->SBone(), loaded.Bone(2));
  EXPECT_EQ(loaded.Muscle(1)->FromBone, loaded.Bone(1));
  EXPECT_EQ(loaded.Muscle(1)->ToBone, loaded.Bone(2));
  EXPECT_EQ(SaveSystemToBytes(loaded), bytes);
}

TEST(MechanicalSystem, IndicesOutsideTheListLeaveReferencesUnchanged) {
  TMechanicalSystem system;
  auto* joint = new TJoint(&system, "Elbow");
  auto* bone = new TBone(&system, "Upper");
  auto* muscle = new TMuscle(&system, "Biceps");
  for (int32_t index : {2, 3, 1000, -1, -5, INT32_MIN}) {
    bone->FromJnt = joint;
    bone->FromJntInd = index;
    muscle->FromBone = bone;
    muscle->FromBoneInd = index;
    system.UpdateObjectReferences();
    EXPECT_EQ(bone->FromJnt, joint) << index;
    EXPECT_EQ(muscle->FromBone, bone) << index;
  }
  bone->FromJntInd = 0;
  system.UpdateObjectReferences();
  EXPECT_EQ(bone->FromJnt, nullptr);

  // A joint that left the system is no longer found: its index becomes -1.
  TJoint loose;
  bone->ToJnt = &loose;
  system.UpdateIndexReferences();
  EXPECT_EQ(bone->ToJntInd, -1);
}

TEST(MechanicalSystem, ReadingKeepsWhatWasReadBeforeAFailure) {
  TMechanicalSystem system;
  new TBone(&system, "Upper", 0.3L);
  new TBone(&system, "Lower", 0.3L);
  std::string bytes = SaveSystemToBytes(system);
  // Cut the file inside the second bone's record.
  bytes.resize(bytes.size() - 12);
  TMechanicalSystem loaded;
  EXPECT_THROW(LoadSystemFromBytes(loaded, bytes), EReadError);
  EXPECT_EQ(loaded.ComponentCount(), 2);
  loaded.UpdateLists();
  EXPECT_EQ(loaded.Bones.Strings(1), "Upper");
}

}  // namespace
}  // namespace sarvanta
