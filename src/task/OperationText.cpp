#include "task/OperationText.h"

#include <cstdlib>

namespace sarvanta {

const std::array<const char*, 8> MutationOperationItems = {
    "Motor Unit Mutation Shift Impulse Left",    "Motor Unit Mutation Shift Impulse Right",
    "Motor Unit Mutation Add Impulse",           "Motor Unit Mutation Remove Impulse",
    "Muscle Mutation Change MU Activation",      "Muscle Mutation Shift Left MU Activation",
    "Muscle Mutation Shift Right MU Activation", "Muscle Mutation  Change Muscle Activity"};

const std::array<const char*, 6> CrossoverOperationItems = {
    "Motor Unit One Point Crossover",   "Motor Unit Multi Point Crossover",
    "Muscle One Point Crossover",       "Muscle Multi Point Crossover",
    "Motor Center One Point Crossover", "Motor Center  Multi Point Crossover"};

const std::array<const char*, 4> CommonMutationOperationItems = {
    "Motor Unit Multi Point Common Inverse Mutation",
    "Motor Unit Multi Point Common Synchronic Mutation ",
    "Muscle Multi Point Common Inverse Mutation", "Muscle Multi Point Common Synchronic Mutation "};

int32_t OperationLevel(TOperationTab tab, int itemIndex) {
  if (tab != TOperationTab::Mutation) return itemIndex / 2;
  if (itemIndex <= 3) return 0;
  return itemIndex <= 6 ? 1 : 2;
}

int32_t OperationOpType(TOperationTab tab, int itemIndex) {
  const int32_t code = int32_t{1} << itemIndex;
  return tab == TOperationTab::Mutation ? code : -code;
}

int OperationComboIndex(int32_t opType) {
  int64_t magnitude = std::llabs(static_cast<int64_t>(opType));
  int index = 0;
  while (magnitude >= 2) {
    magnitude >>= 1;
    ++index;
  }
  return index;
}

namespace {

// The item text with `insertion` placed before (or after) the first `marker`; unchanged when
// the marker is missing.
std::string InsertAtMarker(std::string_view item, std::string_view marker, bool afterMarker,
                           std::string_view insertion) {
  std::string text(item);
  const size_t at = text.find(marker);
  if (at == std::string::npos) return text;
  text.insert(afterMarker ? at + marker.size() : at, insertion);
  return text;
}

std::string PointCount(std::string_view points) { return " (" + std::string(points) + "-point)"; }

std::string RangeAndProbability(std::string_view range, std::string_view probability) {
  return ", with Rnage = " + std::string(range) + " and Probability " + std::string(probability);
}

}  // namespace

std::string MutationDescr(std::string_view item, std::string_view points, std::string_view range,
                          std::string_view probability) {
  return InsertAtMarker(item, " Mutation", false, " " + std::string(points) + "-point") +
         RangeAndProbability(range, probability);
}

std::string CrossoverDescr(std::string_view item, std::string_view points,
                           std::string_view probability) {
  return InsertAtMarker(item, " Multi", true, PointCount(points)) + ", with Probability " +
         std::string(probability);
}

std::string CommonMutationDescr(std::string_view item, std::string_view points,
                                std::string_view range, std::string_view probability) {
  return InsertAtMarker(item, " Multi", true, PointCount(points)) +
         RangeAndProbability(range, probability);
}

}  // namespace sarvanta
