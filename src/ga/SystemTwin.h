// A copy of a mechanical system for one evaluation thread, with the way from every muscle and
// motor unit of the original to its twin. A motor unit keeps working state while it computes
// its force, and the goals read the trains and caches of the system's muscles, so threads that
// evaluate individuals at the same time each need their own system.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sarvanta {

class TMechanicalSystem;
class TMotorUnit;
class TMuscle;

class TSystemTwin {
 public:
  // Copies `original` through its project bytes (the original is not changed). Throws when the
  // bytes cannot be read back or the copy's muscles and motor units do not match the
  // original's one for one, in order.
  explicit TSystemTwin(TMechanicalSystem& original);
  ~TSystemTwin();
  TSystemTwin(const TSystemTwin&) = delete;
  TSystemTwin& operator=(const TSystemTwin&) = delete;

  // True while `original` is the system the twin was made from and still holds the same
  // muscles and motor units in the same order.
  bool Mirrors(const TMechanicalSystem& original) const;
  // Copies every original motor unit's parameters and train onto its twin, so that edits made
  // to the original after the copy count.
  void SyncParameters();

  // True while the goals read on the twin what they read on `view`'s system: `view` is
  // GoalView of the original, taken now.
  bool ShowsGoals(const std::string& view) const { return view == view_; }
  // The system the twin is made of.
  TMechanicalSystem& System() const { return *copy_; }

  // The twin of an original muscle or motor unit; nullptr for an object the copy was not made
  // from.
  TMuscle* TwinOf(const TMuscle* original) const;
  TMotorUnit* TwinOf(const TMotorUnit* original) const;
  // Number of muscles of the system.
  size_t MuscleCount() const { return muscles_.size(); }

 private:
  void MapMuscle(TMuscle& original, TMuscle& twin, int index);

  const TMechanicalSystem* original_ = nullptr;
  std::unique_ptr<TMechanicalSystem> copy_;
  // (original, twin) in list order.
  std::vector<std::pair<TMuscle*, TMuscle*>> muscles_;
  std::vector<std::pair<TMotorUnit*, TMotorUnit*>> units_;
  std::unordered_map<const TMuscle*, TMuscle*> muscleTwins_;
  std::unordered_map<const TMotorUnit*, TMotorUnit*> unitTwins_;
  // GoalView of the copy.
  std::string view_;
};

// What goals read of a system apart from its motor units: the stored values of the system,
// its bones, joints and muscles (without the muscles' motor-unit lists, which a twin copies
// on its own), and where their references lead. Two systems with the same view give every
// goal the same values for the same motor-unit trains and muscle caches.
std::string GoalView(const TMechanicalSystem& system);

}  // namespace sarvanta
