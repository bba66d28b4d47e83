// islands.tsv: one row per island and generation with the island's best and mean fitness
// after the generation, the individuals it sent and took at the migration that followed, and
// the best fitness among those it took, as the island scored them ("" when it took none).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sarvanta {

struct TIslandRow {
  long double Best = 0;
  long double Mean = 0;
  int32_t Sent = 0;
  int32_t Taken = 0;
  // Not a number when nothing was taken.
  long double ReceivedBest = 0;

  std::vector<long double> ToNumbers() const;
  static TIslandRow FromNumbers(const std::vector<long double>& numbers, size_t first);
  static constexpr size_t kNumbers = 5;
};

class TIslandTable {
 public:
  // Rows of every island for one generation, island after island (as gathered).
  void Add(int32_t generation, const std::vector<long double>& gathered);
  // The header line and every row, tab-separated.
  const std::string& Text() const { return text_; }

 private:
  std::string text_ = "island\tgeneration\tbest\tmean\tsent\ttaken\treceived_best\n";
};

}  // namespace sarvanta
