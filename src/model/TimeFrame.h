// The time settings of a motor task: the whole task interval, the evaluation window where the
// goals are estimated and the control window where operators may place or remove impulses.
// All times are in milliseconds.
#pragma once

#include "model/Stream.h"

#include <functional>

namespace sarvanta {

class TTimeFrame : public TStreamComponent {
 public:
  explicit TTimeFrame(TComponent* owner = nullptr);

  const TClassInfo& ClassInfo() const override;

  // Sets the task interval and the evaluation window to [fromMoment, toMoment], the precision
  // settings and the control extension, then fires OnChange.
  void SetFrame(bool fixedStart, bool preCtrlExt, long double fromMoment, long double toMoment,
                long double precision, long double stopPrec, long double ctrlExt,
                long double frameSize);

  long double CtrlExt() const { return ctrlExt_; }
  // Stores the extension and recomputes the control window.
  void SetCtrlExt(long double value);
  bool FixedStart() const { return fixedStart_; }
  // Chooses how MoveFrame moves the window: growing (true) or sliding (false).
  void SetFixedStart(bool value) { fixedStart_ = value; }

  // CtrlStart .. CtrlEnd from the evaluation window, the extension and PreCtrlExt.
  void UpdateControlWindow();
  // Evaluation window FrameStart .. FrameStart + FrameSize.
  void StartMove();
  // Evaluation window and precision back to the whole task.
  void ResetFrame();
  // Slides the window by d; starts over at FrameStart when it would reach FrameEnd.
  void MoveWindow(long double d);
  // Widens the window by d at its end; starts over like MoveWindow.
  void GrowWindow(long double d);
  // GrowWindow when FixedStart, else MoveWindow.
  void MoveFrame(long double d);
  // OscOffset := a random draw in [0, OscRange).
  void Oscillate();
  // Precision := StartPrec + (StopPrec - StartPrec) * f.
  void SetPrecisionFraction(long double f);

  long double FrameStart = 0;
  long double FrameEnd = 0;
  long double FrameSize = 0;
  long double FromMoment = 0;
  long double ToMoment = 0;
  // ToMoment - FromMoment of the whole task, as of the last SetFrame or ResetFrame.
  long double Duration = 0;
  long double Precision = 0;
  long double OscRange = 0;
  bool PreCtrlExt = false;
  long double CtrlStart = 0;
  long double CtrlEnd = 0;
  long double CtrlLength = 0;
  long double StartPrec = 0;
  long double StopPrec = 0;
  long double OscOffset = 0;
  // Set by every change of the windows or the precision; the algorithm clears it after it
  // re-evaluated the whole population.
  bool Changed = false;
  std::function<void(TObject* sender)> OnChange;

 private:
  long double ctrlExt_ = 0;
  bool fixedStart_ = false;
};

}  // namespace sarvanta
