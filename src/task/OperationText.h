// The genetic operations offered on the "HGA Settings" page: the items of the three tabs,
// the level and operator code an item stands for, and the description a new operation gets.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sarvanta {

enum class TOperationTab { Mutation, Crossover, CommonMutation };

// Item texts exactly as listed (double and trailing blanks included: they start each Descr).
extern const std::array<const char*, 8> MutationOperationItems;
extern const std::array<const char*, 6> CrossoverOperationItems;
extern const std::array<const char*, 4> CommonMutationOperationItems;

// Chromosome level of item i: mutations 0 for items 0..3, 1 for 4..6, 2 for 7; crossovers and
// common mutations i div 2.
int32_t OperationLevel(TOperationTab tab, int itemIndex);
// Operator code of item i: 2^i for mutations, -(2^i) for the other two tabs.
int32_t OperationOpType(TOperationTab tab, int itemIndex);
// The item index an operation is shown with: the position of the highest set bit of
// |OpType|, 0 for values below 2.
int OperationComboIndex(int32_t opType);

// "Motor Unit 2-point Mutation Add Impulse, with Rnage = 1 and Probability 0.5": the item text
// with " <points>-point" before its first " Mutation" and the range and probability appended.
std::string MutationDescr(std::string_view item, std::string_view points, std::string_view range,
                          std::string_view probability);
// "Muscle Multi (3-point) Point Crossover, with Probability 0.8". One-point items carry no
// " Multi" and get no point count.
std::string CrossoverDescr(std::string_view item, std::string_view points,
                           std::string_view probability);
// "Motor Unit Multi (2-point) Point Common Inverse Mutation, with Rnage = 1 and Probability 0".
std::string CommonMutationDescr(std::string_view item, std::string_view points,
                                std::string_view range, std::string_view probability);

}  // namespace sarvanta
