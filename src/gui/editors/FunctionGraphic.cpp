#include "editors/FunctionGraphic.h"

#include "chart/Chart.h"
#include "chart/Series.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

namespace sarvanta {

TFunctionGraphic::TFunctionGraphic(QWidget* parent)
    : QDialog(parent),
      cFunction(new TChart(this)),
      exMin(NewRangeEdit("exMin", this)),
      exMax(NewRangeEdit("exMax", this)),
      ePrecision(NewRangeEdit("ePrecision", this)),
      series_(cFunction->AddSeries(TSeriesKind::Line)),
      range_(exMin, exMax, ePrecision) {
  setObjectName("FunctionGraphic");
  setWindowTitle("Function");
  resize(720, 440);
  cFunction->setObjectName("cFunction");
  cFunction->SetLegendVisible(false);
  cFunction->SetView3D(false);
  cFunction->SetFoot("t [ms]");
  series_->SetColor(Qt::red);

  lDerivatives = new QLabel("derivatives", this);
  bbDerivative = new QPushButton("First", this);
  bbDerivative->setObjectName("bbDerivative");
  bbSecond = new QPushButton("Second", this);
  bbSecond->setObjectName("bbSecond");
  bbOK = new QPushButton("OK", this);
  bbOK->setObjectName("bbOK");
  bbOK->setDefault(true);
  bbCancel = new QPushButton("Cancel", this);
  bbCancel->setObjectName("bbCancel");
  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName("StatusBar");
  StatusBar->setSizeGripEnabled(true);
  const char* panelTexts[3] = {"X", "Y", ""};
  for (int i = 0; i < 3; ++i) {
    StatusPanels[i] = new QLabel(panelTexts[i], StatusBar);
    StatusPanels[i]->setObjectName(QString("StatusPanel%1").arg(i));
    StatusPanels[i]->setMinimumWidth(120);
    StatusBar->addWidget(StatusPanels[i], i == 2 ? 1 : 0);
  }

  auto* controls = new QHBoxLayout;
  for (auto [label, edit] : {std::pair{"min", exMin}, {"max", exMax}, {"precision", ePrecision}}) {
    controls->addWidget(new QLabel(label, this));
    controls->addWidget(edit);
  }
  controls->addSpacing(12);
  controls->addWidget(lDerivatives);
  controls->addWidget(bbDerivative);
  controls->addWidget(bbSecond);
  controls->addStretch();
  controls->addWidget(bbOK);
  controls->addWidget(bbCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 0);
  layout->addWidget(cFunction, 1);
  layout->addLayout(controls);
  layout->addWidget(StatusBar);

  for (QLineEdit* edit : {exMin, exMax, ePrecision})
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
      if (!edit->isModified()) return;
      edit->setModified(false);
      RangeExit();
    });
  connect(bbDerivative, &QPushButton::clicked, this, &TFunctionGraphic::bbDerivativeClick);
  connect(bbSecond, &QPushButton::clicked, this, &TFunctionGraphic::bbSecondClick);
  connect(bbOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cFunction, &TChart::MouseValues, this, &TFunctionGraphic::cFunctionMouseMove);
}

TFunctionGraphic::~TFunctionGraphic() = default;

void TFunctionGraphic::ShowFunction(const QString& title, const QString& xName,
                                    const QString& xUnit, const QString& yName,
                                    const QString& yUnit, long double minimum, long double maximum,
                                    long double step, TRealFunction function) {
  SetFunction(title, xName, xUnit, yName, yUnit, minimum, maximum, step, std::move(function));
  exec();
  // The function reads objects of the caller, which may be gone after this call.
  function_ = nullptr;
}

void TFunctionGraphic::SetFunction(const QString& title, const QString& xName, const QString& xUnit,
                                   const QString& yName, const QString& yUnit, long double minimum,
                                   long double maximum, long double step, TRealFunction function) {
  range_.SetMin(minimum);
  range_.SetMax(maximum);
  range_.SetStep(step);
  function_ = std::move(function);
  xName_ = xName;
  xUnit_ = xUnit;
  yName_ = yName;
  yUnit_ = yUnit;
  series_->SetTitle(xName + "[" + xUnit + "]");
  series_->Clear();
  Plot(TDerivative::None);
  cFunction->SetTitle(title);
}

void TFunctionGraphic::Plot(TDerivative derivative) {
  if (!function_) return;
  QString error;
  if (!range_.Samplable(error)) {
    series_->Clear();
    ShowError(error);
    return;
  }
  try {
    PlotFunction(*series_, range_, function_, derivative);
  } catch (const std::exception& e) {
    ShowError(QString::fromLatin1(e.what()));
  }
}

bool TFunctionGraphic::ReadRange() {
  QString error;
  if (range_.Read(error)) return true;
  ShowError(error);
  return false;
}

void TFunctionGraphic::RangeExit() {
  if (ReadRange()) Plot(TDerivative::None);
}

void TFunctionGraphic::bbDerivativeClick() {
  if (ReadRange()) Plot(TDerivative::First);
}

void TFunctionGraphic::bbSecondClick() {
  if (ReadRange()) Plot(TDerivative::Second);
}

void TFunctionGraphic::cFunctionMouseMove(double x, double y) {
  StatusPanels[0]->setText(xName_ + "=" + ReadOut(x, 6) + " " + xUnit_);
  StatusPanels[1]->setText(yName_ + "=" + ReadOut(y, 3) + " " + yUnit_);
}

void TFunctionGraphic::ShowError(const QString& text) {
  if (OnError)
    OnError(text);
  else
    QMessageBox::critical(this, "Function", text);
}

}  // namespace sarvanta
