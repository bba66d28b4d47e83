// What the two function windows (the function graphic and the function wizard) share: the
// chart with its one line series, the minimum, maximum and step boxes, the "First" and "Second"
// derivative buttons, OK and Cancel, the status bar with the cursor read-out, and the plotting
// of a function over the range, which refuses a step that would never advance.
//
// The window owns its controls; the function it plots belongs to the caller. User-interface
// thread only.
#pragma once

#include "editors/FunctionRange.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <functional>
#include <vector>

class QBoxLayout;

namespace sarvanta {

class TChart;

class TFunctionWindow : public QDialog {
  Q_OBJECT

 public:
  const TFunctionRange& Range() const { return range_; }
  TSeries* Series() const { return series_; }

  // Leaving a range box, "First", "Second", OK, and the mouse over the chart.
  virtual void RangeExit() = 0;
  virtual void bbDerivativeClick() = 0;
  virtual void bbSecondClick() = 0;
  virtual void bbOKClick() { accept(); }
  virtual void cFunctionMouseMove(double x, double y) = 0;

  // Shows a failure (a bad box, a refused step, an error of the function); a message box unless
  // replaced (tests collect the texts).
  std::function<void(const QString&)> OnError;

  TChart* cFunction;
  QLineEdit* exMin;
  QLineEdit* exMax;
  QLineEdit* ePrecision;
  QLabel* lDerivatives;
  QPushButton* bbDerivative;
  QPushButton* bbSecond;
  QPushButton* bbOK;
  QPushButton* bbCancel;
  QStatusBar* StatusBar;
  // One panel per given text ("X", "Y", ...).
  std::vector<QLabel*> StatusPanels;

 protected:
  TFunctionWindow(QWidget* parent, const QStringList& panelTexts);

  // Lays the window out: `top` (if any) above, the chart with `side` (if any) beside it, the
  // range row with `buttons` before OK and Cancel, the status bar at the bottom.
  void Arrange(QWidget* top, QBoxLayout* side, const std::vector<QPushButton*>& buttons);
  // Reads the three boxes; false (with the reason shown) when they are refused.
  bool ReadRange();
  // Plots f (or its derivative) over the range. A range that cannot be sampled empties the
  // series with a message; an error of f keeps the last plot and is shown.
  void Plot(const TRealFunction& f, TDerivative derivative);
  void ShowError(const QString& text);

  TSeries* series_;
  TFunctionRange range_;
};

}  // namespace sarvanta
