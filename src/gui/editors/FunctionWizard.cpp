#include "editors/FunctionWizard.h"

#include "app/Latin1.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "editors/SyntaxWindow.h"
#include "expr/Express.h"
#include "ga/GoalFunction.h"
#include "task/SVAlgorithm.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QVBoxLayout>

namespace sarvanta {

namespace {

constexpr int MaxExpressionLength = 255;

}  // namespace

TFunctionWizard::TFunctionWizard(QWidget* parent)
    : QDialog(parent),
      Expr(std::make_unique<TExpress>()),
      exMin(NewRangeEdit("exMin", this)),
      exMax(NewRangeEdit("exMax", this)),
      ePrecision(NewRangeEdit("ePrecision", this)),
      range_(exMin, exMax, ePrecision),
      syntax_(new TSyntaxWindow(this)) {
  setObjectName("FunctionWizard");
  setWindowTitle("Function Wizard");
  Expr->SetExpression("1");
  Expr->SetVariableList("txy");
  Expr->SetParameterList("abcd");
  CreateControls();
  resize(760, 460);
}

TFunctionWizard::~TFunctionWizard() = default;

void TFunctionWizard::CreateControls() {
  cbExpression = new QComboBox(this);
  cbExpression->setObjectName("cbExpression");
  cbExpression->setEditable(true);
  cbExpression->setInsertPolicy(QComboBox::NoInsert);
  cbExpression->lineEdit()->installEventFilter(this);

  cFunction = new TChart(this);
  cFunction->setObjectName("cFunction");
  cFunction->SetLegendVisible(false);
  cFunction->SetFoot("t [ms]");
  series_ = cFunction->AddSeries(TSeriesKind::Line, "Force");
  series_->SetColor(Qt::red);

  gbSegments = new QGroupBox("Segments", this);
  gbSegments->setObjectName("gbSegments");
  sgSegments = new QTableWidget(gbSegments);
  sgSegments->setObjectName("sgSegments");
  sgSegments->setColumnCount(4);
  sgSegments->horizontalHeader()->hide();
  sgSegments->verticalHeader()->hide();
  const int widths[4] = {19, 41, 40, 62};
  for (int i = 0; i < 4; ++i) sgSegments->setColumnWidth(i, widths[i]);
  ResetSegments();
  gbSegmentOptions = new QGroupBox("Segment Options", this);
  gbSegmentOptions->setObjectName("gbSegmentOptions");
  auto* segmentsLayout = new QVBoxLayout(gbSegments);
  segmentsLayout->addWidget(sgSegments);
  auto* side = new QVBoxLayout;
  side->addWidget(gbSegments, 2);
  side->addWidget(gbSegmentOptions, 1);
  gbSegments->setMinimumWidth(19 + 41 + 40 + 62 + 30);

  lDerivatives = new QLabel("derivatives", this);
  bbDerivative = new QPushButton("First", this);
  bbDerivative->setObjectName("bbDerivative");
  bbSecond = new QPushButton("Second", this);
  bbSecond->setObjectName("bbSecond");
  bbSyntax = new QPushButton("Syntax", this);
  bbSyntax->setObjectName("bbSyntax");
  bbSyntax->setToolTip("How expressions are written");
  bbOK = new QPushButton("OK", this);
  bbOK->setObjectName("bbOK");
  bbCancel = new QPushButton("Cancel", this);
  bbCancel->setObjectName("bbCancel");
  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName("StatusBar");
  const char* panelTexts[4] = {"X", "Y", "Segment", ""};
  for (int i = 0; i < 4; ++i) {
    StatusPanels[i] = new QLabel(panelTexts[i], StatusBar);
    StatusPanels[i]->setObjectName(QString("StatusPanel%1").arg(i));
    StatusPanels[i]->setMinimumWidth(100);
    StatusBar->addWidget(StatusPanels[i], i == 3 ? 1 : 0);
  }

  auto* middle = new QHBoxLayout;
  middle->addWidget(cFunction, 1);
  middle->addLayout(side);
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
  controls->addWidget(bbSyntax);
  controls->addWidget(bbOK);
  controls->addWidget(bbCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 0);
  layout->addWidget(cbExpression);
  layout->addLayout(middle, 1);
  layout->addLayout(controls);
  layout->addWidget(StatusBar);

  for (QLineEdit* edit : {exMin, exMax, ePrecision})
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
      if (!edit->isModified()) return;
      edit->setModified(false);
      RangeExit();
    });
  connect(bbDerivative, &QPushButton::clicked, this, &TFunctionWizard::bbDerivativeClick);
  connect(bbSecond, &QPushButton::clicked, this, &TFunctionWizard::bbSecondClick);
  connect(bbSyntax, &QPushButton::clicked, this, &TFunctionWizard::bbSyntaxClick);
  connect(bbOK, &QPushButton::clicked, this, &TFunctionWizard::bbOKClick);
  connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cFunction, &TChart::MouseValues, this, &TFunctionWizard::cFunctionMouseMove);
}

