#include "editors/MuscleProperties.h"

#include "base/Random.h"
#include "editors/CurvePicture.h"
#include "editors/FunctionGraphic.h"
#include "editors/ListLines.h"
#include "model/Bone.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"
#include "task/MomentLists.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <numbers>

namespace sarvanta {

namespace {

const TMUParameterValues kInitial = [] {
  TMUParameterValues v{};
  At(v, TMUParameter::FMax) = 3.288L;
  At(v, TMUParameter::Tc) = 30;
  At(v, TMUParameter::Tr) = 60;
  At(v, TMUParameter::T) = 120;
  At(v, TMUParameter::FMin) = 0;
  At(v, TMUParameter::Tref) = 30;
  At(v, TMUParameter::Tf) = 480;
  At(v, TMUParameter::Pow) = 3;
  At(v, TMUParameter::LT) = 20;
  return v;
}();

// The most units one "Add group" creates; a larger count adds nothing, like a count that is
// not a number.
constexpr int MaxGroupSize = 10000;

TMotorUnit* UnitOf(const QListWidgetItem* item) {
  return item ? reinterpret_cast<TMotorUnit*>(item->data(Qt::UserRole).value<quintptr>()) : nullptr;
}

// Labelled rows of a grid: (label, field).
void AddRows(QGridLayout* grid, QWidget* parent,
             std::initializer_list<std::pair<const char*, QWidget*>> rows) {
  int row = grid->rowCount();
  for (const auto& [text, field] : rows) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row++, 1);
  }
}

}  // namespace

TMuscleProperties::TMuscleProperties(QWidget* parent)
    : QDialog(parent), TParameterFields(kInitial) {
  setObjectName("MuscleProperties");
  setWindowTitle("Muscle Properties");
  CreateControls();
  resize(760, 560);
}

TMuscleProperties::~TMuscleProperties() = default;

QWidget* TMuscleProperties::MotorUnitGroup() {
  auto* group = Named(new QGroupBox("Motor units", this), "gbMotorUnits");
  lbMotorUnits = Named(new QListWidget(group), "lbMotorUnits");
  lbMotorUnits->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lbMotorUnits->viewport()->installEventFilter(this);
  eName = Named(new QLineEdit("MotorUnit", group), "eName");
  bbNew = Named(new QPushButton("&New", group), "bbNew");
  bbDelete = Named(new QPushButton("&Delete", group), "bbDelete");
  bbAddGroup = Named(new QPushButton("&Add group", group), "bbAddGroup");
  eCount = Named(new QLineEdit("10", group), "eCount");
  eCount->setMaximumWidth(50);
  eCount->setAlignment(Qt::AlignRight);
  eCount->setToolTip("Number of motor units to add");
  auto* grid = new QGridLayout(group);
  grid->addWidget(lbMotorUnits, 0, 0, 1, 2);
  AddRows(grid, group, {{"Name", eName}});
  grid->addWidget(bbNew, 2, 0);
  grid->addWidget(bbDelete, 2, 1);
  grid->addWidget(bbAddGroup, 3, 0);
  grid->addWidget(eCount, 3, 1);
  grid->setRowStretch(0, 1);
  return group;
}

QWidget* TMuscleProperties::ImpulsesPage() {
  auto* page = new QWidget;
  impulses_ = NewImpulseBoxes(page, "eImpCount", "&Offset", true);
  pcImpulses = impulses_.pcImpulses;
  eStimul = impulses_.eStimul;
  sbDelete = impulses_.sbDelete;
  ePeriod = impulses_.ePeriod;
  eImpCount = impulses_.eCount;
  eOffset = impulses_.eOffset;
  eVariation = impulses_.eVariation;

  lbStimuls = Named(new QListWidget(page), "lbStimuls");
  bbEnter = Named(new QPushButton("&Add", page), "bbEnter");
  bbGpaphic = Named(new QPushButton("Force", page), "bbGpaphic");
  bbGpaphic->setToolTip("Show the force of the focused motor unit");
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(bbEnter);
  buttons->addWidget(bbGpaphic);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(pcImpulses, 3);
  layout->addWidget(lbStimuls, 2);
  layout->addLayout(buttons);
  return page;
}

