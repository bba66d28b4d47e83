// Keeps the check boxes and edit boxes of a window in the program's settings:
//   "Version" and "Description" at the top, and for every control the group
//   "Options/<control name>" with "Index" (its place in the window), "Type" (1 check box,
//   2 edit box) and "Value" (0/1 or the text).
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

class QSettings;

namespace sarvanta {

class TFormData {
 public:
  // `components` are the window's controls in their fixed order; that order gives "Index".
  TFormData(QWidget* form, std::vector<QWidget*> components);

  // Writes every check box and edit box.
  void SaveFormData() const;
  // Restores the controls that have a matching entry. An entry whose "Index" does not point at
  // a control of its name, or whose "Type" does not fit the control, is ignored.
  void LoadFormData() const;

  QWidget* Form;
  static const char* const Organisation;

 private:
  void LoadEntry(QSettings& settings, const QString& name) const;

  std::vector<QWidget*> components_;
};

}  // namespace sarvanta
