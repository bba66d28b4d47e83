// The impulse boxes of the two motor-unit dialogs: a page control with "C&ustom" (a moment box
// and its delete button) and "&Periodical" (period, count, offset and, in the muscle dialog,
// the variation). The page control owns the boxes; the dialog owns the page control.
#pragma once

#include "task/MomentLists.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

namespace sarvanta {

struct TImpulseBoxes {
  QTabWidget* pcImpulses = nullptr;
  QLineEdit* eStimul = nullptr;
  QToolButton* sbDelete = nullptr;
  QLineEdit* ePeriod = nullptr;
  QLineEdit* eCount = nullptr;
  QLineEdit* eOffset = nullptr;
  QLineEdit* eVariation = nullptr;  // none in the parameters dialog

  bool CustomPage() const { return pcImpulses->currentIndex() == 0; }
  // The periodical boxes' values; a period or offset that is not a number shows "0" afterwards.
  TPeriodical ReadPeriodical() const;
};

// The count box is named `countName` ("eImpCount", "eCount") and the offset labelled
// `offsetLabel`.
TImpulseBoxes NewImpulseBoxes(QWidget* parent, const char* countName, const char* offsetLabel,
                              bool withVariation);

}  // namespace sarvanta
