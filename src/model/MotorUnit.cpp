#include "model/MotorUnit.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "model/ImpulseTrain.h"
#include "model/PublishedProperties.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace sarvanta {

TMotorUnit::TMotorUnit(TComponent* owner, const std::string& name, long double fmin, long double tf,
                       long double pow, long double fmax, long double tc, long double tref,
                       long double tr, long double tl, long double leadT)
    : TInspectedObject(nullptr),
      Fmin(fmin),
      Tf(tf),
      Pow(pow),
      Fmax(fmax),
      Tl(tl),
      Tref(tref),
      LeadT(leadT) {
  Descr = name;
  SetTc(tc);
  SetTr(tr);
  JoinOwner(owner);
}

void TMotorUnit::SetTc(long double value) {
  Tc_ = value;
  UpdateShapeExponent();
}

void TMotorUnit::SetTr(long double value) {
  Tr_ = value;
  UpdateShapeExponent();
}

void TMotorUnit::UpdateShapeExponent() {
  if (Tc_ == Tr_ || Tr_ == 0) return;
  const long double denominator = Tc_ * std::log(Tc_ / Tr_) + Tr_ - Tc_;
  const long double exponent = std::numbers::ln2_v<long double> * Tc_ / denominator;
  if (std::isfinite(exponent)) ShapeExponent_ = exponent;
}

void TMotorUnit::TrainChanged() {
  ImpCnt = static_cast<int32_t>(ImpArray_.size()) - 1;
  peaksValid_ = false;
}

void TMotorUnit::AssignTo(TMotorUnit& other) const {
  other.Fmin = Fmin;
  other.Tf = Tf;
  other.Pow = Pow;
  other.Fmax = Fmax;
  other.Tc_ = Tc_;
  other.Tr_ = Tr_;
  other.ShapeExponent_ = ShapeExponent_;
  other.Tl = Tl;
  other.Tref = Tref;
  other.TARef = TARef;
  other.TRRef = TRRef;
  other.ImpArray_ = ImpArray_;
  other.ImpCnt = ImpCnt;
  other.peaksValid_ = false;
}

void TMotorUnit::SetImpArray(std::span<const long double> times) {
  if (OnImpulsesChange) OnImpulsesChange(this);
  ImpArray_.assign(times.begin(), times.end());
  NormalizeTrain(ImpArray_, Tref);
  TrainChanged();
}

void TMotorUnit::AppendImpArray(std::span<const long double> times, int32_t count) {
  if (OnImpulsesChange) OnImpulsesChange(this);
  if (count <= 0) return;
  const size_t added = std::min(static_cast<size_t>(count), times.size());
  ImpArray_.insert(ImpArray_.end(), times.begin(), times.begin() + static_cast<ptrdiff_t>(added));
  TrainChanged();
  BubbleSort();
  Filter();
}

void TMotorUnit::BubbleSort() {
  const size_t n = ImpArray_.size();
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 1; j < n; ++j)
      if (ImpArray_[j] < ImpArray_[i]) std::swap(ImpArray_[i], ImpArray_[j]);
  peaksValid_ = false;
}

void TMotorUnit::QSort(int32_t lo, int32_t hi) {
  SortTrain(ImpArray_, lo, hi);
  peaksValid_ = false;
}

void TMotorUnit::Filter() {
  if (ImpArray_.empty()) return;
  FilterTrain(ImpArray_, Tref);
  TrainChanged();
}

int32_t TMotorUnit::IndexOfFirstLessOrEqualTo(long double x) const {
  return SearchImpulse(ImpArray_, x);
}

int32_t TMotorUnit::IndexOfFirstGreatOrEqualTo(long double x) const {
  return SearchImpulse(ImpArray_, x);
}

int32_t TMotorUnit::Count(long double from, long double to) const {
  const int32_t difference = IndexOfFirstLessOrEqualTo(to) - IndexOfFirstGreatOrEqualTo(from);
  return difference < 0 ? 0 : difference;
}

int64_t TMotorUnit::MaxNumOfImpulses(long double duration) const {
  if (Tref == 0) {
    if (duration == 0 || std::isnan(duration)) throw EInvalidOp();
    throw EZeroDivide();
  }
  const long double quotient = duration / Tref;
  if (std::isnan(quotient)) throw EInvalidOp();
  if (!(std::fabs(quotient) < 9.2e18L)) throw EOverflow();
  return RoundHalfEven(quotient);
}

TTwitchParameters TMotorUnit::TwitchParameters() const {
  return {Fmin, Tf, Pow, Fmax, Tc_, Tref, LeadT, ShapeExponent_};
}

long double TMotorUnit::Force(long double t) const {
  // The grid computation on this one time, so that charts and caches see the same bits.
  long double force = 0;
  AddForceSamples(std::span<const long double>(&t, 1), std::span<long double>(&force, 1));
  return force;
}

