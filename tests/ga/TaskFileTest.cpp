#include "base/Exception.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"
#include "ga/TaskFile.h"
#include "model/TimeFrame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace sarvanta;

namespace {

// Mutation, crossover and common-mutation codes with their levels, as the task window offers
// them.
struct TOperationKind {
  int Class;  // 0 mutation, 1 crossover, 2 common mutation
  int32_t Level;
  int32_t OpType;
};
constexpr TOperationKind kOperationKinds[] = {
    {0, 0, 1},   {0, 0, 2},   {0, 0, 4},  {0, 0, 8},  {0, 1, 16}, {0, 1, 32},
    {0, 1, 64},  {0, 2, 128}, {1, 0, -1}, {1, 0, -2}, {1, 1, -4}, {1, 1, -8},
    {1, 2, -16}, {1, 2, -32}, {2, 0, -1}, {2, 0, -2}, {2, 1, -4}, {2, 1, -8}};

// A task with every goal class, every operation kind and non-default settings.
void FillTask(TGeneticAlgorithm& ga) {
  ga.AlwaysUseVisFrame = true;
  ga.VisibleFrameEnd = 200;
  ga.VisiblePrecision = 2;
  ga.PopulationSize = 6;
  ga.NumberOfSteps = 1000;
  ga.MutationsPerStep = 2;
  ga.AccuracyTreshold = 0.125L;
  ga.MoveFrameWith = 2;
  ga.StopMoveAfter = 60;
  ga.MoveOnEach = 10;
  ga.StopChangePrecAfter = 100;
  ga.OscilateOnEach = -3;
  ga.SetFunctions(0, 2, 1, 1, 2, 1, 0.375L);
  ga.TimeFrame->SetFrame(true, true, 0, 200, 2, 1, 40, 50);
  ga.TimeFrame->OscRange = 0.5L;

  new TGFMinimalForce(&ga, 1, "Minimal aggregate force");
  new TGFMinimalMUActivation(&ga, 0.5L, "x");
  new TGFMinimalFatigue(&ga, 0, "");
  auto* reaction = new TGFMinimalJointReaction(&ga, 2, "r");
  reaction->FromBoneInd = 1;
  reaction->ToBoneInd = 300;
  reaction->Expression = "a*sin(t/100)";
  reaction->A = 0.3L;
  auto* pcsa = new TGFPCSAbased(&ga, 1, "p");
  pcsa->n = 2;
  pcsa->UseSigns = true;
  auto* angle = new TGFJointAngle(&ga, 1, "a");
  angle->ToBoneInd = -1;
  angle->D = -4;
  auto* position = new TGFBonePosition(&ga, 1, "b");
  position->BoneEdge = 1;
  position->BoneInd = 2;
  auto* checks = new TGFJointAngleCheckPoints(&ga, 1, "c");
  checks->Moments = {10, 20.5L, 190};
  checks->MomentsCnt = 3;
  auto* check = new TGFBonePosCheckPoint(&ga, 1, "d");
  check->Moment = 50;
  check->Value = 0.1L;
  check->Expression = std::string(255, 't');  // the longest formula

  int i = 0;
  for (const TOperationKind& kind : kOperationKinds) {
    TGeneticOperation* operation;
    if (kind.Class == 0) {
      auto* m = new TMutationOperation(&ga, kind.Level);
      m->Range = 0.25L * i;
      operation = m;
    } else if (kind.Class == 1) {
      operation = new TCrossoverOperation(&ga, kind.Level);
    } else {
      auto* c = new TCommonMutationOperation(&ga, kind.Level);
      c->Range = 1;
      operation = c;
    }
    operation->OpType = kind.OpType;
    operation->NumberOfPoints = i % 3;
    operation->OpProbability = 0.1L * i;
    operation->Descr = "Operation " + std::to_string(i++);
  }
  // A long text is stored with tag 12.
  static_cast<TGeneticOperation*>(ga.Operations.Objects(0))->Descr = std::string(300, 'd');
  ga.RebuildOperationLevels();
}

}  // namespace

