#include "task/MotorUnitEditing.h"

#include "model/MotorUnit.h"
#include "model/Muscle.h"

#include <algorithm>

namespace sarvanta {

long double ParameterOf(const TMotorUnit& unit, TMUParameter parameter) {
  switch (parameter) {
    case TMUParameter::FMax:
      return unit.Fmax;
    case TMUParameter::Tref:
      return unit.Tref;
    case TMUParameter::Tf:
      return unit.Tf;
    case TMUParameter::FMin:
      return unit.Fmin;
    case TMUParameter::Pow:
      return unit.Pow;
    case TMUParameter::Tc:
      return unit.Tc();
    case TMUParameter::Tr:
      return unit.Tr();
    case TMUParameter::T:
      return unit.Tl;
    case TMUParameter::LT:
      return unit.LeadT;
  }
  return 0;
}

void SetParameterOf(TMotorUnit& unit, TMUParameter parameter, long double value) {
  switch (parameter) {
    case TMUParameter::FMax:
      unit.Fmax = value;
      break;
    case TMUParameter::Tref:
      unit.Tref = value;
      break;
    case TMUParameter::Tf:
      unit.Tf = value;
      break;
    case TMUParameter::FMin:
      unit.Fmin = value;
      break;
    case TMUParameter::Pow:
      unit.Pow = value;
      break;
    case TMUParameter::Tc:
      unit.SetTc(value);
      break;
    case TMUParameter::Tr:
      unit.SetTr(value);
      break;
    case TMUParameter::T:
      unit.Tl = value;
      break;
    case TMUParameter::LT:
      unit.LeadT = value;
      break;
  }
}

TMUParameterValues ReadParameters(const TMotorUnit& unit) {
  TMUParameterValues values{};
  for (int i = 0; i < MUParameterCount; ++i)
    values[static_cast<size_t>(i)] = ParameterOf(unit, static_cast<TMUParameter>(i));
  return values;
}

void WriteParameters(TMotorUnit& unit, const TMUParameterValues& values) {
  using P = TMUParameter;
  for (const P p : {P::FMin, P::Tf, P::Pow, P::FMax, P::Tc, P::Tref, P::Tr, P::T, P::LT})
    SetParameterOf(unit, p, At(values, p));
}

TMotorUnit* NewMotorUnit(TComponent* owner, const std::string& name,
                         const TMUParameterValues& values) {
  using P = TMUParameter;
  return new TMotorUnit(owner, name, At(values, P::FMin), At(values, P::Tf), At(values, P::Pow),
                        At(values, P::FMax), At(values, P::Tc), At(values, P::Tref),
                        At(values, P::Tr), At(values, P::T), At(values, P::LT));
}

std::optional<long double> CommonParameter(std::span<TMotorUnit* const> units,
                                           TMUParameter parameter) {
  if (units.empty()) return std::nullopt;
  const long double first = ParameterOf(*units.front(), parameter);
  for (const TMotorUnit* unit : units)
    if (ParameterOf(*unit, parameter) != first) return std::nullopt;
  return first;
}

bool SameImpulses(std::span<TMotorUnit* const> units) {
  if (units.empty()) return false;
  return std::all_of(units.begin(), units.end(), [&units](const TMotorUnit* unit) {
    return unit->ImpArray() == units.front()->ImpArray();
  });
}

long double UnitChartEnd(const TMotorUnit& unit) {
  if (unit.ImpArray().empty()) return 0;
  return unit.ImpArray().back() + unit.Tl + unit.LeadT;
}

long double PreviewChartEnd(const TMotorUnit& unit) {
  if (unit.ImpArray().empty()) return 0;
  return unit.ImpArray().back() + unit.Tl + unit.Tc();
}

long double MuscleChartEnd(const TMuscle& muscle) {
  long double end = 0;
  for (int i = 0; i < muscle.MotorUnits.Count(); ++i)
    end = std::max(end, UnitChartEnd(*muscle.MotorUnit(i)));
  return end;
}

long double ForceChartStep(long double end) { return (end + 1) / 1000; }

}  // namespace sarvanta