void TMotorUnit::AddForceSamples(std::span<const long double> times,
                                 std::span<long double> samples) const {
  if (ImpArray_.empty()) return;
  PreparePeaks();
  AddTrainForces(TwitchParameters(), ImpArray_, peaks_, times, samples);
}

void TMotorUnit::PreparePeaks() const {
  if (ImpArray_.empty() || TwitchKernel() == TTwitchKernelChoice::Literal) return;
  const TTwitchParameters p = TwitchParameters();
  if (peaksValid_ && SamePeakParameters(p, peakParameters_)) return;
  peaks_ = ComputeTwitchPeaks(p, ImpArray_);
  peakParameters_ = p;
  peaksValid_ = true;
}

long double TMotorUnit::ForceLiteral(long double t) const {
  return TwitchForceLiteral(TwitchParameters(), ImpArray_, t);
}

std::unique_ptr<TObjectDescription> TMotorUnit::ObjectDescription(const std::string& name) {
  auto description = BeginDescription(name, "Motor Unit");
  description->AddProperty("Fmin", ValueOf(Fmin), PropertyKind::Extended);
  description->AddProperty("Tf", ValueOf(Tf), PropertyKind::Extended);
  description->AddProperty("Pow", ValueOf(Pow), PropertyKind::Extended);
  description->AddProperty("Fmax", ValueOf(Fmax), PropertyKind::Extended);
  description->AddProperty("Tc",
                           TFloatValue{[this] { return Tc_; }, [this](long double v) { SetTc(v); }},
                           PropertyKind::Extended);
  description->AddProperty("Tr",
                           TFloatValue{[this] { return Tr_; }, [this](long double v) { SetTr(v); }},
                           PropertyKind::Extended);
  description->AddProperty("T", ValueOf(Tl), PropertyKind::Extended);
  description->AddProperty("LeadT", ValueOf(LeadT), PropertyKind::Extended);
  description->AddProperty("Impulses", std::monostate{}, PropertyKind::Opaque).OnEdit =
      ParametersEditor;
  return description;
}

// The stream table needs the private train.
struct TMotorUnitStream {
  static void WriteTrain(const TMotorUnit& unit, TWriter& writer) {
    writer.WriteListBegin();
    for (const long double time : unit.ImpArray_) writer.WriteFloat(time);
    writer.WriteListEnd();
  }

  // The train holds exactly the values read, and ImpCnt follows it; a stored count larger than
  // the values present does not make room for missing ones.
  static void ReadTrain(TMotorUnit& unit, TReader& reader) {
    std::vector<long double> times;
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
      if (times.size() >= static_cast<size_t>(TMotorUnit::MaxImpulses))
        reader.Error("TMotorUnit.ImpArray holds more than " +
                     std::to_string(TMotorUnit::MaxImpulses) + " impulses");
      times.push_back(reader.ReadFiniteFloat("TMotorUnit.ImpArray"));
    }
    reader.ReadListEnd();
    unit.ImpArray_ = std::move(times);
    unit.TrainChanged();
  }
};

const TClassInfo& TMotorUnit::ClassInfo() const {
  static const TClassInfo info = [] {
    TBlockInfo train;
    train.Name = "ImpArray";
    train.ShouldWrite = [](const TStreamComponent& c) {
      return !static_cast<const TMotorUnit&>(c).ImpArray().empty();
    };
    train.Write = [](const TStreamComponent& c, TWriter& writer) {
      TMotorUnitStream::WriteTrain(static_cast<const TMotorUnit&>(c), writer);
    };
    train.Read = [](TStreamComponent& c, TReader& reader) {
      TMotorUnitStream::ReadTrain(static_cast<TMotorUnit&>(c), reader);
    };
    return TClassInfo{
        "TMotorUnit",
        {DescrProperty(), FloatProperty("Fmin", &TMotorUnit::Fmin),
         FloatProperty("Tf", &TMotorUnit::Tf), FloatProperty("Pow", &TMotorUnit::Pow),
         FloatProperty("Fmax", &TMotorUnit::Fmax),
         FloatProperty("Tc", &TMotorUnit::Tc, &TMotorUnit::SetTc),
         FloatProperty("Tr", &TMotorUnit::Tr, &TMotorUnit::SetTr),
         FloatProperty("Tl", &TMotorUnit::Tl), FloatProperty("LeadT", &TMotorUnit::LeadT),
         FloatProperty("Tref", &TMotorUnit::Tref), FloatProperty("TARef", &TMotorUnit::TARef),
         FloatProperty("TRRef", &TMotorUnit::TRRef),
         IntegerProperty("ImpCnt", &TMotorUnit::ImpCnt)},
        {train}};
  }();
  return info;
}

}  // namespace sarvanta
