// check's findings: every listed condition on a crafted project and task, none on the examples.
#include "ga/GeneticAlgorithm.h"
#include "ga/GoalKinematic.h"
#include "ga/TaskFile.h"
#include "model/Bone.h"
#include "model/Joint.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/ProjectFile.h"
#include "model/StreamJson.h"
#include "model/TimeFrame.h"
#include "task/ModelCheck.h"
#include "task/TaskEditing.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

using namespace sarvanta;

namespace {

// Loads the system after swapping the first two impulses of its first muscle's first unit in
// the stored file, as a hand-edited file could hold them (the program itself keeps trains
// sorted).
void SwapFirstImpulses(TMechanicalSystem& system) {
  auto json = nlohmann::ordered_json::parse(StreamToJson(SaveSystemToBytes(system)));
  for (auto& property : json["root"]["properties"]) {
    if (property["name"] != "Muscles") continue;
    for (auto& unitProperty : property["records"][0]["properties"]) {
      if (unitProperty["name"] != "MU") continue;
      for (auto& value : unitProperty["records"][0]["properties"])
        if (value["name"] == "ImpArray")
          std::swap(value["value"]["list"][0], value["value"]["list"][1]);
    }
  }
  LoadSystemFromBytes(system, JsonToStream(json.dump()));
}

}  // namespace

TEST(ModelCheck, FlagsEveryConditionOfACraftedProjectAndTask) {
  TMechanicalSystem system;
  auto* upper = new TBone(&system, "Humerus", -0.3L, 2, 0.06L);
  auto* lower = new TBone(&system, "Forearm", 0.27L, -1.5L, -0.065L);
  new TBone(&system, "Forearm", 0.27L, 1.5L, 0.065L);
  new TJoint(&system, "Elbow", 0, 0, 0, upper, lower);
  auto* muscle = new TMuscle(&system, "Biceps");
  muscle->FromBone = upper;
  muscle->ToBone = nullptr;  // a muscle that ends nowhere
  auto addUnit = [muscle](const std::string& name, long double fmin, long double fmax,
                          long double tc, long double tr, long double tref) {
    auto* unit = new TMotorUnit(muscle, name, fmin, 1000, 2, fmax, tc, tref, tr, 100, 0);
    muscle->AddMotorUnit(unit);
    return unit;
  };
  const long double train[] = {10, 30, 150};
  addUnit("MU1", 0.5L, 1, 20, 30, 5)->SetImpArray(train);
  addUnit("MU2", 2, 1, 0, -1, 0);
  addUnit("MU2", 0.5L, 1, 20, 30, 5);
  system.UpdateLists();
  SwapFirstImpulses(system);  // reloads the system: the indices below are set after it
  system.Bone(3)->FromJntInd = 5;
  system.Joint(1)->SBoneInd = 9;

  EXPECT_EQ(CheckSystem(system),
            (std::vector<std::string>{
                "Bone \"Humerus\": Length -0.3 is negative",
                "Bone \"Forearm\": Mass -1.5 is negative",
                "Bone \"Forearm\": InertM -0.065 is negative",
                "Bone \"Forearm\": FromJoint refers to joint 5, which does not exist",
                "Joint \"Elbow\": SecondBone refers to bone 9, which does not exist",
                "Muscle \"Biceps\": ToBone refers to bone 0, which does not exist",
                "Muscle \"Biceps\", motor unit \"MU1\": impulse 2 at 10 ms comes before impulse 1 "
                "at 30 ms (the train is out of order)",
                "Muscle \"Biceps\", motor unit \"MU2\": Fmin 2 is above Fmax 1",
                "Muscle \"Biceps\", motor unit \"MU2\": Tc 0 is not above 0",
                "Muscle \"Biceps\", motor unit \"MU2\": Tr -1 is not above 0",
                "Muscle \"Biceps\", motor unit \"MU2\": Tref 0 is not above 0",
                "Muscle \"Biceps\", motor unit \"MU2\": the name is used more than once",
                "Bone \"Forearm\": the name is used more than once",
            }));

  TGeneticAlgorithm algorithm;
  auto* angle = dynamic_cast<TGFJointAngle*>(CreateStandardGoal(6, algorithm));
  ASSERT_NE(angle, nullptr);
  angle->FromBoneInd = 1;
  angle->ToBoneInd = 7;
  CreateStandardGoal(0, algorithm);
  algorithm.TimeFrame->SetFrame(true, true, 0, 100, 2, 2, 5, 100);
  EXPECT_EQ(CheckTask(algorithm, system),
            (std::vector<std::string>{
                "Goal 1 \"Joint angle\": To Bone refers to bone 7, which does not exist in the "
                "project",
                "Muscle \"Biceps\", motor unit \"MU1\": 1 impulses outside the task's time frame "
                "(-5 .. 100 ms)",
            }));
}

TEST(ModelCheck, TheExamplesAreClean) {
  RegisterTaskClasses();
  for (const char* name : {"elbow", "bench-arm"}) {
    const std::string base = std::string(SARVANTA_EXAMPLES_DIR) + "/" + name;
    TMechanicalSystem system;
    LoadSystemFromFile(system, base + ".svt");
    TGeneticAlgorithm algorithm;
    LoadTaskFromFile(algorithm, base + ".hga");
    algorithm.RenameLists();
    EXPECT_EQ(CheckSystem(system), std::vector<std::string>{}) << name;
    EXPECT_EQ(CheckTask(algorithm, system), std::vector<std::string>{}) << name;
  }
}
