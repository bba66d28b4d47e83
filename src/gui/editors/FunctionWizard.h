// The function wizard ("Function Wizard"): the editor of the expression rows of goals. It plots
// the goal's expression over the motor task's time frame, with its numeric first and second
// derivatives, keeps every expression it was opened with in its combo box, and on OK stores
// the edited expression into the goal.
//
// One instance lives for the whole program. It owns its controls, its own expression component
// (so the goal's compiled expression is touched only by OK) and the syntax window; the goal
// belongs to its algorithm and the motor-task window to the main window. User-interface thread.
#pragma once

#include "editors/FunctionRange.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <functional>
#include <memory>

namespace sarvanta {

class TChart;
class TExpress;
class TGoalFunctionExpression;
class TInspectedObject;
class TSVAlgorithm;
class TSeries;
class TSyntaxWindow;

class TFunctionWizard : public QDialog {
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
  void RangeExit();
  void bbDerivativeClick();
  void bbSecondClick();
  void bbSyntaxClick();
  void bbOKClick();
  void cFunctionMouseMove(double x, double y);

  const TFunctionRange& Range() const { return range_; }
  TSeries* Series() const { return series_; }
  TSyntaxWindow* SyntaxWindow() const { return syntax_; }
  // The text the wizard was last opened with.
  QString OpenedText() const { return openedText_; }

  // Shows a failure; a message box unless replaced (tests collect the texts).
  std::function<void(const QString&)> OnError;

  std::unique_ptr<TExpress> Expr;
  QComboBox* cbExpression;
  TChart* cFunction;
  QGroupBox* gbSegments;
  QTableWidget* sgSegments;
  QGroupBox* gbSegmentOptions;
  QLineEdit* exMin;
  QLineEdit* exMax;
  QLineEdit* ePrecision;
  QLabel* lDerivatives;
  QPushButton* bbDerivative;
  QPushButton* bbSecond;
  QPushButton* bbSyntax;
  QPushButton* bbOK;
  QPushButton* bbCancel;
  QStatusBar* StatusBar;
  QLabel* StatusPanels[4];

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void ResetSegments();
  // Writes the text of cbExpression into Expr; false (with the error shown) when it does not
  // compile.
  bool Compile();
  void Plot(TDerivative derivative);
  bool ReadRange();
  void ShowError(const QString& text);

  TSeries* series_ = nullptr;
  TFunctionRange range_;
  TSVAlgorithm* motorTask_ = nullptr;
  TGoalFunctionExpression* goal_ = nullptr;
  QString openedText_;
  TSyntaxWindow* syntax_;
};

}  // namespace sarvanta
