// The optimiser of a motor task: holds the goals, the genetic operations, the time frame and
// the settings; builds a population of candidate stimulation patterns from one mechanical
// system, scores them through the goals and evolves them one generation per Step. Lower
// fitness is better; after each step the population is sorted by ascending fitness.
#pragma once

#include "base/StringList.h"
#include "model/Stream.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sarvanta {

class TChromosome;
class TGoalFunction;
class TIndividual;
class TMechanicalSystem;
class TPopulationEvaluator;
class TTimeFrame;

class TGeneticAlgorithm : public TStreamComponent {
 public:
  using TSelector = std::function<TIndividual*(TStringList& list)>;
  using TFitnessFunc = std::function<void(TStringList& list)>;

  // Empty lists, a time frame owned by the algorithm, Individuals -> Population, WeightSum
  // 1, and SetFunctions(1, 1, 2, 0, 0, 0, 1.0).
  explicit TGeneticAlgorithm(TComponent* owner = nullptr);
  ~TGeneticAlgorithm() override;

  // Installs the selectors and the fitness function from their indices and stores the
  // choices, so that a saved task brings them back. StopCrit 1 stops a run once the best
  // fitness reaches AccuracyTreshold.
  void SetFunctions(int32_t selMut, int32_t selCross, int32_t selReins, int32_t fitness,
                    int32_t initMethod, int32_t stopCrit, long double initActivation);

  // Prepares a run over `system`: a template individual mirroring the system and
  // PopulationSize copies of it, and the evaluation threads.
  // Throws (changing nothing) when PopulationSize is below 1 or a setting is beyond its limit
  // (CheckRunLimits: cycle counts, point counts, the memory one generation takes).
  void InitRun(TMechanicalSystem* system);
  // Reseeds the generator and applies the initialisation method to the population.
  void InitPopulation();
  // One generation, or the end of the run when it is over. When StopRequested answers true
  // while the generation is made or evaluated, the generation is abandoned (its offspring
  // are freed, the population keeps its members, the model shows the best of them) and the
  // run ends as after Stop, without OnStep.
  void Step();
  // The remaining generations of an initialised run.
  void RunAll();
  // Ends the run: Running false, StepNo = NumberOfSteps - 1.
  void Stop();
  // Scores the model's present stimulation without evolving it.
  void EvaluateModel(TMechanicalSystem* system);
  // Evaluates the changed individuals of `list` (all of them when the frame changed) on the
  // evaluation threads (see PopulationEvaluation.h); the results are bit for bit the same for
  // any number of threads, and the model is not written. A goal value that is not a finite
  // number is an EMathError naming the goal; the first failure in list order is thrown. A step's
  // offspring are handed to the evaluator as each is made, and completed here.
  void EvaluateIndividuals(TStringList& list);

  void WeightedSumFitness(TStringList& list);
  // "Fonesca Fleming Ranking": per goal, the share of individuals closer to zero.
  void RankingFitness(TStringList& list);
  // Merges the offspring into the population, sorts by fitness and keeps PopulationSize.
  void Reinsert();
  // Ascending fitness, by partition sort.
  static void SortByFitness(TStringList& list);

  TIndividual* SelectSequential(TStringList& list);
  TIndividual* SelectRandom(TStringList& list);
  TIndividual* SelectRouletteWheel(TStringList& list);

  // Frees every goal and operation; used before a task file is read into the algorithm.
  void Clear();
  // Rewrites the Operations texts from Descr and the Goals texts from GetDescription.
  void RenameLists();
  // Files every operation again into the per-level list of its class and level.
  void RebuildOperationLevels();

  TGoalFunction* Goal(int index) const;
  TIndividual* Individual(const TStringList& list, int index) const;

  const TClassInfo& ClassInfo() const override;

  TStringList Goals;
  std::array<TStringList, 4> MutationOperations;
  std::array<TStringList, 4> CrossoverOperations;
  std::array<TStringList, 4> CommonMutOperations;
  TStringList Operations;
  TStringList Population;
  TStringList Offspring;
  TStringList* Individuals = &Population;
  TMechanicalSystem* MechanicalSystem = nullptr;

