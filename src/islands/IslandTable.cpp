#include "islands/IslandTable.h"

#include "base/NumberText.h"
#include "task/RunTables.h"

#include <cmath>

namespace sarvanta {

std::vector<long double> TIslandRow::ToNumbers() const {
  return {Best, Mean, static_cast<long double>(Sent), static_cast<long double>(Taken),
          ReceivedBest};
}

TIslandRow TIslandRow::FromNumbers(const std::vector<long double>& numbers, size_t first) {
  TIslandRow row;
  row.Best = numbers[first];
  row.Mean = numbers[first + 1];
  row.Sent = static_cast<int32_t>(numbers[first + 2]);
  row.Taken = static_cast<int32_t>(numbers[first + 3]);
  row.ReceivedBest = numbers[first + 4];
  return row;
}

void TIslandTable::Add(int32_t generation, const std::vector<long double>& gathered) {
  const size_t islands = gathered.size() / TIslandRow::kNumbers;
  for (size_t island = 0; island < islands; ++island) {
    const TIslandRow row = TIslandRow::FromNumbers(gathered, island * TIslandRow::kNumbers);
    text_ += IntToStr(static_cast<int64_t>(island)) + "\t" + IntToStr(generation) + "\t" +
             TableNumber(row.Best) + "\t" + TableNumber(row.Mean) + "\t" + IntToStr(row.Sent) +
             "\t" + IntToStr(row.Taken) + "\t" +
             (std::isnan(row.ReceivedBest) ? std::string() : TableNumber(row.ReceivedBest)) + "\n";
  }
}

}  // namespace sarvanta
