#include "editors/ImpulseBoxes.h"

#include "app/Latin1.h"
#include "editors/ParameterFields.h"

#include <QGridLayout>
#include <QLabel>

namespace sarvanta {

namespace {

void AddRow(QGridLayout* grid, QWidget* parent, const char* text, QWidget* field) {
  const int row = grid->rowCount();
  auto* label = new QLabel(text, parent);
  label->setBuddy(field);
  grid->addWidget(label, row, 0);
  grid->addWidget(field, row, 1);
}

}  // namespace

TPeriodical TImpulseBoxes::ReadPeriodical() const {
  const TPeriodical periodical = sarvanta::ReadPeriodical(
      {ToStdString(ePeriod->text()), ToStdString(eCount->text()), ToStdString(eOffset->text()),
       eVariation ? ToStdString(eVariation->text()) : std::string()});
  if (periodical.PeriodReset) ePeriod->setText("0");
  if (periodical.OffsetReset) eOffset->setText("0");
  return periodical;
}

TImpulseBoxes NewImpulseBoxes(QWidget* parent, const char* countName, const char* offsetLabel,
                              bool withVariation) {
  TImpulseBoxes boxes;
  boxes.pcImpulses = Named(new QTabWidget(parent), "pcImpulses");

  auto* custom = new QWidget;
  boxes.eStimul = Named(new QLineEdit(custom), "eStimul");
  boxes.sbDelete = Named(new QToolButton(custom), "sbDelete");
  boxes.sbDelete->setText("Delete");
  boxes.sbDelete->setToolTip("Delete the selected moment");
  auto* customGrid = new QGridLayout(custom);
  AddRow(customGrid, custom, "&Moment", boxes.eStimul);
  customGrid->addWidget(boxes.sbDelete, customGrid->rowCount(), 1, Qt::AlignLeft);
  customGrid->setRowStretch(customGrid->rowCount(), 1);
  boxes.pcImpulses->addTab(custom, "C&ustom");

  auto* periodical = new QWidget;
  boxes.ePeriod = Named(new QLineEdit(periodical), "ePeriod");
  boxes.eCount = Named(new QLineEdit(periodical), countName);
  boxes.eOffset = Named(new QLineEdit(periodical), "eOffset");
  auto* grid = new QGridLayout(periodical);
  AddRow(grid, periodical, "P&eriod", boxes.ePeriod);
  AddRow(grid, periodical, "C&ount", boxes.eCount);
  AddRow(grid, periodical, offsetLabel, boxes.eOffset);
  if (withVariation) {
    boxes.eVariation = Named(new QLineEdit(periodical), "eVariation");
    AddRow(grid, periodical, "&Variation", boxes.eVariation);
  }
  grid->setRowStretch(grid->rowCount(), 1);
  boxes.pcImpulses->addTab(periodical, "&Periodical");
  return boxes;
}

}  // namespace sarvanta
