// The nine motor-unit parameters that the muscle-properties and motor-unit parameters dialogs
// edit, and what those dialogs compute from them: reading and writing a unit's values, the
// value several selected units share, and the time range of a force chart.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

namespace sarvanta {

class TComponent;
class TMotorUnit;
class TMuscle;

// The parameters in the order in which a selection refresh reads them.
enum class TMUParameter { FMax, Tref, Tf, FMin, Pow, Tc, Tr, T, LT };
inline constexpr int MUParameterCount = 9;

// One value per parameter, indexed by TMUParameter.
using TMUParameterValues = std::array<long double, MUParameterCount>;

inline long double& At(TMUParameterValues& values, TMUParameter p) {
  return values[static_cast<size_t>(p)];
}
inline long double At(const TMUParameterValues& values, TMUParameter p) {
  return values[static_cast<size_t>(p)];
}

// The field behind a parameter: FMax Fmax, Tref Tref, Tf Tf, FMin Fmin, Pow Pow, Tc Tc,
// Tr Tr, T Tl, LT LeadT.
long double ParameterOf(const TMotorUnit& unit, TMUParameter parameter);
// Tc and Tr go through their setters, so that the unit's twitch shape follows.
void SetParameterOf(TMotorUnit& unit, TMUParameter parameter, long double value);

TMUParameterValues ReadParameters(const TMotorUnit& unit);
// Writes the nine values in the order Fmin, Tf, Pow, Fmax, Tc, Tref, Tr, Tl, LeadT.
void WriteParameters(TMotorUnit& unit, const TMUParameterValues& values);
// A new unit named `name` with the nine values; `owner` (may be none) owns it.
TMotorUnit* NewMotorUnit(TComponent* owner, const std::string& name,
                         const TMUParameterValues& values);

// The value every unit holds, or nothing when they differ or there are none.
std::optional<long double> CommonParameter(std::span<TMotorUnit* const> units,
                                           TMUParameter parameter);
// Whether every unit holds the same impulse train (true for one unit, false for none).
bool SameImpulses(std::span<TMotorUnit* const> units);

// The end of a unit's force chart in the muscle dialog: its last impulse + Tl + LeadT, or 0
// without impulses.
long double UnitChartEnd(const TMotorUnit& unit);
// The end of the parameters dialog's preview: last impulse + Tl + Tc, or 0 without impulses.
long double PreviewChartEnd(const TMotorUnit& unit);
// The largest UnitChartEnd over the muscle's listed units (0 when there is none).
long double MuscleChartEnd(const TMuscle& muscle);
// The step of a force chart from 0 to `end`: (end + 1) / 1000.
long double ForceChartStep(long double end);

}  // namespace sarvanta