TEST(TaskFile, WriteReadWriteGivesTheSameBytes) {
  RegisterTaskClasses();
  TGeneticAlgorithm original;
  FillTask(original);
  const std::string bytes = SaveTaskToBytes(original);
  ASSERT_EQ(bytes.substr(0, 4), "TPF0");
  // Booleans are always written: "AlwaysUseVisFrame" true as tag 9, "UseSigns" as tag 9 too.
  EXPECT_NE(bytes.find("\x11"
                       "AlwaysUseVisFrame\x09"),
            std::string::npos);
  EXPECT_NE(bytes.find("\x08"
                       "UseSigns\x09"),
            std::string::npos);
  EXPECT_NE(bytes.find("\x05"
                       "Descr\x0C"),
            std::string::npos);

  TGeneticAlgorithm loaded;
  LoadTaskFromBytes(loaded, bytes);
  EXPECT_EQ(SaveTaskToBytes(loaded), bytes);

  ASSERT_EQ(loaded.Goals.Count(), 9);
  EXPECT_EQ(loaded.Goals.Strings(3), "Minimal joint reaction");
  auto* checks = dynamic_cast<TGFJointAngleCheckPoints*>(loaded.Goal(7));
  ASSERT_NE(checks, nullptr);
  EXPECT_EQ(checks->Moments, (std::vector<long double>{10, 20.5L, 190}));
  EXPECT_TRUE(dynamic_cast<TGFPCSAbased*>(loaded.Goal(4))->UseSigns);
  EXPECT_EQ(loaded.Operations.Count(), 18);
  EXPECT_EQ(loaded.MutationOperations[1].Count(), 3);
  EXPECT_EQ(loaded.CrossoverOperations[2].Count(), 2);
  EXPECT_EQ(loaded.CommonMutOperations[0].Count(), 2);
  EXPECT_EQ(loaded.CommonMutOperations[0].Strings(0), "Operation 14");
  EXPECT_EQ(loaded.AccuracyTreshold, 0.125L);
  EXPECT_EQ(loaded.TimeFrame->CtrlStart, 0);  // PreCtrlExt came back
  EXPECT_EQ(loaded.TimeFrame->CtrlEnd, 240);
  EXPECT_TRUE(loaded.TimeFrame->FixedStart());
  // The stored choices are installed again: "All" for mutation walks the population.
  EXPECT_EQ(loaded.SelFuncForMutation, 0);
  EXPECT_EQ(loaded.StopCriterion, 1);
  EXPECT_EQ(loaded.InitActivation, 0.375L);
  ASSERT_TRUE(loaded.MutationSelector);
  EXPECT_EQ(loaded.MutationSelector(loaded.Population), nullptr);

  // Loading again replaces the task instead of adding to it, and settings the file leaves
  // out (zero values) go back to their defaults.
  TGeneticAlgorithm small;
  new TGFMinimalForce(&small, 1, "");
  LoadTaskFromBytes(loaded, SaveTaskToBytes(small));
  EXPECT_EQ(loaded.Goals.Count(), 1);
  EXPECT_EQ(loaded.Operations.Count(), 0);
  EXPECT_EQ(loaded.AccuracyTreshold, 0);
  EXPECT_FALSE(loaded.AlwaysUseVisFrame);
  EXPECT_EQ(loaded.TimeFrame->OscRange, 0);
  EXPECT_EQ(SaveTaskToBytes(loaded), SaveTaskToBytes(small));
}

TEST(TaskFile, ValuesAFileLeavesOutReadAsZeroOrEmpty) {
  RegisterTaskClasses();
  TGeneticAlgorithm ga;
  ga.InitActivation = 0;  // not stored, though a new algorithm has 1
  auto* angle = new TGFJointAngle(&ga, 0, "");
  angle->Expression.clear();  // not stored, though a new goal has "t"
  const std::string bytes = SaveTaskToBytes(ga);
  TGeneticAlgorithm loaded;
  LoadTaskFromBytes(loaded, bytes);
  EXPECT_EQ(loaded.InitActivation, 0);
  auto* read = dynamic_cast<TGFJointAngle*>(loaded.Goal(0));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Expression, "");
  EXPECT_EQ(SaveTaskToBytes(loaded), bytes);
  read->UpdateExpression();  // an empty angle is "0"
  EXPECT_EQ(read->Expression, "0");
  EXPECT_EQ(read->ExpressionValue(3), 0);
}

