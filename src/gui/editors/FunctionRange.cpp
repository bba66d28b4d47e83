#include "editors/FunctionRange.h"

#include "app/Latin1.h"
#include "base/Exception.h"
#include "base/NumberText.h"
#include "chart/Series.h"
#include "task/SamplingStep.h"

namespace sarvanta {

TFunctionRange::TFunctionRange(QLineEdit* minimum, QLineEdit* maximum, QLineEdit* step)
    : minEdit_(minimum), maxEdit_(maximum), stepEdit_(step) {}

void TFunctionRange::SetMin(long double value) {
  min_ = value;
  minEdit_->setText(ToQString(FloatToStr(value)));
}

void TFunctionRange::SetMax(long double value) {
  max_ = value;
  maxEdit_->setText(ToQString(FloatToStr(value)));
}

void TFunctionRange::SetStep(long double value) {
  step_ = value;
  stepEdit_->setText(ToQString(FloatToStr(value)));
}

bool TFunctionRange::Read(QString& error) {
  long double values[3] = {0, 0, 0};
  const QLineEdit* edits[3] = {minEdit_, maxEdit_, stepEdit_};
  bool ok = true;
  for (int i = 0; i < 3 && ok; ++i) {
    try {
      values[i] = StrToFloat(ToStdString(edits[i]->text()));
    } catch (const EConvertError& e) {
      error = QString::fromLatin1(e.what());
      ok = false;
    }
  }
  if (ok && !SamplingStepAdvances(values[0], values[1], values[2])) {
    error = StepNotPositiveMessage;
    ok = false;
  }
  if (ok) {
    SetMin(values[0]);
    SetMax(values[1]);
    SetStep(values[2]);
  } else {
    SetMin(min_);
    SetMax(max_);
    SetStep(step_);
  }
  return ok;
}

bool TFunctionRange::Samplable(QString& error) const {
  if (SamplingStepAdvances(min_, max_, step_)) return true;
  error = StepNotPositiveMessage;
  return false;
}

void PlotFunction(TSeries& series, const TFunctionRange& range, const TRealFunction& f,
                  TDerivative derivative) {
  series.SetPoints(SampleFunction(range.Min(), range.Max(), range.Step(), f, derivative));
}

QLineEdit* NewRangeEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setAlignment(Qt::AlignRight);
  edit->setMinimumWidth(70);
  edit->setMaximumWidth(100);
  return edit;
}

QString ReadOut(double value, int digits) { return ToQString(FloatToStrDigits(value, digits)); }

}  // namespace sarvanta
