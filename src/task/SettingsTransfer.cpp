#include "task/SettingsTransfer.h"

#include "base/NumberText.h"
#include "ga/GeneticAlgorithm.h"
#include "model/TimeFrame.h"

namespace sarvanta {

void SetFrameFromSettings(const TTaskSettings& s, TTimeFrame& timeFrame) {
  const long double fromMoment = StrToFloat(s.eFromMoment);
  const long double toMoment = StrToFloat(s.eToMoment);
  const long double precision = StrToFloat(s.ePrecision);
  const long double stopPrec = StrToFloat(s.eVariablePrecision);
  const long double ctrlExt = StrToFloat(s.eCtrlExt);
  const long double frameSize = StrToFloat(s.eFrameSize);
  timeFrame.SetFrame(s.cbFixedStart, s.cbPrecedingCtrlExt, fromMoment, toMoment, precision,
                     stopPrec, ctrlExt, frameSize);
}

namespace {

// Steps of the frame's movement and of the precision change.
void FrameStepsFromSettings(const TTaskSettings& s, TGeneticAlgorithm& a) {
  a.MoveFrameWith = StrToFloat(s.eMoveWith);
  a.MoveOnEach = StrToInt(s.eOnStep);
  a.StopMoveAfter = StrToFloat(s.eStopMoveAfter);
  a.StopChangePrecAfter = StrToFloat(s.eForSteps);
}

// The "Operations Cycles Step" box: what it shows is what a step does.
void OperationCyclesFromSettings(const TTaskSettings& s, TGeneticAlgorithm& a) {
  a.MutationsPerStep = StrToInt(s.eMutationsPerStep);
  a.CrossoversPerStep = StrToInt(s.eCrossoversPerStep);
  a.CommonMutPerStep = StrToInt(s.eCOmMutPerStep);
}

void FunctionsFromSettings(const TTaskSettings& s, TGeneticAlgorithm& a) {
  a.SetFunctions(s.cbForMutation, s.cbForCrossover, s.cbForReinsertion, s.cbMethod, s.cbInitMethod,
                 s.cbStopCriterion, StrToFloat(s.eInitParameter));
}

}  // namespace

void TimeFrameExit(const TTaskSettings& s, TGeneticAlgorithm& a) {
  TTimeFrame& frame = *a.TimeFrame;
  SetFrameFromSettings(s, frame);
  if (s.cbOscilate) frame.OscRange = StrToFloat(s.eOscStep);
  a.OscilateOnEach = StrToInt(s.eOscilateOnEach);
  a.PrecChanging = frame.StartPrec != frame.StopPrec;
  FrameStepsFromSettings(s, a);
  a.VisibleFrameStart = StrToFloat(s.eShowFrom);
  a.VisibleFrameEnd = StrToFloat(s.eShowTo);
  a.VisiblePrecision = StrToFloat(s.eShowWithPrecision);
  a.AlwaysUseVisFrame = s.cbAlwaysShowFrame;
}

void GeneralOptionExit(const TTaskSettings& s, TGeneticAlgorithm& a) {
  a.PopulationSize = StrToInt(s.ePopulationSize);
  if (s.cbStopCriterion == StopCriterionAccuracy)
    a.AccuracyTreshold = StrToFloat(s.eNumberOfSteps);
  else
    a.NumberOfSteps = StrToInt(s.eNumberOfSteps);
  OperationCyclesFromSettings(s, a);
  FunctionsFromSettings(s, a);
}

void TransferBeforeSave(const TTaskSettings& s, TGeneticAlgorithm& a) {
  GeneralOptionExit(s, a);
  SetFrameFromSettings(s, *a.TimeFrame);
}

void PrepareFreshRun(const TTaskSettings& s, TGeneticAlgorithm& a, TChartScales& chartScales) {
  a.PopulationSize = StrToInt(s.ePopulationSize);
  a.NumberOfSteps = StrToInt(s.eNumberOfSteps);
  ResetChartScales(chartScales, a.TimeFrame->CtrlStart, a.TimeFrame->CtrlEnd);
  OperationCyclesFromSettings(s, a);
  FunctionsFromSettings(s, a);
  SetFrameFromSettings(s, *a.TimeFrame);
  a.TimeFrame->OscRange = StrToFloat(s.eOscStep);
  a.OscilateOnEach = StrToInt(s.eOscilateOnEach);
  FrameStepsFromSettings(s, a);
}

void cbOscilateClick(TTaskSettings& s, TTimeFrame& timeFrame) {
  if (!s.cbOscilate) {
    s.eOscStep = "0";
    timeFrame.OscRange = 0;
  } else if (timeFrame.OscRange == 0) {
    s.eOscStep = "1";
    timeFrame.OscRange = 1.0L;
  } else {
    s.eOscStep = FloatToStr(timeFrame.OscRange);
  }
}

void ShowLoadedTask(TTaskSettings& s, TGeneticAlgorithm& a) {
  TTimeFrame& frame = *a.TimeFrame;
  s.eFromMoment = FloatToStr(frame.FromMoment);
  s.eToMoment = FloatToStr(frame.ToMoment);
  s.eCtrlExt = FloatToStr(frame.CtrlExt());
  s.ePrecision = FloatToStr(frame.Precision);
  s.eVariablePrecision = FloatToStr(frame.StopPrec);
  s.eFrameSize = FloatToStr(frame.FrameSize);
  s.cbFixedStart = frame.FixedStart();
  s.cbPrecedingCtrlExt = frame.PreCtrlExt;
  s.cbOscilate = frame.OscRange != 0;
  s.eOscStep = FloatToStr(frame.OscRange);

  s.ePopulationSize = IntToStr(a.PopulationSize);
  s.eNumberOfSteps = IntToStr(a.NumberOfSteps);
  s.eMoveWith = FloatToStr(a.MoveFrameWith);
  s.eStopMoveAfter = FloatToStr(a.StopMoveAfter);
  s.eOscilateOnEach = IntToStr(a.OscilateOnEach);
  s.eForSteps = FloatToStr(a.StopChangePrecAfter);
  s.eOnStep = IntToStr(a.MoveOnEach);

  if (a.VisibleFrameEnd == 0 && a.VisibleFrameStart == 0) {
    a.VisibleFrameStart = frame.FromMoment;
    a.VisibleFrameEnd = frame.ToMoment;
  }
  s.eShowFrom = FloatToStr(a.VisibleFrameStart);
  s.eShowTo = FloatToStr(a.VisibleFrameEnd);
  if (a.VisiblePrecision == 0) a.VisiblePrecision = frame.Precision;
  s.eShowWithPrecision = FloatToStr(a.VisiblePrecision);

  s.eMutationsPerStep = IntToStr(a.MutationsPerStep);
  s.eCrossoversPerStep = IntToStr(a.CrossoversPerStep);
  s.eCOmMutPerStep = IntToStr(a.CommonMutPerStep);
  s.cbAlwaysShowFrame = a.AlwaysUseVisFrame;

  s.cbForMutation = a.SelFuncForMutation;
  s.cbForCrossover = a.SelFuncForCrossover;
  s.cbForReinsertion = a.SelFuncForReinsertion;
  s.cbMethod = a.FitnessFunction;
  s.cbInitMethod = a.SelInitializationFunc;
  s.cbStopCriterion = a.StopCriterion;
  s.eInitParameter = FloatToStr(a.InitActivation);
}

}  // namespace sarvanta
