// The function wizard ("Function Wizard"): the editor of the expression rows of goals. It plots
// the goal's expression over the motor task's time frame, with its numeric first and second
// derivatives, keeps every expression it was opened with in its combo box, and on OK stores
// the edited expression into the goal.
//
// One instance lives for the whole program. It owns its controls, its own expression component
// (so the goal's compiled expression is touched only by OK) and the syntax window; the goal
// belongs to its algorithm and the motor-task window to the main window. User-interface thread.
#pragma once

#include "editors/FunctionWindow.h"

#include <QComboBox>
#include <QGroupBox>
#include <QTableWidget>
#include <memory>

namespace sarvanta {

class TExpress;
class TGoalFunctionExpression;
class TInspectedObject;
class TSVAlgorithm;
class TSyntaxWindow;

class TFunctionWizard : public TFunctionWindow {
  Q_OBJECT

 public:
  explicit TFunctionWizard(QWidget* parent = nullptr);
  ~TFunctionWizard() override;

  // The window whose time frame gives the minimum, maximum and step (not owned).
  void SetMotorTask(TSVAlgorithm* motorTask) { motorTask_ = motorTask; }

  // The edit operation of goal expression rows: Open, then shows the window modally. OK stores
  // the expression into the goal (when it compiles); Cancel changes nothing. Returns whether OK
  // was chosen.
  bool Edit(TInspectedObject* object);
  // Everything Edit does before showing: for an expression goal its text (and its parameters)
  // are taken, the segments grid is reset and the text joins the history; then the range comes
  // from the motor-task window and the curve is drawn.
  void Open(TInspectedObject* object);

  // Compiles the text of cbExpression and plots it (an error is shown and the constant 1 drawn).
  void DrawCurve();
  // Leaving a range box: the boxes are read and the curve drawn.
  void RangeExit() override;
  // The boxes are read, the curve drawn and its first derivative plotted.
  void bbDerivativeClick() override;
  // The boxes are read and the second derivative of the compiled text plotted.
  void bbSecondClick() override;
  void bbSyntaxClick();
  void bbOKClick() override;
  // "X= <x>" and "Y= <y>".
  void cFunctionMouseMove(double x, double y) override;

  TSyntaxWindow* SyntaxWindow() const { return syntax_; }
  // The text the wizard was last opened with.
  QString OpenedText() const { return openedText_; }

  std::unique_ptr<TExpress> Expr;
  QComboBox* cbExpression;
  QGroupBox* gbSegments;
  QTableWidget* sgSegments;
  QGroupBox* gbSegmentOptions;
  QPushButton* bbSyntax;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void ResetSegments();
  // Writes the text of cbExpression into Expr; false (with the error shown) when it does not
  // compile.
  bool Compile();
  void PlotExpression(TDerivative derivative);

  TSVAlgorithm* motorTask_ = nullptr;
  TGoalFunctionExpression* goal_ = nullptr;
  QString openedText_;
  TSyntaxWindow* syntax_;
};

}  // namespace sarvanta
