// The smallest force generator of a muscle: twitch parameters and a sorted train of
// stimulation impulse times (ms). Each impulse produces a twitch that peaks after Tc; the
// peak falls from Fmax toward Fmin as more impulses precede it within the fatigue window Tf.
#pragma once

#include "model/InspectedObject.h"
#include "model/TwitchKernel.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace sarvanta {

class TMotorUnit : public TInspectedObject {
 public:
  // Stores the values in this order, Tc and Tr through their setters; TARef and TRRef 0; an
  // empty train. The stream reader creates units with all values 0.
  explicit TMotorUnit(TComponent* owner = nullptr, const std::string& name = "",
                      long double fmin = 0, long double tf = 0, long double pow = 0,
                      long double fmax = 0, long double tc = 0, long double tref = 0,
                      long double tr = 0, long double tl = 0, long double leadT = 0);

  long double Tc() const { return Tc_; }
  long double Tr() const { return Tr_; }
  // Store the value and recompute ShapeExponent.
  void SetTc(long double value);
  void SetTr(long double value);
  // ln 2 * Tc / (Tc * ln(Tc / Tr) + Tr - Tc), recomputed when Tc or Tr changes; kept as it was
  // when Tc = Tr, Tr = 0, or the formula has no finite value.
  long double ShapeExponent() const { return ShapeExponent_; }

  // The impulse times, ascending.
  const std::vector<long double>& ImpArray() const { return ImpArray_; }

  // Copies the parameters and the train (not Descr, not LeadT) to `other`.
  void AssignTo(TMotorUnit& other) const;

  // Calls OnImpulsesChange; the train := times; with more than one time, sorts (QSort) and
  // filters it.
  void SetImpArray(std::span<const long double> times);
  // Calls OnImpulsesChange; appends the first `count` times (count <= 0: nothing else), then
  // BubbleSort and Filter.
  void AppendImpArray(std::span<const long double> times, int32_t count);

  // Ascending exchange sort of the whole train.
  void BubbleSort();
  // Quicksort of entries lo..hi (indices are clamped to the train).
  void QSort(int32_t lo, int32_t hi);
  // Keeps the first impulse and every later one at least Tref after the last kept one.
  void Filter();

  // Binary search over the train: the index of an entry equal to x when the search meets one,
  // else the last index examined; -1 for an empty train. Both names run the same search.
  int32_t IndexOfFirstLessOrEqualTo(long double x) const;
  int32_t IndexOfFirstGreatOrEqualTo(long double x) const;
  // IndexOfFirstLessOrEqualTo(to) - IndexOfFirstGreatOrEqualTo(from), never below 0.
  int32_t Count(long double from, long double to) const;
  // duration / Tref rounded half to even. Throws EZeroDivide (EInvalidOp for 0 / 0) when Tref
  // is 0 and EOverflow when the quotient does not fit 64 bits.
  int64_t MaxNumOfImpulses(long double duration) const;

  // The unit's force at t: the sum of the twitches started before t. An impulse whose peak or
  // twitch has no finite value resets the sum to 0 and the sum goes on with the next impulse.
  // Keeps the peaks of the current train and parameters between calls, so a unit must not be
  // used by two threads at once.
  long double Force(long double t) const;
  // The same value by the straightforward per-impulse steps (for tests and benchmarks).
  long double ForceLiteral(long double t) const;
  // samples[i] += Force(times[i]) for every i, bit for bit as Force gives it; the times
  // ascend (a grid). Uses the kernel chosen with SetTwitchKernel.
  void AddForceSamples(std::span<const long double> times, std::span<long double> samples) const;
  // Brings the kept peaks up to date. Until the train or a parameter changes, Force and
  // AddForceSamples then only read the unit, and several threads may call them at once.
  void PreparePeaks() const;

  // The twitch parameters as the force kernels take them.
  TTwitchParameters TwitchParameters() const;

  // Rows: Name, Fmin, Tf, Pow, Fmax, Tc, Tr, T, LeadT, Impulses (edited by ParametersEditor).
  std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) override;

  const TClassInfo& ClassInfo() const override;

  // The motor-unit parameters dialog's edit operation, installed by the desktop program.
  static inline TEditCallback ParametersEditor;

  // Called with the unit just before its train is replaced or extended.
  std::function<void(TMotorUnit*)> OnImpulsesChange;

  long double Fmin = 0;
  long double Tf = 0;
  long double Pow = 0;
  long double Fmax = 0;
  long double Tl = 0;
  long double Tref = 0;
  long double TARef = 0;
  long double TRRef = 0;
  long double LeadT = 0;
  // Index of the last impulse, -1 when there are none.
  int32_t ImpCnt = -1;
  // The longest train a file may hold (and the most points one operation may add).
  static constexpr int32_t MaxImpulses = 100'000;

 private:
  void UpdateShapeExponent();
  void TrainChanged();
  friend struct TMotorUnitStream;

  long double ShapeExponent_ = 0;
  long double Tc_ = 0;
  long double Tr_ = 0;
  std::vector<long double> ImpArray_;

  // Peaks of the current train; rebuilt when the train or a peak parameter changed.
  mutable TTwitchPeaks peaks_;
  mutable TTwitchParameters peakParameters_{};
  mutable bool peaksValid_ = false;
};

}  // namespace sarvanta
