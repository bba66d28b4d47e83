#include "editors/FunctionWizard.h"

#include "app/Latin1.h"
#include "chart/Series.h"
#include "editors/SyntaxWindow.h"
#include "expr/Express.h"
#include "ga/GoalFunction.h"
#include "task/SVAlgorithm.h"

#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QVBoxLayout>

namespace sarvanta {

namespace {

constexpr int MaxExpressionLength = 255;

}  // namespace

TFunctionWizard::TFunctionWizard(QWidget* parent)
    : TFunctionWindow(parent, {"X", "Y", "Segment", ""}),
      Expr(std::make_unique<TExpress>()),
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
  series_->SetTitle("Force");

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
  gbSegments->setMinimumWidth(19 + 41 + 40 + 62 + 30);
  auto* segmentsLayout = new QVBoxLayout(gbSegments);
  segmentsLayout->addWidget(sgSegments);
  gbSegmentOptions = new QGroupBox("Segment Options", this);
  gbSegmentOptions->setObjectName("gbSegmentOptions");
  auto* side = new QVBoxLayout;
  side->addWidget(gbSegments, 2);
  side->addWidget(gbSegmentOptions, 1);

  bbSyntax = new QPushButton("Syntax", this);
  bbSyntax->setObjectName("bbSyntax");
  bbSyntax->setToolTip("How expressions are written");
  connect(bbSyntax, &QPushButton::clicked, this, &TFunctionWizard::bbSyntaxClick);
  Arrange(cbExpression, side, {bbSyntax});
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

void TFunctionWizard::PlotExpression(TDerivative derivative) {
  TExpress* expr = Expr.get();
  Plot([expr](long double t) { return expr->TheFunction(t, 0, 0); }, derivative);
}

void TFunctionWizard::DrawCurve() {
  // A text that does not compile leaves the component uncompiled: the curve is the constant 1.
  Compile();
  PlotExpression(TDerivative::None);
}

void TFunctionWizard::RangeExit() {
  if (ReadRange()) DrawCurve();
}

void TFunctionWizard::bbDerivativeClick() {
  if (!ReadRange()) return;
  DrawCurve();
  Compile();
  PlotExpression(TDerivative::First);
}

void TFunctionWizard::bbSecondClick() {
  if (ReadRange()) PlotExpression(TDerivative::Second);
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

}  // namespace sarvanta
