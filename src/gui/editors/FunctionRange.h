// The minimum, maximum and step of the function windows (the function graphic and the function
// wizard) and their three edit boxes: the values the plot was drawn with, and the reading of the
// boxes that refuses text that is not a number and a step that would never advance.
//
// The range does not own the boxes; the window that places them does. User-interface thread.
#pragma once

#include "task/FunctionSampling.h"

#include <QLineEdit>
#include <QString>

namespace sarvanta {

class TSeries;

class TFunctionRange {
 public:
  TFunctionRange(QLineEdit* minimum, QLineEdit* maximum, QLineEdit* step);

  long double Min() const { return min_; }
  long double Max() const { return max_; }
  long double Step() const { return step_; }
  // Store the value and show it in its box in the shortest form.
  void SetMin(long double value);
  void SetMax(long double value);
  void SetStep(long double value);

  // Converts the three boxes (in the order minimum, maximum, step) and takes the values. A box
  // that does not hold a number, or a step of 0 or less with the maximum above the minimum,
  // changes nothing: the boxes show the values in force again and the reason is returned in
  // `error`. Returns whether the values were taken.
  bool Read(QString& error);
  // Whether the values in force can be sampled; otherwise `error` says why.
  bool Samplable(QString& error) const;

 private:
  QLineEdit* minEdit_;
  QLineEdit* maxEdit_;
  QLineEdit* stepEdit_;
  long double min_ = 0;
  long double max_ = 0;
  long double step_ = 0;
};

// Samples f (or its derivative) over the range and replaces the series' points with the curve.
// When f throws, the series keeps its points and the exception reaches the caller.
void PlotFunction(TSeries& series, const TFunctionRange& range, const TRealFunction& f,
                  TDerivative derivative);

// A range box of the function windows, named `name`, numbers to the right.
QLineEdit* NewRangeEdit(const char* name, QWidget* parent);

// Number text for the status panels: general format with `digits` significant digits.
QString ReadOut(double value, int digits);

}  // namespace sarvanta
