#include "task/MuscleEditSession.h"

#include "model/MotorUnit.h"
#include "model/Muscle.h"

#include <algorithm>

namespace sarvanta {

namespace {

bool Contains(const std::vector<TMotorUnit*>& units, const TMotorUnit* unit) {
  return std::find(units.begin(), units.end(), unit) != units.end();
}

void Erase(std::vector<TMotorUnit*>& units, const TMotorUnit* unit) {
  units.erase(std::remove(units.begin(), units.end(), unit), units.end());
}

}  // namespace

TMuscleEditSession::TMuscleEditSession(TMuscle& muscle) : muscle_(&muscle) {
  for (int i = 0; i < muscle.MotorUnits.Count(); ++i) {
    original_.emplace_back(muscle.MotorUnits.Strings(i), muscle.MotorUnit(i));
    originalDescr_.push_back(muscle.MotorUnit(i)->Descr);
  }
}

TMuscleEditSession::~TMuscleEditSession() {
  if (!over_) Cancel();
}

TMotorUnit* TMuscleEditSession::NewUnit(const std::string& name, const TMUParameterValues& values) {
  TMotorUnit* unit = NewMotorUnit(muscle_, name, values);
  created_.push_back(unit);
  return unit;
}

void TMuscleEditSession::Remove(TMotorUnit* unit) {
  if (Contains(created_, unit)) {
    Erase(created_, unit);
    delete unit;  // leaves the muscle and its list through the muscle's notification
  } else if (!Contains(removed_, unit)) {
    removed_.push_back(unit);
  }
}

void TMuscleEditSession::SetList(const std::vector<std::pair<std::string, TMotorUnit*>>& lines) {
  muscle_->MotorUnits.Clear();
  for (const auto& [name, unit] : lines) muscle_->MotorUnits.Add(name, unit);
}

void TMuscleEditSession::Commit(const std::vector<std::pair<std::string, TMotorUnit*>>& lines) {
  for (const auto& [name, unit] : lines) unit->Descr = name;
  SetList(lines);
}

void TMuscleEditSession::Finish(const std::vector<std::pair<std::string, TMotorUnit*>>& lines) {
  SetList(lines);
  for (TMotorUnit* unit : removed_)
    if (muscle_->MotorUnits.IndexOfObject(unit) < 0) delete unit;
  removed_.clear();
  created_.clear();
  over_ = true;
}

void TMuscleEditSession::Cancel() {
  for (TMotorUnit* unit : created_) delete unit;
  created_.clear();
  removed_.clear();
  SetList(original_);
  for (size_t i = 0; i < original_.size(); ++i) original_[i].second->Descr = originalDescr_[i];
  over_ = true;
}

}  // namespace sarvanta
