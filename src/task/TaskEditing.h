// Goals and genetic operations added to a motor task from the settings pages.
#pragma once

#include "task/OperationText.h"
#include "task/TaskSettings.h"

#include <array>

namespace sarvanta {

class TGeneticAlgorithm;
class TGeneticOperation;
class TGoalFunction;

// The standard goals by position; position 5 has no goal class.
extern const std::array<const char*, 10> StandardGoalItems;

// Creates the goal of a standard position, owned by the algorithm (so it enters its Goals),
// with Weight 1 and Descr the item text. Position 5 ("Antagonist coactivation") and positions
// outside the list create nothing and give nullptr.
TGoalFunction* CreateStandardGoal(int position, TGeneticAlgorithm& algorithm);

// Adds the operation of item `itemIndex` of a tab, with the point count, range and
// probability of that tab's edits, owned by the algorithm at the item's level; then renames
// the algorithm's lists. Every text is converted before anything is created, so a text that
// is not a number (EConvertError) leaves the algorithm unchanged. An index outside the tab's
// items adds nothing and gives nullptr.
TGeneticOperation* AddOperation(TOperationTab tab, int itemIndex, const TTaskSettings& settings,
                                TGeneticAlgorithm& algorithm);

// The tab an existing operation is shown in.
TOperationTab OperationTabOf(const TGeneticOperation& operation);

// Shows an existing operation in its tab's edits; returns the combo index to select.
int ShowOperation(const TGeneticOperation& operation, TTaskSettings& settings);

}  // namespace sarvanta