TEST(TaskFile, MomentsBlockKeepsEveryStoredValue) {
  RegisterTaskClasses();
  for (int32_t count : {1, 5, -1}) {
    TGeneticAlgorithm ga;
    auto* goal = new TGFJointAngleCheckPoints(&ga, 1, "");
    goal->Moments = {7, 8, 9};
    goal->MomentsCnt = count;
    TGeneticAlgorithm loaded;
    LoadTaskFromBytes(loaded, SaveTaskToBytes(ga));
    auto* read = static_cast<TGFJointAngleCheckPoints*>(loaded.Goal(0));
    EXPECT_EQ(read->MomentsCnt, count);
    // More values than MomentsCnt are all kept; fewer leave zeros; -1 writes no block.
    const std::vector<long double> expected =
        count == 1
            ? std::vector<long double>{7, 8, 9}
            : (count == 5 ? std::vector<long double>{7, 8, 9, 0, 0} : std::vector<long double>{});
    EXPECT_EQ(read->Moments, expected);
  }

  // A count no task has is taken for a damaged file, not allocated.
  TGeneticAlgorithm huge;
  auto* goal = new TGFJointAngleCheckPoints(&huge, 1, "");
  goal->MomentsCnt = 2'000'000'000;
  TGeneticAlgorithm loaded;
  EXPECT_THROW(LoadTaskFromBytes(loaded, SaveTaskToBytes(huge)), EReadError);
}

TEST(TaskFile, MalformedFilesGiveClearErrorsAndChangeNothing) {
  RegisterTaskClasses();
  TGeneticAlgorithm source;
  FillTask(source);
  const std::string bytes = SaveTaskToBytes(source);

  TGeneticAlgorithm target;
  new TGFMinimalForce(&target, 3, "");
  target.PopulationSize = 9;
  const std::string before = SaveTaskToBytes(target);
  // Every truncation fails with a read error and leaves the algorithm as it was.
  for (size_t length = 0; length < bytes.size(); ++length) {
    EXPECT_THROW(LoadTaskFromBytes(target, bytes.substr(0, length)), EReadError) << length;
  }
  EXPECT_EQ(SaveTaskToBytes(target), before);
  // Every single damaged byte either loads or fails with an error of the program.
  for (size_t at = 4; at < bytes.size(); at += 7) {
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
    try {
      LoadTaskFromBytes(target, damaged);
    } catch (const Exception&) {
    }
  }
  LoadTaskFromBytes(target, before);  // some damaged files are still valid tasks
  EXPECT_EQ(SaveTaskToBytes(target), before);

  auto message = [&target](const std::string& data) -> std::string {
    try {
      LoadTaskFromBytes(target, data);
    } catch (const EReadError& e) {
      return e.what();
    }
    return "loaded";
  };
  EXPECT_NE(message(bytes + "x").find("Unexpected data after the task"), std::string::npos)
      << message(bytes + "x");

  // A component of the wrong class in the goal list.
  std::string wrong;
  TWriter writer(wrong);
  writer.WriteSignature();
  writer.WriteShortString("TGeneticAlgorithm");
  writer.WriteShortString("");
  writer.WriteShortString("Goals");
  writer.WriteListBegin();
  TTimeFrame frame;
  writer.WriteComponent(frame);
  writer.WriteListEnd();
  writer.WriteByte(0);
  writer.WriteByte(0);
  EXPECT_NE(message(wrong).find("\"TTimeFrame\" is not a goal"), std::string::npos);

  std::string unknown = bytes;
  const size_t name = unknown.find("TGFMinimalForce");
  ASSERT_NE(name, std::string::npos);
  unknown.replace(name, 15, "TGFMinimalFarce");
  EXPECT_NE(message(unknown).find("not registered"), std::string::npos);
  EXPECT_EQ(SaveTaskToBytes(target), before);
}

TEST(TaskFile, FilesAreWrittenWholeAndErrorsNameTheFile) {
  RegisterTaskClasses();
  const auto folder = std::filesystem::temp_directory_path() / "sarvanta-taskfile-test";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "task.hga").string();
  TGeneticAlgorithm ga;
  FillTask(ga);
  SaveTaskToFile(ga, path);
  TGeneticAlgorithm loaded;
  LoadTaskFromFile(loaded, path);
  EXPECT_EQ(SaveTaskToBytes(loaded), SaveTaskToBytes(ga));

  EXPECT_THROW(LoadTaskFromFile(loaded, (folder / "missing.hga").string()), EFileError);
  SaveTaskToFile(ga, path);
  std::filesystem::resize_file(path, 40);
  try {
    LoadTaskFromFile(loaded, path);
    FAIL() << "a cut file loaded";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
  }
  std::filesystem::remove_all(folder);
}
