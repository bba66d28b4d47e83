#include "islands/IslandComm.h"

#include <mpi.h>

#include <limits>
#include <stdexcept>

namespace sarvanta {

namespace {

constexpr int kCountTag = 1;
constexpr int kNumbersTag = 2;

int CountOf(size_t size) {
  if (size > static_cast<size_t>(std::numeric_limits<int>::max()))
    throw std::length_error("An island message is too long");
  return static_cast<int>(size);
}

}  // namespace

TIslandComm::TIslandComm() {
  int started = 0;
  MPI_Initialized(&started);
  if (started == 0) {
    int provided = 0;
    MPI_Init_thread(nullptr, nullptr, MPI_THREAD_FUNNELED, &provided);
  }
  MPI_Comm_rank(MPI_COMM_WORLD, &rank_);
  MPI_Comm_size(MPI_COMM_WORLD, &size_);
}

TIslandComm::~TIslandComm() {
  int ended = 0;
  MPI_Finalized(&ended);
  if (ended == 0) MPI_Finalize();
}

std::vector<long double> TIslandComm::AllGather(const std::vector<long double>& numbers) const {
  std::vector<long double> all(numbers.size() * static_cast<size_t>(size_));
  const int count = CountOf(numbers.size());
  MPI_Allgather(numbers.data(), count, MPI_LONG_DOUBLE, all.data(), count, MPI_LONG_DOUBLE,
                MPI_COMM_WORLD);
  return all;
}

std::vector<long double> TIslandComm::GatherToFirst(const std::vector<long double>& numbers) const {
  std::vector<long double> all(rank_ == 0 ? numbers.size() * static_cast<size_t>(size_) : 0);
  const int count = CountOf(numbers.size());
  MPI_Gather(numbers.data(), count, MPI_LONG_DOUBLE, all.data(), count, MPI_LONG_DOUBLE, 0,
             MPI_COMM_WORLD);
  return all;
}

uint32_t TIslandComm::Broadcast(uint32_t value, int root) const {
  MPI_Bcast(&value, 1, MPI_UINT32_T, root, MPI_COMM_WORLD);
  return value;
}

std::string TIslandComm::Broadcast(const std::string& text, int root) const {
  uint64_t length = text.size();
  MPI_Bcast(&length, 1, MPI_UINT64_T, root, MPI_COMM_WORLD);
  std::string received = rank_ == root ? text : std::string(length, '\0');
  MPI_Bcast(received.data(), CountOf(length), MPI_CHAR, root, MPI_COMM_WORLD);
  return received;
}

std::vector<long double> TIslandComm::PassAlongRing(const std::vector<long double>& numbers) const {
  const int next = (rank_ + 1) % size_;
  const int previous = (rank_ + size_ - 1) % size_;
  uint64_t outgoing = numbers.size();
  uint64_t incoming = 0;
  MPI_Sendrecv(&outgoing, 1, MPI_UINT64_T, next, kCountTag, &incoming, 1, MPI_UINT64_T, previous,
               kCountTag, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
  std::vector<long double> received(incoming);
  MPI_Sendrecv(numbers.data(), CountOf(numbers.size()), MPI_LONG_DOUBLE, next, kNumbersTag,
               received.data(), CountOf(received.size()), MPI_LONG_DOUBLE, previous, kNumbersTag,
               MPI_COMM_WORLD, MPI_STATUS_IGNORE);
  return received;
}

void TIslandComm::Send(const std::vector<long double>& numbers, int to) const {
  uint64_t count = numbers.size();
  MPI_Send(&count, 1, MPI_UINT64_T, to, kCountTag, MPI_COMM_WORLD);
  MPI_Send(numbers.data(), CountOf(numbers.size()), MPI_LONG_DOUBLE, to, kNumbersTag,
           MPI_COMM_WORLD);
}

std::vector<long double> TIslandComm::Receive(int from) const {
  uint64_t count = 0;
  MPI_Recv(&count, 1, MPI_UINT64_T, from, kCountTag, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
  std::vector<long double> numbers(count);
  MPI_Recv(numbers.data(), CountOf(numbers.size()), MPI_LONG_DOUBLE, from, kNumbersTag,
           MPI_COMM_WORLD, MPI_STATUS_IGNORE);
  return numbers;
}

}  // namespace sarvanta
