// The function window ("Function"): plots one real function of one real variable over an
// interval, or its numeric first or second derivative, for the property dialogs (a motor
// unit's or a muscle's force over time, a polynomial over an angle). It knows nothing of what
// it plots: the caller passes the function.
//
// One instance lives for the whole program and is shown modally. It keeps the function only
// until the next showing; the caller must keep what the function reads alive while the window
// is open (the dialogs do: they wait for ShowFunction to return). User-interface thread only.
#pragma once

#include "editors/FunctionRange.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <functional>

namespace sarvanta {

class TChart;
class TSeries;

class TFunctionGraphic : public QDialog {
  Q_OBJECT

 public:
  explicit TFunctionGraphic(QWidget* parent = nullptr);
  ~TFunctionGraphic() override;

  // SetFunction, then shows the window modally; returns when it is closed.
  void ShowFunction(const QString& title, const QString& xName, const QString& xUnit,
                    const QString& yName, const QString& yUnit, long double minimum,
                    long double maximum, long double step, TRealFunction function);
  // Everything ShowFunction does before showing: stores the range, the function and the texts,
  // titles the series "<x name>[<x unit>]" and the chart with `title`, and plots the function.
  void SetFunction(const QString& title, const QString& xName, const QString& xUnit,
                   const QString& yName, const QString& yUnit, long double minimum,
                   long double maximum, long double step, TRealFunction function);

  const TFunctionRange& Range() const { return range_; }
  TSeries* Series() const { return series_; }

  // Leaving a range box: the boxes are read and the function plotted again.
  void RangeExit();
  // "First" and "Second": the boxes are read and the derivative plotted.
  void bbDerivativeClick();
  void bbSecondClick();
  // The mouse over the chart: "<x name>=<x> <x unit>" and "<y name>=<y> <y unit>".
  void cFunctionMouseMove(double x, double y);

  // Shows a failure (a bad box, a refused step, a math error of the function); a message box
  // unless replaced (tests collect the texts).
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
  QLabel* StatusPanels[3];

 private:
  void Plot(TDerivative derivative);
  // Reads the three boxes; false (with the reason shown) when they are refused.
  bool ReadRange();
  void ShowError(const QString& text);

  TSeries* series_;
  TFunctionRange range_;
  TRealFunction function_;
  QString xName_, xUnit_, yName_, yUnit_;
};

}  // namespace sarvanta
