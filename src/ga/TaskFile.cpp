#include "ga/TaskFile.h"

#include "base/Exception.h"
#include "ga/GaClasses.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GoalClasses.h"
#include "model/ProjectFile.h"
#include "model/Stream.h"
#include "model/TimeFrame.h"

namespace sarvanta {

namespace {

// Settings a task file may leave out (zero floats are not stored) read as 0, the selection
// choices as a new algorithm has them, so nothing of the previous task leaks into the
// loaded one.
void ResetSettings(TGeneticAlgorithm& a) {
  a.AlwaysUseVisFrame = false;
  a.VisibleFrameStart = a.VisiblePrecision = a.VisibleFrameEnd = 0;
  a.PopulationSize = a.NumberOfSteps = 0;
  a.MutationsPerStep = a.CrossoversPerStep = a.CommonMutPerStep = 0;
  a.AccuracyTreshold = a.MoveFrameWith = a.StopMoveAfter = a.StopChangePrecAfter = 0;
  a.MoveOnEach = a.OscilateOnEach = 0;
  a.SetFunctions(1, 1, 2, 0, 0, 0, 1.0L);
  a.InitActivation = 0;  // a float the file leaves out is 0

  TTimeFrame& f = *a.TimeFrame;
  f.SetFrame(false, false, 0, 0, 0, 0, 0, 0);
  f.OscRange = f.OscOffset = 0;
}

void ReadTask(TGeneticAlgorithm& algorithm, const std::string& bytes) {
  TReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  reader.ReadSignature();
  reader.ReadComponent(algorithm);
  if (!reader.AtEnd()) reader.Error("Unexpected data after the task");
}

}  // namespace

void RegisterTaskClasses() {
  RegisterGaClasses();
  RegisterGoalClasses();
  RegisterClass("TGeneticAlgorithm",
                [](TComponent* owner) { return new TGeneticAlgorithm(owner); });
}

std::string SaveTaskToBytes(const TGeneticAlgorithm& algorithm) {
  std::string bytes;
  TWriter writer(bytes);
  writer.WriteSignature();
  writer.WriteComponent(algorithm);
  return bytes;
}

void LoadTaskFromBytes(TGeneticAlgorithm& algorithm, const std::string& bytes) {
  RegisterTaskClasses();
  {
    TGeneticAlgorithm check;  // a bad file fails here, before the algorithm is touched
    ReadTask(check, bytes);
  }
  algorithm.Clear();
  ResetSettings(algorithm);
  ReadTask(algorithm, bytes);
  algorithm.SetFunctions(algorithm.SelFuncForMutation, algorithm.SelFuncForCrossover,
                         algorithm.SelFuncForReinsertion, algorithm.FitnessFunction,
                         algorithm.SelInitializationFunc, algorithm.StopCriterion,
                         algorithm.InitActivation);
  algorithm.RebuildOperationLevels();
  algorithm.RenameLists();
}

void SaveTaskToFile(const TGeneticAlgorithm& algorithm, const std::string& path) {
  WriteFileAtomically(path, SaveTaskToBytes(algorithm));
}

void LoadTaskFromFile(TGeneticAlgorithm& algorithm, const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  try {
    LoadTaskFromBytes(algorithm, bytes);
  } catch (const EReadError& e) {
    throw EReadError("Cannot read \"" + path + "\": " + e.what());
  }
}

}  // namespace sarvanta
