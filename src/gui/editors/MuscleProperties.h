// The muscle-properties dialog ("Muscle Properties"): a muscle's name, plane and attachment,
// its motor units with their twitch and fatigue parameters and impulse trains, and the
// coefficients of its polynomials, with charts of a unit's or the muscle's force and of a
// polynomial in the function window.
//
// Parameter and impulse edits act at once on the selected units; the muscle's own fields and
// its motor-unit list are written by OK. Units created while the dialog is open are owned by the
// muscle but reach its list only through OK (or the muscle chart); Cancel frees them and puts
// the list back as it was (TMuscleEditSession).
//
// One instance lives for the whole program; the nine current values persist between openings.
// The dialog owns its controls and the session of the opening in progress; the muscle belongs
// to its system, the function window to the program. User-interface thread only.
#pragma once

#include "editors/ImpulseBoxes.h"
#include "editors/ParameterFields.h"
#include "task/MuscleEditSession.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <functional>
#include <memory>
#include <vector>

namespace sarvanta {

class TFunctionGraphic;
class TInspectedObject;
class TMotorUnit;
class TMuscle;
class TPolynomial;

class TMuscleProperties : public QDialog, public TParameterFields {
  Q_OBJECT

 public:
  explicit TMuscleProperties(QWidget* parent = nullptr);
  ~TMuscleProperties() override;

  // The window the charts are shown in (not owned).
  void SetFunctionGraphic(TFunctionGraphic* graphic) { functionGraphic_ = graphic; }

  // Loads the muscle, shows the dialog modally and answers whether it was closed with OK. Also
  // the edit operation of every row of a muscle's description; nothing happens for another
  // object.
  bool Edit(TInspectedObject* object);
  // The muscle of the opening in progress, or none.
  TMuscle* Muscle() const { return muscle_; }

  // Fills the controls from the muscle (done by Edit before showing).
  void Load();
  // Shows the values of the selected units; a parameter they do not share leaves its box empty.
  void lbMotorUnitsClick();
  void ParameterExit(TMUParameter parameter);
  void bbNewClick();
  void bbAddGroupClick();
  void bbDeleteClick();
  void bbEnterClick();
  void sbDeleteClick();
  void bbGpaphicClick();
  void bbMuscleForceClick();
  void bAddCoefficientClick();
  void bReplaceCoefficientClick();
  void bDeleteCoefficientClick();
  void sbPolynomialClick();
  // The page of pcPhysiology changes: the list goes into the polynomial of the page left; when
  // it does not convert, the page stays.
  void pcPhysiologyChange(int page);
  void bbOKClick();

  // The units of the selected lines, in list order, and of the focused line.
  std::vector<TMotorUnit*> SelectedUnits() const;
  TMotorUnit* FocusedUnit() const;

  // Shows a message; a message box unless replaced (tests collect the texts).
  std::function<void(const QString&)> OnMessage;

  // "Motor units".
  QListWidget* lbMotorUnits;
  QLineEdit* eName;
  QPushButton* bbNew;
  QPushButton* bbDelete;
  QPushButton* bbAddGroup;
  QLineEdit* eCount;
  // "Motor Unit Properties".
  QTabWidget* pcMotorUnits;
  QLineEdit* eTypeNumber;
  QTabWidget* pcImpulses;
  QLineEdit* eStimul;
  QToolButton* sbDelete;
  QLineEdit* ePeriod;
  QLineEdit* eImpCount;
  QLineEdit* eOffset;
  QLineEdit* eVariation;
  QListWidget* lbStimuls;
  QPushButton* bbEnter;
  QPushButton* bbGpaphic;
  // "Muscle description".
  QLineEdit* eMuscleName;
  QComboBox* cbFromBone;
  QComboBox* cbToBone;
  QComboBox* cbPlane;
  QLineEdit* eBoneHolding;
  QLineEdit* ePCSA;
  // "Muscle Properties".
  QTabBar* pcPhysiology;
  QToolButton* sbPolynomial;
  QListWidget* lbCoefficients;
  QLineEdit* ePolyCoef;
  QPushButton* bAddCoefficient;
  QPushButton* bReplaceCoefficient;
  QPushButton* bDeleteCoefficient;
  QTabWidget* pcCurves;
  QPushButton* bbMuscleForce;
  QPushButton* bbOK;
  QPushButton* bbCancel;
  // Why a box was put back (the last such reason).
  QLabel* lStatus;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  QWidget* MotorUnitGroup();
  QWidget* UnitPropertiesGroup();
  QWidget* ImpulsesPage();
  QWidget* DescriptionGroup();
  QWidget* MusclePropertiesGroup();
  QWidget* CoefficientButtons(QWidget* parent, bool named);
  void AddUnitLine(TMotorUnit* unit);
  // The moment list goes to the focused unit (after "&Add", after deleting a moment and before
  // the unit's chart).
  void ApplyMoments();
  // The polynomial of a pcPhysiology page (0 force arm, 1 force angle, 2 length, 3 PCSA).
  TPolynomial* PagePolynomial(int page) const;
  // Converts lbCoefficients into the polynomial of `page`; false (with the message) when a line
  // is not a number, and then nothing is stored.
  bool StoreCoefficients(int page);
  void ShowCoefficients(int page);
  std::vector<std::pair<std::string, TMotorUnit*>> UnitLines() const;
  void ShowMessage(const QString& text);

  TFunctionGraphic* functionGraphic_ = nullptr;
  TImpulseBoxes impulses_;
  TMuscle* muscle_ = nullptr;
  std::unique_ptr<TMuscleEditSession> session_;
  // The page whose polynomial lbCoefficients shows.
  int physiologyPage_ = 0;
};

}  // namespace sarvanta
