// Plain views of the algorithm, its time frame and the bound system for the chart, report and
// limitation logic.
#pragma once

#include "task/CurveSampling.h"
#include "task/Limitations.h"
#include "task/Report.h"

#include <vector>

namespace sarvanta {

class TGeneticAlgorithm;
class TMechanicalSystem;

// The display settings of the algorithm and the windows of its time frame.
TFrameView FrameViewOf(const TGeneticAlgorithm& algorithm);

// Goals (caption, weight), time frame, frame movement and operations, in list order.
TReportTask ReportTaskOf(const TGeneticAlgorithm& algorithm);

// Every real joint of the system (entries 1 onward of its joint list), in list order.
std::vector<TJointLimits> JointLimitsOf(const TMechanicalSystem& system);

}  // namespace sarvanta
