// The nine motor-unit parameter boxes shared by the muscle-properties and the motor-unit
// parameters dialogs, with the dialog's current value of each (the values new or previewed
// units get). A value is set through its setter, which also shows it in its box; a box is read
// back when it is left, and text that is not a number puts the value in force back in the box.
//
// The fields create the boxes; the dialog places them in its layout and so owns them.
// User-interface thread only.
#pragma once

#include "task/MotorUnitEditing.h"

#include <QLineEdit>
#include <QString>
#include <array>
#include <functional>
#include <initializer_list>

namespace sarvanta {

class TParameterFields {
 public:
  explicit TParameterFields(const TMUParameterValues& initial);

  QLineEdit* Box(TMUParameter parameter) const { return edits_[Index(parameter)]; }
  long double Value(TMUParameter parameter) const { return values_[Index(parameter)]; }
  // Stores the value and shows it in its box.
  void SetValue(TMUParameter parameter, long double value);
  const TMUParameterValues& Values() const { return values_; }
  void SetValues(const TMUParameterValues& values);
  // Empties the box and leaves the value in force as it is (a selection with different values).
  void ClearEdit(TMUParameter parameter);

  // Reads the box that was left. A number becomes the value in force and true is returned. Text
  // that is not a number (an empty box included) puts the value in force back into the box,
  // with the reason in its tooltip and in `reason`, and false is returned.
  bool ReadEdit(TMUParameter parameter, QString& reason);
  // Calls `exit` with the parameter whenever the user leaves a box whose text they changed.
  void ConnectExits(QObject* receiver, const std::function<void(TMUParameter)>& exit);

  // The accessor pairs of the dialogs.
  long double GetFMin() const { return Value(TMUParameter::FMin); }
  void SetFMin(long double value) { SetValue(TMUParameter::FMin, value); }
  long double GetTf() const { return Value(TMUParameter::Tf); }
  void SetTf(long double value) { SetValue(TMUParameter::Tf, value); }
  long double GetPow() const { return Value(TMUParameter::Pow); }
  void SetPow(long double value) { SetValue(TMUParameter::Pow, value); }
  long double GetFMax() const { return Value(TMUParameter::FMax); }
  void SetFMax(long double value) { SetValue(TMUParameter::FMax, value); }
  long double GetTc() const { return Value(TMUParameter::Tc); }
  void SetTc(long double value) { SetValue(TMUParameter::Tc, value); }
  long double GetTref() const { return Value(TMUParameter::Tref); }
  void SetTref(long double value) { SetValue(TMUParameter::Tref, value); }
  long double GetTr() const { return Value(TMUParameter::Tr); }
  void SetTr(long double value) { SetValue(TMUParameter::Tr, value); }
  long double GetT() const { return Value(TMUParameter::T); }
  void SetT(long double value) { SetValue(TMUParameter::T, value); }
  long double GetLT() const { return Value(TMUParameter::LT); }
  void SetLT(long double value) { SetValue(TMUParameter::LT, value); }

 private:
  static size_t Index(TMUParameter parameter) { return static_cast<size_t>(parameter); }

  std::array<QLineEdit*, MUParameterCount> edits_{};
  TMUParameterValues values_{};
};

// Gives a control its name (the name tests and peers find it by) and returns it.
template <class T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

// A page of parameter boxes: the picture (if any) on the left, the labelled boxes beside it.
// A label with a mnemonic ("T&c") moves the focus to its box.
struct TParameterRow {
  QString Label;
  QLineEdit* Edit;
};
QWidget* ParameterPage(QWidget* picture, std::initializer_list<TParameterRow> rows);

}  // namespace sarvanta
