#include "task/TaskViews.h"

#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalFunction.h"
#include "model/Joint.h"
#include "model/MechanicalSystem.h"
#include "model/TimeFrame.h"

namespace sarvanta {

TFrameView FrameViewOf(const TGeneticAlgorithm& a) {
  const TTimeFrame& t = *a.TimeFrame;
  TFrameView view;
  view.AlwaysUseVisFrame = a.AlwaysUseVisFrame;
  view.VisibleFrameStart = a.VisibleFrameStart;
  view.VisibleFrameEnd = a.VisibleFrameEnd;
  view.VisiblePrecision = a.VisiblePrecision;
  view.FromMoment = t.FromMoment;
  view.ToMoment = t.ToMoment;
  view.CtrlStart = t.CtrlStart;
  view.CtrlEnd = t.CtrlEnd;
  view.Precision = t.Precision;
  view.OscOffset = t.OscOffset;
  return view;
}

namespace {

TReportOperationKind KindOf(const TObject* operation) {
  if (dynamic_cast<const TMutationOperation*>(operation) != nullptr)
    return TReportOperationKind::Mutation;
  if (dynamic_cast<const TCrossoverOperation*>(operation) != nullptr)
    return TReportOperationKind::Crossover;
  if (dynamic_cast<const TCommonMutationOperation*>(operation) != nullptr)
    return TReportOperationKind::CommonMutation;
  return TReportOperationKind::Other;
}

}  // namespace

TReportTask ReportTaskOf(const TGeneticAlgorithm& a) {
  TReportTask task;
  for (int i = 0; i < a.Goals.Count(); ++i) {
    const TGoalFunction* goal = a.Goal(i);
    if (goal != nullptr) task.Goals.push_back({goal->GetDescription(), goal->Weight});
  }
  for (const auto& entry : a.Operations) {
    const auto* operation = dynamic_cast<const TGeneticOperation*>(entry.Object);
    task.Operations.push_back({KindOf(entry.Object), operation ? operation->Descr : entry.Text});
  }
  const TTimeFrame& t = *a.TimeFrame;
  task.FrameStart = t.FrameStart;
  task.FrameEnd = t.FrameEnd;
  task.CtrlExt = t.CtrlExt();
  task.Precision = t.Precision;
  task.StopPrec = t.StopPrec;
  task.Duration = t.Duration;
  task.StopChangePrecAfter = a.StopChangePrecAfter;
  task.MoveOnEach = a.MoveOnEach;
  task.MoveFrameWith = a.MoveFrameWith;
  task.StopMoveAfter = a.StopMoveAfter;
  return task;
}

std::vector<TJointLimits> JointLimitsOf(const TMechanicalSystem& system) {
  std::vector<TJointLimits> joints;
  for (int i = 1; i < system.Joints.Count(); ++i) {
    const TJoint* joint = system.Joint(i);
    if (joint == nullptr) continue;
    joints.push_back({system.Joints.Strings(i), joint->MinXAngle, joint->MaxXAngle,
                      joint->MinYAngle, joint->MaxYAngle, joint->MinZAngle, joint->MaxZAngle});
  }
  return joints;
}

}  // namespace sarvanta