bool TFunctionWizard::eventFilter(QObject* watched, QEvent* event) {
  // Leaving the expression draws it; opening its own drop-down or leaving the window does not.
  if (watched == cbExpression->lineEdit() && event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) DrawCurve();
  }
  return QDialog::eventFilter(watched, event);
}

void TFunctionWizard::ResetSegments() {
  // The header text's lines are separated by a line feed and a carriage return.
  const QStringList header = QString(" \n\rFrom\n\rTo\n\rSegment\n\r").split("\n\r");
  sgSegments->clearContents();
  sgSegments->setRowCount(2);
  for (int i = 0; i < 4; ++i) sgSegments->setItem(0, i, new QTableWidgetItem(header.value(i)));
}

bool TFunctionWizard::Edit(TInspectedObject* object) {
  Open(object);
  return exec() == QDialog::Accepted;
}

void TFunctionWizard::Open(TInspectedObject* object) {
  goal_ = dynamic_cast<TGoalFunctionExpression*>(object);
  if (goal_) {
    const QString text = ToQString(goal_->Expression);
    openedText_ = text;
    cbExpression->setEditText(text);
    ResetSegments();
    if (cbExpression->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
      cbExpression->insertItem(0, text);
    cbExpression->setEditText(text);
    // The curve is the goal's: its expression with its own parameter values.
    Expr->SetParameters(goal_->A, goal_->B, goal_->C, goal_->D, 1, 1);
  }
  if (motorTask_) {
    range_.SetMin(motorTask_->GetFromMoment());
    range_.SetMax(motorTask_->GetToMoment());
    range_.SetStep(motorTask_->GetPrecision());
  }
  DrawCurve();
}

bool TFunctionWizard::Compile() {
  try {
    Expr->SetExpression(ToStdString(cbExpression->currentText().left(MaxExpressionLength)));
    return true;
  } catch (const std::exception& e) {
    ShowError(QString::fromLatin1(e.what()));
    return false;
  }
}

void TFunctionWizard::Plot(TDerivative derivative) {
  QString error;
  if (!range_.Samplable(error)) {
    series_->Clear();
    ShowError(error);
    return;
  }
  TExpress* expr = Expr.get();
  try {
    PlotFunction(
        *series_, range_, [expr](long double t) { return expr->TheFunction(t, 0, 0); }, derivative);
  } catch (const std::exception& e) {
    ShowError(QString::fromLatin1(e.what()));
  }
}

void TFunctionWizard::DrawCurve() {
  // A text that does not compile leaves the component uncompiled: the curve is the constant 1.
  Compile();
  Plot(TDerivative::None);
}

bool TFunctionWizard::ReadRange() {
  QString error;
  if (range_.Read(error)) return true;
  ShowError(error);
  return false;
}

void TFunctionWizard::RangeExit() {
  if (ReadRange()) DrawCurve();
}

void TFunctionWizard::bbDerivativeClick() {
  if (!ReadRange()) return;
  DrawCurve();
  Compile();
  Plot(TDerivative::First);
}

void TFunctionWizard::bbSecondClick() {
  if (ReadRange()) Plot(TDerivative::Second);
}

void TFunctionWizard::bbSyntaxClick() { syntax_->ShowSyntax(Expr->SyntaxText()); }

void TFunctionWizard::bbOKClick() {
  if (goal_) {
    // Only a text that compiles is stored, so that the goal can still be evaluated.
    if (!Compile()) return;
    goal_->Expression = ToStdString(cbExpression->currentText().left(MaxExpressionLength));
    try {
      goal_->UpdateExpression();
    } catch (const std::exception& e) {
      ShowError(QString::fromLatin1(e.what()));
      return;
    }
  }
  accept();
}

void TFunctionWizard::cFunctionMouseMove(double x, double y) {
  StatusPanels[0]->setText("X= " + ReadOut(x, 6));
  StatusPanels[1]->setText("Y= " + ReadOut(y, 3));
}

void TFunctionWizard::ShowError(const QString& text) {
  if (OnError)
    OnError(text);
  else
    QMessageBox::critical(this, windowTitle(), text);
}

}  // namespace sarvanta