QWidget* TMuscleProperties::UnitPropertiesGroup() {
  using P = TMUParameter;
  auto* group = Named(new QGroupBox("Motor Unit Properties", this), "gbMotorUnitProperties");
  pcMotorUnits = Named(new QTabWidget(group), "pcMotorUnits");
  pcMotorUnits->addTab(
      ParameterPage(new TCurvePicture(TCurvePicture::TKind::Twitch), {{"F&max", Box(P::FMax)},
                                                                      {"T&c", Box(P::Tc)},
                                                                      {"Th&r", Box(P::Tr)},
                                                                      {"&Ttw", Box(P::T)}}),
      "Twitch");
  pcMotorUnits->addTab(ImpulsesPage(), "Impulses");
  pcMotorUnits->addTab(
      ParameterPage(new TCurvePicture(TCurvePicture::TKind::Fatigue), {{"minF", Box(P::FMin)},
                                                                       {"T&ref", Box(P::Tref)},
                                                                       {"&Tf", Box(P::Tf)},
                                                                       {"", Box(P::Pow)}}),
      "&Fatigue");
  Box(P::Tref)->setToolTip("absolute refraction period");

  auto* additional = new QWidget;
  auto* twitch = new QGroupBox("Twitch", additional);
  auto* twitchGrid = new QGridLayout(twitch);
  AddRows(twitchGrid, twitch, {{"Lead time", Box(P::LT)}});
  auto* type = new QGroupBox("Type", additional);
  eTypeNumber = Named(new QLineEdit(type), "eTypeNumber");
  auto* typeGrid = new QGridLayout(type);
  AddRows(typeGrid, type, {{"Number", eTypeNumber}});
  auto* additionalLayout = new QHBoxLayout(additional);
  additionalLayout->addWidget(twitch, 0, Qt::AlignTop);
  additionalLayout->addWidget(type, 0, Qt::AlignTop);
  additionalLayout->addStretch();
  pcMotorUnits->addTab(additional, "Additional");

  auto* layout = new QVBoxLayout(group);
  layout->addWidget(pcMotorUnits);
  return group;
}

QWidget* TMuscleProperties::DescriptionGroup() {
  auto* group = Named(new QGroupBox("Muscle description", this), "gbMuscleDescription");
  eMuscleName = Named(new QLineEdit(group), "eMuscleName");
  cbFromBone = Named(new QComboBox(group), "cbFromBone");
  cbToBone = Named(new QComboBox(group), "cbToBone");
  cbPlane = Named(new QComboBox(group), "cbPlane");
  cbPlane->addItems({"Lateral", "Frontal", "Sigital"});
  eBoneHolding = Named(new QLineEdit(group), "eBoneHolding");
  ePCSA = Named(new QLineEdit(group), "ePCSA");
  auto* grid = new QGridLayout(group);
  AddRows(grid, group,
          {{"&Name", eMuscleName},
           {"From Bone", cbFromBone},
           {"To Bone", cbToBone},
           {"In plane", cbPlane},
           {"Attachment p-s", eBoneHolding},
           {"PCSA", ePCSA}});
  grid->setRowStretch(grid->rowCount(), 1);
  return group;
}

