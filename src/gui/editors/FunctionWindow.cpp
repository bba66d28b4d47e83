#include "editors/FunctionWindow.h"

#include "chart/Chart.h"
#include "chart/Series.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

namespace sarvanta {

TFunctionWindow::TFunctionWindow(QWidget* parent, const QStringList& panelTexts)
    : QDialog(parent),
      cFunction(new TChart(this)),
      exMin(NewRangeEdit("exMin", this)),
      exMax(NewRangeEdit("exMax", this)),
      ePrecision(NewRangeEdit("ePrecision", this)),
      lDerivatives(new QLabel("derivatives", this)),
      bbDerivative(new QPushButton("First", this)),
      bbSecond(new QPushButton("Second", this)),
      bbOK(new QPushButton("OK", this)),
      bbCancel(new QPushButton("Cancel", this)),
      StatusBar(new QStatusBar(this)),
      series_(cFunction->AddSeries(TSeriesKind::Line)),
      range_(exMin, exMax, ePrecision) {
  cFunction->setObjectName("cFunction");
  cFunction->SetLegendVisible(false);
  cFunction->SetFoot("t [ms]");
  series_->SetColor(Qt::red);
  bbDerivative->setObjectName("bbDerivative");
  bbSecond->setObjectName("bbSecond");
  bbOK->setObjectName("bbOK");
  bbCancel->setObjectName("bbCancel");
  StatusBar->setObjectName("StatusBar");
  for (int i = 0; i < panelTexts.size(); ++i) {
    auto* panel = new QLabel(panelTexts[i], StatusBar);
    panel->setObjectName(QString("StatusPanel%1").arg(i));
    panel->setMinimumWidth(110);
    StatusBar->addWidget(panel, i + 1 == panelTexts.size() ? 1 : 0);
    StatusPanels.push_back(panel);
  }

  for (QLineEdit* edit : {exMin, exMax, ePrecision})
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
      if (!edit->isModified()) return;
      edit->setModified(false);
      RangeExit();
    });
  connect(bbDerivative, &QPushButton::clicked, this, [this] { bbDerivativeClick(); });
  connect(bbSecond, &QPushButton::clicked, this, [this] { bbSecondClick(); });
  connect(bbOK, &QPushButton::clicked, this, [this] { bbOKClick(); });
  connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cFunction, &TChart::MouseValues, this,
          [this](double x, double y) { cFunctionMouseMove(x, y); });
}

void TFunctionWindow::Arrange(QWidget* top, QBoxLayout* side,
                              const std::vector<QPushButton*>& buttons) {
  auto* middle = new QHBoxLayout;
  middle->addWidget(cFunction, 1);
  if (side) middle->addLayout(side);
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
  for (QPushButton* button : buttons) controls->addWidget(button);
  controls->addWidget(bbOK);
  controls->addWidget(bbCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 0);
  if (top) layout->addWidget(top);
  layout->addLayout(middle, 1);
  layout->addLayout(controls);
  layout->addWidget(StatusBar);
}

bool TFunctionWindow::ReadRange() {
  QString error;
  if (range_.Read(error)) return true;
  ShowError(error);
  return false;
}

void TFunctionWindow::Plot(const TRealFunction& f, TDerivative derivative) {
  QString error;
  if (!range_.Samplable(error)) {
    series_->Clear();
    ShowError(error);
    return;
  }
  try {
    PlotFunction(*series_, range_, f, derivative);
  } catch (const std::exception& e) {
    ShowError(QString::fromLatin1(e.what()));
  }
}

void TFunctionWindow::ShowError(const QString& text) {
  if (OnError)
    OnError(text);
  else
    QMessageBox::critical(this, windowTitle(), text);
}

}  // namespace sarvanta
