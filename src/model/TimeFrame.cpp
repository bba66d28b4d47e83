#include "model/TimeFrame.h"

#include "base/Random.h"

namespace sarvanta {

TTimeFrame::TTimeFrame(TComponent* owner) : TStreamComponent(owner) {}

void TTimeFrame::SetFrame(bool fixedStart, bool preCtrlExt, long double fromMoment,
                          long double toMoment, long double precision, long double stopPrec,
                          long double ctrlExt, long double frameSize) {
  Changed = true;
  FrameStart = FromMoment = fromMoment;
  FrameEnd = ToMoment = toMoment;
  FrameSize = frameSize;
  Precision = StartPrec = precision;
  StopPrec = stopPrec;
  Duration = toMoment - fromMoment;
  PreCtrlExt = preCtrlExt;
  SetCtrlExt(ctrlExt);
  SetFixedStart(fixedStart);
  if (OnChange) OnChange(this);
}

void TTimeFrame::SetCtrlExt(long double value) {
  Changed = true;
  ctrlExt_ = value;
  UpdateControlWindow();
}

void TTimeFrame::UpdateControlWindow() {
  Changed = true;
  CtrlEnd = ToMoment + ctrlExt_;
  CtrlStart = PreCtrlExt ? FromMoment : FromMoment - ctrlExt_;
  CtrlLength = CtrlEnd - CtrlStart;
}

void TTimeFrame::StartMove() {
  Changed = true;
  FromMoment = FrameStart;
  ToMoment = FromMoment + FrameSize;
  UpdateControlWindow();
}

void TTimeFrame::ResetFrame() {
  Changed = true;
  FromMoment = FrameStart;
  ToMoment = FrameEnd;
  Precision = StartPrec;
  Duration = ToMoment - FromMoment;
  UpdateControlWindow();
}

void TTimeFrame::MoveWindow(long double d) {
  Changed = true;
  if (FrameEnd <= ToMoment + d) {
    FromMoment = FrameStart;
  } else {
    FromMoment += d;
  }
  ToMoment = FromMoment + FrameSize;
  UpdateControlWindow();
}

void TTimeFrame::GrowWindow(long double d) {
  Changed = true;
  if (FrameEnd <= ToMoment + d) {
    FromMoment = FrameStart;
    ToMoment = FromMoment + FrameSize;
  } else {
    ToMoment += d;
  }
  UpdateControlWindow();
}

void TTimeFrame::MoveFrame(long double d) {
  if (fixedStart_) {
    GrowWindow(d);
  } else {
    MoveWindow(d);
  }
}

void TTimeFrame::Oscillate() { OscOffset = TRandom::Shared().Real() * OscRange; }

void TTimeFrame::SetPrecisionFraction(long double f) {
  Changed = true;
  Precision = StartPrec + (StopPrec - StartPrec) * f;
}

namespace {

TTimeFrame& Frame(TStreamComponent& c) { return static_cast<TTimeFrame&>(c); }
const TTimeFrame& Frame(const TStreamComponent& c) { return static_cast<const TTimeFrame&>(c); }

TPropertyInfo FloatField(const char* name, long double TTimeFrame::*field) {
  TPropertyInfo info;
  info.Name = name;
  info.Type = TPropType::Extended;
  info.GetFloat = [field](const TStreamComponent& c) { return Frame(c).*field; };
  info.SetFloat = [field](TStreamComponent& c, long double v) { Frame(c).*field = v; };
  return info;
}

TPropertyInfo BoolProperty(const char* name, std::function<bool(const TTimeFrame&)> get,
                           std::function<void(TTimeFrame&, bool)> set) {
  TPropertyInfo info;
  info.Name = name;
  info.Type = TPropType::Boolean;
  info.GetInt = [get](const TStreamComponent& c) { return get(Frame(c)) ? 1 : 0; };
  info.SetInt = [set](TStreamComponent& c, int64_t v) { set(Frame(c), v != 0); };
  return info;
}

TClassInfo MakeTimeFrameInfo() {
  TClassInfo info;
  info.ClassName = "TTimeFrame";
  info.Properties = {
      FloatField("FrameStart", &TTimeFrame::FrameStart),
      FloatField("FrameEnd", &TTimeFrame::FrameEnd),
      FloatField("FrameSize", &TTimeFrame::FrameSize),
      FloatField("FromMoment", &TTimeFrame::FromMoment),
      FloatField("ToMoment", &TTimeFrame::ToMoment),
      FloatField("Duration", &TTimeFrame::Duration),
      FloatField("Precision", &TTimeFrame::Precision),
  };
  TPropertyInfo ctrlExt;
  ctrlExt.Name = "CtrlExt";
  ctrlExt.Type = TPropType::Extended;
  ctrlExt.GetFloat = [](const TStreamComponent& c) { return Frame(c).CtrlExt(); };
  ctrlExt.SetFloat = [](TStreamComponent& c, long double v) { Frame(c).SetCtrlExt(v); };
  info.Properties.push_back(ctrlExt);
  info.Properties.push_back(FloatField("OscRange", &TTimeFrame::OscRange));
  info.Properties.push_back(BoolProperty(
      "FixedStart", [](const TTimeFrame& f) { return f.FixedStart(); },
      [](TTimeFrame& f, bool v) { f.SetFixedStart(v); }));
  // PreCtrlExt is stored after CtrlExt: the control window is recomputed once it is known,
  // so a frame read from a file has the control window its settings describe.
  info.Properties.push_back(BoolProperty(
      "PreCtrlExt", [](const TTimeFrame& f) { return f.PreCtrlExt; },
      [](TTimeFrame& f, bool v) {
        f.PreCtrlExt = v;
        f.UpdateControlWindow();
      }));
  info.Properties.push_back(FloatField("StartPrec", &TTimeFrame::StartPrec));
  info.Properties.push_back(FloatField("StopPrec", &TTimeFrame::StopPrec));
  return info;
}

}  // namespace

const TClassInfo& TTimeFrame::ClassInfo() const {
  static const TClassInfo info = MakeTimeFrameInfo();
  return info;
}

}  // namespace sarvanta