QWidget* TMuscleProperties::CoefficientButtons(QWidget* parent, bool named) {
  auto* box = new QWidget(parent);
  auto* polynomial = new QToolButton(box);
  polynomial->setText("Polynomial");
  polynomial->setToolTip("Show the polynomial of the listed coefficients");
  auto* add = new QPushButton("Add", box);
  auto* replace = new QPushButton("Repalce", box);
  auto* remove = new QPushButton("Delete current", box);
  if (named) {
    sbPolynomial = Named(polynomial, "sbPolynomial");
    bAddCoefficient = Named(add, "bAddCoefficient");
    bReplaceCoefficient = Named(replace, "bReplaceCoefficient");
    bDeleteCoefficient = Named(remove, "bDeleteCoefficient");
  }
  connect(polynomial, &QToolButton::clicked, this, &TMuscleProperties::sbPolynomialClick);
  connect(add, &QPushButton::clicked, this, &TMuscleProperties::bAddCoefficientClick);
  connect(replace, &QPushButton::clicked, this, &TMuscleProperties::bReplaceCoefficientClick);
  connect(remove, &QPushButton::clicked, this, &TMuscleProperties::bDeleteCoefficientClick);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* button : {static_cast<QWidget*>(polynomial), static_cast<QWidget*>(add),
                          static_cast<QWidget*>(replace), static_cast<QWidget*>(remove)}) {
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(button);
  }
  layout->addStretch();
  return box;
}

QWidget* TMuscleProperties::MusclePropertiesGroup() {
  auto* group = Named(new QGroupBox("Muscle Properties", this), "gbMuscleProperties");
  pcPhysiology = Named(new QTabBar(group), "pcPhysiology");
  pcPhysiology->addTab("Force Arm");
  pcPhysiology->addTab("Force Angle");
  pcPhysiology->addTab("Length");
  lbCoefficients = Named(new QListWidget(group), "lbCoefficients");
  ePolyCoef = Named(new QLineEdit(group), "ePolyCoef");
  auto* editor = new QGridLayout;
  editor->addWidget(lbCoefficients, 0, 0);
  editor->addWidget(CoefficientButtons(group, true), 0, 1);
  editor->addWidget(ePolyCoef, 1, 0);
  auto* left = new QVBoxLayout;
  left->addWidget(pcPhysiology);
  left->addLayout(editor, 1);

  // The second page control: "Force-Length" repeats the coefficient commands, which act on the
  // main list; "Force-Velocity" has no function yet.
  pcCurves = Named(new QTabWidget(group), "pcCurves");
  auto* forceLength = new QWidget;
  auto* forceLengthLayout = new QHBoxLayout(forceLength);
  forceLengthLayout->addWidget(CoefficientButtons(forceLength, false));
  forceLengthLayout->addStretch();
  pcCurves->addTab(forceLength, "Force-Length");
  pcCurves->addTab(new QWidget, "Force-Velocity");

  auto* layout = new QHBoxLayout(group);
  layout->addLayout(left, 3);
  layout->addWidget(pcCurves, 2);
  return group;
}

