// The MPI world of an island run: every process (rank) is one island, and the islands form a
// ring (rank r sends to r + 1 and hears from r - 1, the last sending to the first). This is
// the only place that speaks MPI.
//
// Threads: MPI is called only from the thread that runs the algorithm; the evaluation threads
// never touch it. Every call below is made by all ranks in the same order (the collective
// ones) or by the pair it names, so the ranks stay in step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sarvanta {

class TIslandComm {
 public:
  // Starts MPI (once per process). Without a launcher the process is a world of one.
  TIslandComm();
  // Ends MPI.
  ~TIslandComm();
  TIslandComm(const TIslandComm&) = delete;
  TIslandComm& operator=(const TIslandComm&) = delete;

  int Rank() const { return rank_; }
  int Size() const { return size_; }

  // Collective: every rank's `numbers` (the same count on every rank), rank after rank.
  std::vector<long double> AllGather(const std::vector<long double>& numbers) const;
  // Collective: on rank 0 every rank's `numbers` (the same count on every rank), rank after
  // rank; empty on the others.
  std::vector<long double> GatherToFirst(const std::vector<long double>& numbers) const;
  // Collective: rank `root`'s value on every rank (the others' arguments are ignored).
  uint32_t Broadcast(uint32_t value, int root) const;
  std::string Broadcast(const std::string& text, int root) const;
  // Collective: sends `numbers` to the next rank of the ring and returns what the previous
  // one sent (any count).
  std::vector<long double> PassAlongRing(const std::vector<long double>& numbers) const;
  // Between two ranks: `from` calls Send, `to` calls Receive.
  void Send(const std::vector<long double>& numbers, int to) const;
  std::vector<long double> Receive(int from) const;

 private:
  int rank_ = 0;
  int size_ = 1;
};

}  // namespace sarvanta
