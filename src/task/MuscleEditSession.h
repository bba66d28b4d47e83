// One opening of the muscle-properties dialog, as far as the muscle's motor units go: the
// units created and removed while the dialog is open, and what OK and Cancel make of them.
//
// Ownership: units created here are owned by the muscle at once (so that they are freed with
// it), but they reach the muscle's MotorUnits list only through Commit. Removing a unit that
// the muscle had before the opening only takes it out of the dialog's list; it is freed by
// Finish, so that Cancel can give it back. Cancel frees every unit created meanwhile and puts
// the list back as it was, so nothing of the opening reaches the muscle or a saved file.
// User-interface thread only; the muscle must outlive the session.
#pragma once

#include "task/MotorUnitEditing.h"

#include <string>
#include <utility>
#include <vector>

namespace sarvanta {

class TMotorUnit;
class TMuscle;

class TMuscleEditSession {
 public:
  // Remembers the muscle's list as it is now.
  explicit TMuscleEditSession(TMuscle& muscle);
  // Cancels unless Finish or Cancel was called.
  ~TMuscleEditSession();
  TMuscleEditSession(const TMuscleEditSession&) = delete;
  TMuscleEditSession& operator=(const TMuscleEditSession&) = delete;

  TMuscle& Muscle() const { return *muscle_; }

  // A new unit owned by the muscle, not yet in its list.
  TMotorUnit* NewUnit(const std::string& name, const TMUParameterValues& values);
  // Takes the unit out of the dialog's hands: a unit created in this session is freed at once,
  // one the muscle had before is freed by Finish (and kept by Cancel).
  void Remove(TMotorUnit* unit);

  // The muscle's list := (name, unit) in the given order, the units' Descr := the names.
  void Commit(const std::vector<std::pair<std::string, TMotorUnit*>>& lines);
  // OK: the list := the lines (the units' Descr unchanged); the units removed meanwhile are
  // freed. The session is over.
  void Finish(const std::vector<std::pair<std::string, TMotorUnit*>>& lines);
  // Cancel: frees the units created meanwhile and restores the list (and the units' Descr) of
  // the opening.
  void Cancel();

 private:
  void SetList(const std::vector<std::pair<std::string, TMotorUnit*>>& lines);

  TMuscle* muscle_;
  std::vector<std::pair<std::string, TMotorUnit*>> original_;
  std::vector<std::string> originalDescr_;
  std::vector<TMotorUnit*> created_;
  std::vector<TMotorUnit*> removed_;
  bool over_ = false;
};

}  // namespace sarvanta