void TMuscleProperties::CreateControls() {
  bbMuscleForce = Named(new QPushButton("Muscle force", this), "bbMuscleForce");
  bbOK = Named(new QPushButton("OK", this), "bbOK");
  bbOK->setDefault(true);
  bbCancel = Named(new QPushButton("Cancel", this), "bbCancel");
  lStatus = Named(new QLabel(this), "lStatus");
  lStatus->setWordWrap(true);

  auto* top = new QHBoxLayout;
  top->addWidget(MotorUnitGroup(), 2);
  top->addWidget(UnitPropertiesGroup(), 4);
  top->addWidget(DescriptionGroup(), 3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(bbMuscleForce);
  buttons->addWidget(lStatus, 1);
  buttons->addWidget(bbOK);
  buttons->addWidget(bbCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 3);
  layout->addWidget(MusclePropertiesGroup(), 2);
  layout->addLayout(buttons);

  ConnectExits(this, [this](TMUParameter parameter) { ParameterExit(parameter); });
  connect(lbMotorUnits, &QListWidget::itemSelectionChanged, this,
          &TMuscleProperties::lbMotorUnitsClick);
  connect(bbNew, &QPushButton::clicked, this, &TMuscleProperties::bbNewClick);
  connect(bbAddGroup, &QPushButton::clicked, this, &TMuscleProperties::bbAddGroupClick);
  connect(bbDelete, &QPushButton::clicked, this, &TMuscleProperties::bbDeleteClick);
  connect(bbEnter, &QPushButton::clicked, this, &TMuscleProperties::bbEnterClick);
  connect(sbDelete, &QToolButton::clicked, this, &TMuscleProperties::sbDeleteClick);
  connect(bbGpaphic, &QPushButton::clicked, this, &TMuscleProperties::bbGpaphicClick);
  connect(bbMuscleForce, &QPushButton::clicked, this, &TMuscleProperties::bbMuscleForceClick);
  connect(pcPhysiology, &QTabBar::currentChanged, this, &TMuscleProperties::pcPhysiologyChange);
  connect(bbOK, &QPushButton::clicked, this, &TMuscleProperties::bbOKClick);
  connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TMuscleProperties::eventFilter(QObject* watched, QEvent* event) {
  // Releasing the right mouse button over the unit list deselects every unit.
  if (watched == lbMotorUnits->viewport() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    lbMotorUnits->selectionModel()->clear();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool TMuscleProperties::Edit(TInspectedObject* object) {
  auto* muscle = dynamic_cast<TMuscle*>(object);
  if (!muscle) return false;
  muscle_ = muscle;
  session_ = std::make_unique<TMuscleEditSession>(*muscle);
  Load();
  const bool accepted = exec() == QDialog::Accepted;
  if (!accepted) session_->Cancel();
  session_.reset();
  lbMotorUnits->clear();
  muscle_ = nullptr;
  return accepted;
}

void TMuscleProperties::Load() {
  if (!muscle_) return;
  cbFromBone->clear();
  cbToBone->clear();
  if (const auto* system = dynamic_cast<const TMechanicalSystem*>(muscle_->Owner())) {
    for (const TStringList::Entry& bone : system->Bones) {
      cbFromBone->addItem(ToQString(bone.Text));
      cbToBone->addItem(ToQString(bone.Text));
    }
    cbFromBone->setCurrentIndex(system->Bones.IndexOfObject(muscle_->FromBone));
    cbToBone->setCurrentIndex(system->Bones.IndexOfObject(muscle_->ToBone));
  }
  eMuscleName->setText(ToQString(muscle_->Descr));
  cbPlane->setCurrentIndex(muscle_->Plane < cbPlane->count() ? muscle_->Plane : -1);
  eBoneHolding->setText(ToQString(FloatToStr(muscle_->BoneHolding)));
  {
    const QSignalBlocker blocker(lbMotorUnits);
    lbMotorUnits->clear();
    for (int i = 0; i < muscle_->MotorUnits.Count(); ++i) AddUnitLine(muscle_->MotorUnit(i));
  }
  lbStimuls->clear();
  lStatus->clear();
  {
    const QSignalBlocker blocker(pcPhysiology);
    pcPhysiology->setCurrentIndex(0);
  }
  ePolyCoef->clear();
  ShowCoefficients(0);
}

void TMuscleProperties::AddUnitLine(TMotorUnit* unit) {
  auto* item = new QListWidgetItem(ToQString(unit->Descr), lbMotorUnits);
  item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(unit)));
}

std::vector<TMotorUnit*> TMuscleProperties::SelectedUnits() const {
  std::vector<TMotorUnit*> units;
  for (int i = 0; i < lbMotorUnits->count(); ++i)
    if (lbMotorUnits->item(i)->isSelected()) units.push_back(UnitOf(lbMotorUnits->item(i)));
  return units;
}

TMotorUnit* TMuscleProperties::FocusedUnit() const { return UnitOf(lbMotorUnits->currentItem()); }

std::vector<std::pair<std::string, TMotorUnit*>> TMuscleProperties::UnitLines() const {
  std::vector<std::pair<std::string, TMotorUnit*>> lines;
  for (int i = 0; i < lbMotorUnits->count(); ++i)
    lines.emplace_back(ToStdString(lbMotorUnits->item(i)->text()), UnitOf(lbMotorUnits->item(i)));
  return lines;
}

void TMuscleProperties::lbMotorUnitsClick() {
  const std::vector<TMotorUnit*> units = SelectedUnits();
  if (units.empty()) return;
  for (int i = 0; i < MUParameterCount; ++i) {
    const auto parameter = static_cast<TMUParameter>(i);
    if (const auto common = CommonParameter(units, parameter))
      SetValue(parameter, *common);
    else
      ClearEdit(parameter);
  }
  if (SameImpulses(units))
    ShowNumbers(lbStimuls, units.front()->ImpArray());
  else
    lbStimuls->clear();
}

void TMuscleProperties::ParameterExit(TMUParameter parameter) {
  QString reason;
  if (!ReadEdit(parameter, reason)) {
    lStatus->setText(reason);
    return;
  }
  lStatus->clear();
  for (TMotorUnit* unit : SelectedUnits()) SetParameterOf(*unit, parameter, Value(parameter));
}

void TMuscleProperties::bbNewClick() {
  if (!session_) return;
  AddUnitLine(session_->NewUnit(ToStdString(eName->text()), Values()));
  lbMotorUnits->setCurrentItem(lbMotorUnits->item(lbMotorUnits->count() - 1),
                               QItemSelectionModel::ClearAndSelect);
}

void TMuscleProperties::bbAddGroupClick() {
  if (!session_) return;
  int32_t count = 0;
  if (!TryStrToInt(ToStdString(eCount->text()), count) || count > MaxGroupSize) count = 0;
  const std::string name = ToStdString(eName->text());
  for (int i = 0; i < count; ++i) AddUnitLine(session_->NewUnit(name + IntToStr(i), Values()));
  if (count > 0)
    lbMotorUnits->setCurrentItem(lbMotorUnits->item(lbMotorUnits->count() - 1),
                                 QItemSelectionModel::Select);
}

void TMuscleProperties::bbDeleteClick() {
  if (!session_) return;
  for (int i = lbMotorUnits->count() - 1; i >= 0; --i) {
    QListWidgetItem* item = lbMotorUnits->item(i);
    if (!item->isSelected()) continue;
    TMotorUnit* unit = UnitOf(item);
    delete item;
    session_->Remove(unit);
  }
}

void TMuscleProperties::bbEnterClick() {
  if (impulses_.CustomPage()) {
    lbStimuls->addItem(eStimul->text());
  } else {
    const TPeriodical periodical = impulses_.ReadPeriodical();
    if (periodical.CountBad) ShowMessage(PeriodCountMessage);
    ShowNumbers(lbStimuls, VariedPeriodicMoments(periodical, TRandom::Shared()));
  }
  ApplyMoments();
}

void TMuscleProperties::sbDeleteClick() {
  QListWidgetItem* item = lbStimuls->currentItem();
  if (!item) return;
  delete item;
  ApplyMoments();
}

void TMuscleProperties::ApplyMoments() {
  TMotorUnit* unit = FocusedUnit();
  if (!unit) return;
  const TRealLines moments = ParseRealLines(ListLines(lbStimuls));
  if (!moments.Ok()) ShowMessage(ToQString(StimulMessage(moments.FirstBad)));
  unit->SetImpArray(moments.Values);
}

void TMuscleProperties::bbGpaphicClick() {
  TMotorUnit* unit = FocusedUnit();
  if (!unit) return;
  ApplyMoments();
  const long double end = UnitChartEnd(*unit);
  if (!functionGraphic_) return;
  functionGraphic_->ShowFunction("Force", "t", "ms", "F", "N", 0, end, ForceChartStep(end),
                                 [unit](long double t) { return unit->Force(t); });
}

void TMuscleProperties::bbMuscleForceClick() {
  if (!muscle_ || !session_) return;
  session_->Commit(UnitLines());
  const long double end = MuscleChartEnd(*muscle_);
  if (!functionGraphic_) return;
  TMuscle* muscle = muscle_;
  functionGraphic_->ShowFunction("Force", "t", "ms", "F", "N", 0, end, ForceChartStep(end),
                                 [muscle](long double t) { return muscle->Force(t); });
}

void TMuscleProperties::bAddCoefficientClick() {
  lbCoefficients->addItem(ePolyCoef->text());
  ePolyCoef->setFocus();
  ePolyCoef->selectAll();
}

void TMuscleProperties::bReplaceCoefficientClick() {
  if (QListWidgetItem* item = lbCoefficients->currentItem()) item->setText(ePolyCoef->text());
}

void TMuscleProperties::bDeleteCoefficientClick() { delete lbCoefficients->currentItem(); }

TPolynomial* TMuscleProperties::PagePolynomial(int page) const {
  if (!muscle_) return nullptr;
  switch (page) {
    case 0:
      return muscle_->ForceArmPoly;
    case 1:
      return muscle_->ForceAnglePoly;
    case 2:
      return muscle_->LengthPoly;
    case 3:
      return muscle_->PCSAPoly;
    default:
      return nullptr;
  }
}

bool TMuscleProperties::StoreCoefficients(int page) {
  const TRealLines coefficients = ParseRealLines(ListLines(lbCoefficients));
  if (!coefficients.Ok()) {
    ShowMessage(ToQString(CoefficientMessage(coefficients.FirstBad)));
    return false;
  }
  if (TPolynomial* polynomial = PagePolynomial(page))
    polynomial->Coefficients = coefficients.Values;
  ePolyCoef->clear();
  return true;
}

void TMuscleProperties::ShowCoefficients(int page) {
  physiologyPage_ = page;
  lbCoefficients->clear();
  if (const TPolynomial* polynomial = PagePolynomial(page))
    ShowNumbers(lbCoefficients, polynomial->Coefficients);
}

void TMuscleProperties::pcPhysiologyChange(int page) {
  if (page == physiologyPage_) return;
  if (!StoreCoefficients(physiologyPage_)) {
    // The list that does not convert stays, with its page, for the user to mend.
    const QSignalBlocker blocker(pcPhysiology);
    pcPhysiology->setCurrentIndex(physiologyPage_);
    return;
  }
  ShowCoefficients(page);
}

void TMuscleProperties::sbPolynomialClick() {
  const TRealLines coefficients = ParseRealLines(ListLines(lbCoefficients));
  if (!coefficients.Ok()) {
    ShowMessage(ToQString(StimulMessage(coefficients.FirstBad)));
    return;
  }
  const TPolynomial polynomial(nullptr, coefficients.Values);
  if (!functionGraphic_) return;
  functionGraphic_->ShowFunction("Force arm", "Phi", "?", "r", "cm", 0,
                                 2 * std::numbers::pi_v<long double>, 0.01L,
                                 [&polynomial](long double x) { return polynomial.Evaluate(x); });
}

void TMuscleProperties::bbOKClick() {
  if (!muscle_ || !session_) return;
  // A coefficient list that does not convert keeps the dialog open, so nothing typed is lost.
  if (!StoreCoefficients(physiologyPage_)) return;
  muscle_->Descr = ToStdString(eMuscleName->text());
  if (cbPlane->currentIndex() >= 0) muscle_->Plane = static_cast<uint8_t>(cbPlane->currentIndex());
  if (auto* system = dynamic_cast<TMechanicalSystem*>(muscle_->Owner())) {
    if (cbFromBone->currentIndex() >= 0)
      muscle_->FromBone = system->Bone(cbFromBone->currentIndex());
    if (cbToBone->currentIndex() >= 0) muscle_->ToBone = system->Bone(cbToBone->currentIndex());
    muscle_->UpdateIndexReferences(system->Bones);
  }
  session_->Finish(UnitLines());
  long double holding = 0;
  muscle_->BoneHolding = TryStrToFloat(ToStdString(eBoneHolding->text()), holding) ? holding : 1.0L;
  accept();
}

void TMuscleProperties::ShowMessage(const QString& text) {
  if (OnMessage)
    OnMessage(text);
  else
    QMessageBox::information(this, windowTitle(), text);
}

}  // namespace sarvanta
