// The motor-unit parameters dialog ("Motor Unit Properties"): edits the twitch and fatigue
// parameters of one motor unit, the editor of a unit's "Impulses" row. Its list of stimulation
// moments serves only to preview the force of a unit with these parameters; it is neither
// loaded from nor stored into the unit.
//
// One instance lives for the whole program; the nine current values and the moment list
// persist between openings. The dialog owns its controls; the motor unit it edits belongs to
// its muscle, and the function window it previews in belongs to the program. User-interface
// thread only.
#pragma once

#include "editors/ImpulseBoxes.h"
#include "editors/ParameterFields.h"

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <functional>

namespace sarvanta {

class TFunctionGraphic;
class TInspectedObject;

class TMUParameters : public QDialog, public TParameterFields {
  Q_OBJECT

 public:
  explicit TMUParameters(QWidget* parent = nullptr);

  // The window the force preview is shown in (not owned).
  void SetFunctionGraphic(TFunctionGraphic* graphic) { functionGraphic_ = graphic; }

  // The edit operation of a motor unit's "Impulses" row: loads the unit's nine values, shows the
  // dialog modally and on OK writes them back (Fmin, Tf, Pow, Fmax, Tc, Tref, Tr, Tl, LeadT).
  // Cancel writes nothing. Returns whether OK was chosen; nothing happens for another object.
  bool Edit(TInspectedObject* object);

  // Leaving a parameter box.
  void ParameterExit(TMUParameter parameter);
  // "&Add": periodical moments (without variation) replace the list, a custom one is appended.
  void bbEnterClick();
  // Removes the focused moment.
  void sbDeleteClick();
  // The force of a unit "MU" with the nine values and the listed moments.
  void bbGpaphicClick();

  // Shows a message; a message box unless replaced (tests collect the texts).
  std::function<void(const QString&)> OnMessage;

  QTabWidget* pcParameters;
  QTabWidget* pcImpulses;
  QLineEdit* eStimul;
  QToolButton* sbDelete;
  QLineEdit* ePeriod;
  QLineEdit* eCount;
  QLineEdit* eOffset;
  QListWidget* lbStimols;
  QPushButton* bbEnter;
  QPushButton* bbGpaphic;
  QPushButton* bbOK;
  QPushButton* bbCancel;
  // Why a parameter box was put back (the last such reason).
  QLabel* lStatus;

 private:
  void CreateControls();
  QWidget* ParameterPages();
  QWidget* ImpulseGroup();
  void ShowMessage(const QString& text);

  TFunctionGraphic* functionGraphic_ = nullptr;
  TImpulseBoxes impulses_;
};

}  // namespace sarvanta
