// How the motor task's settings pages reach the algorithm and its time frame, and how a
// loaded task is shown on them. Text that is not a number raises EConvertError ("'<text>' is
// not a valid integer value" or "... floating point value"); the values copied before it stay
// copied, the rest are not.
#pragma once

#include "task/ChartScale.h"
#include "task/TaskSettings.h"

namespace sarvanta {

class TGeneticAlgorithm;
class TTimeFrame;

// SetFrame with the eight time-frame values (fixed start, preceding extension only, start,
// end, precision, "change to", control extension, frame size). Nothing changes on a bad value.
void SetFrameFromSettings(const TTaskSettings& settings, TTimeFrame& timeFrame);

// Leaving a time-frame control: the frame, the oscillation range (when oscillation is
// checked), the oscillation, precision-change and frame-move steps, PrecChanging and the
// visible frame.
void TimeFrameExit(const TTaskSettings& settings, TGeneticAlgorithm& algorithm);

// Leaving a general or functions control: PopulationSize, then NumberOfSteps (or, with the
// "Accuracy" criterion, AccuracyTreshold as a real), the operation cycles of a step
// (MutationsPerStep, CrossoversPerStep, CommonMutPerStep), then SetFunctions.
void GeneralOptionExit(const TTaskSettings& settings, TGeneticAlgorithm& algorithm);

// What "Save HGA" copies before writing: the general options and the frame.
void TransferBeforeSave(const TTaskSettings& settings, TGeneticAlgorithm& algorithm);

// Preparing a fresh run (Run or Trace without a run under way): PopulationSize and
// NumberOfSteps (the steps box is always read as an integer, whatever the stop criterion),
// the chart scales reset over the current control window, the operation cycles of a step,
// SetFunctions, the frame, the
// oscillation range (checked or not) and the step settings of the frame.
void PrepareFreshRun(const TTaskSettings& settings, TGeneticAlgorithm& algorithm,
                     TChartScales& chartScales);

// The oscillation check box was clicked (settings.cbOscilate holds its new state): checked
// with a range of 0 starts oscillating by 1 ms; checked otherwise shows the range; unchecked
// shows and sets 0.
void cbOscilateClick(TTaskSettings& settings, TTimeFrame& timeFrame);

// After a task was loaded: the pages show its time frame and settings. A visible frame of
// 0 .. 0 becomes the evaluation window and a visible precision of 0 the frame's precision, in
// the algorithm as well.
void ShowLoadedTask(TTaskSettings& settings, TGeneticAlgorithm& algorithm);

}  // namespace sarvanta
