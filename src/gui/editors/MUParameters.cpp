#include "editors/MUParameters.h"

#include "editors/CurvePicture.h"
#include "editors/FunctionGraphic.h"
#include "editors/ImpulseBoxes.h"
#include "editors/ListLines.h"
#include "model/MotorUnit.h"
#include "task/MomentLists.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>
#include <memory>

namespace sarvanta {

namespace {

const TMUParameterValues kInitial = [] {
  TMUParameterValues v{};
  At(v, TMUParameter::FMax) = 0.43L;
  At(v, TMUParameter::Tc) = 25;
  At(v, TMUParameter::Tr) = 75;
  At(v, TMUParameter::T) = 200;
  At(v, TMUParameter::FMin) = 0.25L;
  At(v, TMUParameter::Tref) = 25;
  At(v, TMUParameter::Tf) = 5;
  At(v, TMUParameter::Pow) = 3;
  At(v, TMUParameter::LT) = 0;
  return v;
}();

}  // namespace

TMUParameters::TMUParameters(QWidget* parent) : QDialog(parent), TParameterFields(kInitial) {
  setObjectName("MUParameters");
  setWindowTitle("Motor Unit Properties");
  CreateControls();
  resize(330, 470);
}

QWidget* TMUParameters::ParameterPages() {
  using P = TMUParameter;
  auto* group = new QGroupBox("Phisiology", this);
  group->setObjectName("gbPhisiology");
  pcParameters = Named(new QTabWidget(group), "pcParameters");
  pcParameters->addTab(
      ParameterPage(
          new TCurvePicture(TCurvePicture::TKind::Twitch),
          {{"F&max", Box(P::FMax)}, {"T&c", Box(P::Tc)}, {"T&r", Box(P::Tr)}, {"&T", Box(P::T)}}),
      "&Force");
  pcParameters->addTab(
      ParameterPage(new TCurvePicture(TCurvePicture::TKind::Fatigue), {{"minF", Box(P::FMin)},
                                                                       {"T&ref", Box(P::Tref)},
                                                                       {"&Tf", Box(P::Tf)},
                                                                       {"", Box(P::Pow)}}),
      "F&atigue");
  pcParameters->addTab(ParameterPage(nullptr, {{"Lead time", Box(P::LT)}}), "Additional");
  Box(P::Tref)->setToolTip("absolute refraction period");
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(pcParameters);
  return group;
}

QWidget* TMUParameters::ImpulseGroup() {
  auto* group = new QGroupBox("Impulses", this);
  group->setObjectName("gbImpulses");
  impulses_ = NewImpulseBoxes(group, "eCount", "Offset", false);
  pcImpulses = impulses_.pcImpulses;
  eStimul = impulses_.eStimul;
  sbDelete = impulses_.sbDelete;
  ePeriod = impulses_.ePeriod;
  eCount = impulses_.eCount;
  eOffset = impulses_.eOffset;

  lbStimols = Named(new QListWidget(group), "lbStimols");
  bbEnter = Named(new QPushButton("&Add", group), "bbEnter");
  bbGpaphic = Named(new QPushButton("Force", group), "bbGpaphic");
  bbGpaphic->setToolTip("Show the force of a motor unit with these parameters and moments");
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(bbEnter);
  buttons->addWidget(bbGpaphic);
  buttons->addStretch();
  auto* lower = new QHBoxLayout;
  lower->addWidget(lbStimols, 1);
  lower->addLayout(buttons);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(pcImpulses);
  layout->addLayout(lower, 1);
  return group;
}

void TMUParameters::CreateControls() {
  bbOK = Named(new QPushButton("OK", this), "bbOK");
  bbOK->setDefault(true);
  bbCancel = Named(new QPushButton("Cancel", this), "bbCancel");
  lStatus = Named(new QLabel(this), "lStatus");
  lStatus->setWordWrap(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(bbOK);
  buttons->addWidget(bbCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ParameterPages());
  layout->addWidget(ImpulseGroup(), 1);
  layout->addWidget(lStatus);
  layout->addLayout(buttons);

  ConnectExits(this, [this](TMUParameter parameter) { ParameterExit(parameter); });
  connect(bbEnter, &QPushButton::clicked, this, &TMUParameters::bbEnterClick);
  connect(sbDelete, &QToolButton::clicked, this, &TMUParameters::sbDeleteClick);
  connect(bbGpaphic, &QPushButton::clicked, this, &TMUParameters::bbGpaphicClick);
  connect(bbOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TMUParameters::Edit(TInspectedObject* object) {
  auto* unit = dynamic_cast<TMotorUnit*>(object);
  if (!unit) return false;
  SetValues(ReadParameters(*unit));
  lStatus->clear();
  if (exec() != QDialog::Accepted) return false;
  WriteParameters(*unit, Values());
  return true;
}

void TMUParameters::ParameterExit(TMUParameter parameter) {
  QString reason;
  if (ReadEdit(parameter, reason))
    lStatus->clear();
  else
    lStatus->setText(reason);
}

void TMUParameters::bbEnterClick() {
  if (impulses_.CustomPage()) {
    lbStimols->addItem(eStimul->text());
    return;
  }
  const TPeriodical periodical = impulses_.ReadPeriodical();
  if (periodical.CountBad) ShowMessage(PeriodCountMessage);
  ShowNumbers(lbStimols, PeriodicMoments(periodical));
}

void TMUParameters::sbDeleteClick() {
  if (QListWidgetItem* item = lbStimols->currentItem()) delete item;
}

void TMUParameters::bbGpaphicClick() {
  const TRealLines moments = ParseRealLines(ListLines(lbStimols));
  if (!moments.Ok()) {
    ShowMessage(ToQString(StimulMessage(moments.FirstBad)));
    return;
  }
  const std::unique_ptr<TMotorUnit> unit(NewMotorUnit(nullptr, "MU", Values()));
  unit->SetImpArray(moments.Values);
  const long double end = PreviewChartEnd(*unit);
  if (!functionGraphic_) return;
  functionGraphic_->ShowFunction("Force", "t", "ms", "F", "N", 0, end, ForceChartStep(end),
                                 [&unit](long double t) { return unit->Force(t); });
}

void TMUParameters::ShowMessage(const QString& text) {
  if (OnMessage)
    OnMessage(text);
  else
    QMessageBox::information(this, windowTitle(), text);
}

}  // namespace sarvanta