  bool AlwaysUseVisFrame = false;
  long double VisibleFrameStart = 0;
  long double VisiblePrecision = 0;
  long double VisibleFrameEnd = 0;
  int32_t PopulationSize = 0;
  int32_t NumberOfSteps = 0;
  int32_t MutationsPerStep = 0;
  int32_t CrossoversPerStep = 0;
  int32_t CommonMutPerStep = 0;
  long double AccuracyTreshold = 0;
  long double MoveFrameWith = 0;
  long double StopMoveAfter = 0;
  int32_t MoveOnEach = 0;
  long double StopChangePrecAfter = 0;
  int32_t OscilateOnEach = 0;
  int32_t SelFuncForMutation = 0;
  int32_t SelFuncForCrossover = 0;
  int32_t SelFuncForReinsertion = 0;
  int32_t FitnessFunction = 0;
  int32_t SelInitializationFunc = 0;
  int32_t StopCriterion = 0;
  long double InitActivation = 0;

  TFitnessFunc FitnessFunc;
  std::function<void(TObject* sender)> OnStep;
  // Asked between individuals (often, on the thread that runs the algorithm): true abandons
  // the generation in progress and ends the run. Lets Ctrl+C or a Stop button act within a
  // second even when one generation takes long.
  std::function<bool()> StopRequested;
  // kind 0: a message line; kind 1: a progress mark (".").
  std::function<void(int kind, const std::string& text)> OnTrace;
  TSelector MutationSelector;
  TSelector CrossoverSelector;
  TSelector ReinsertionSelector;

  bool RunningAll = false;
  bool Moving = false;
  bool Running = false;
  bool PrecChanging = false;
  int32_t StepNo = 0;
  int32_t TotalSteps = 0;
  int32_t MoveCounter = 0;
  int32_t OscCounter = 0;
  long double Improvement = 0;
  long double BestFitness = 0;
  long double WeightSum = 1;
  long double FitnessSum = 0;
  int32_t SelCursor = 0;
  TTimeFrame* TimeFrame = nullptr;
  // Threads that evaluate individuals: 0 one per core, 1 sequential evaluation. A setting of
  // the program, not of the task: it is not stored in task files.
  int32_t EvaluationThreads = 0;
  // The evaluation threads, made with the algorithm and never absent; resized by InitRun and
  // each evaluation to EvaluationThreads.
  std::unique_ptr<TPopulationEvaluator> Evaluator;
  // Individuals evaluated since the algorithm was made (a statistic of the program).
  uint64_t Evaluations = 0;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Trace(int kind, const std::string& text);
  // Builds the template individual's chromosome tree over the system.
  void BuildTemplate(TIndividual& individual);
  void FreeIndividuals();
  // A failed or abandoned step leaves the population as it was: its half-made offspring go,
  // once the evaluator's round has let go of them.
  void FreeOffspring();
  // Throws EMathError naming the first goal whose value is not a finite number.
  void CheckGoalValues(const TIndividual& individual) const;
  // A new individual (entering Individuals) holding a copy of `parent`: a spare when one has
  // the parent's shape, else a fresh one.
  TIndividual* NewChild(TIndividual* parent);
  // Takes an individual that reinsertion dropped out of the lists and keeps it as a spare.
  void Retire(TIndividual* individual);
  // Throws TStepAbandoned when StopRequested answers true.
  void CheckStopRequest() const;
  // The goals of the list, in order.
  std::vector<TGoalFunction*> GoalList() const;
  // Whether an evaluation of `individual` is due: it changed, or the frame did.
  bool Due(const TIndividual& individual) const;
  // Opens the evaluator's round of offspring, so that each child is evaluated on the workers
  // while the next one is made.
  void OpenOffspringRound();
  // Hands a finished child to the open round when its evaluation is due.
  void Submit(TIndividual* child);
  void MutationCycle();
  void CrossoverCycle();
  void CommonMutationCycle();
  void AfterStep();
  // Writes the best individual's trains and caches into the model, so that between steps and
  // after a run the model shows the best solution found, not the offspring evaluated last.
  void ApplyBest();
  void FileOperation(TObject* operation);
  void SetPopulationTexts();

  // Individuals dropped by reinsertion, owned here (not components of the algorithm) until
  // NewChild reuses them: copying into an existing tree costs no allocation. Calling thread
  // only; freed with the population.
  std::vector<std::unique_ptr<TIndividual>> spares_;
};

}  // namespace sarvanta
