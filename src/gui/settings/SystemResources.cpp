#include "settings/SystemResources.h"

#include "settings/HeapStatus.h"
#include "app/WindowPlacement.h"

#include <QFontDatabase>
#include <QGridLayout>

namespace sarvanta {

namespace {

QString ByteText(size_t value) { return QString::number(value) + QLatin1Char(' '); }

}  // namespace

TSystemResources::TSystemResources(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName("SystemResources");
  setWindowTitle("System Resources");
  auto* layout = new QGridLayout(this);
  layout->setHorizontalSpacing(12);
  layout->setVerticalSpacing(4);
  stAllocMemSize = AddRow(layout, "Allocated mem. size", "stAllocMemSize");
  stAllocMemCount = AddRow(layout, "Allocated blocks", "stAllocMemCount");
  stTotalAddrSpace = AddRow(layout, "Total address space", "stTotalAddrSpace");
  stTotalUncommitted = AddRow(layout, "Total uncommited", "stTotalUncommitted");
  stTotalCommitted = AddRow(layout, "Total commited", "stTotalCommitted");
  stTotalAllocated = AddRow(layout, "Total allocated", "stTotalAllocated");
  stTotalFree = AddRow(layout, "Total free", "stTotalFree");
  stFreeSmall = AddRow(layout, "Free small", "stFreeSmall");
  stFreeBig = AddRow(layout, "Free big", "stFreeBig");
  stUnused = AddRow(layout, "Unused", "stUnused");
  stOverhead = AddRow(layout, "Overhead", "stOverhead");
  layout->setColumnStretch(1, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(100);
  connect(Timer, &QTimer::timeout, this, &TSystemResources::TimerTimer);
  Timer->start();
  TimerTimer();
}

QLabel* TSystemResources::AddRow(QGridLayout* layout, const char* caption, const char* name) {
  const int row = layout->rowCount();
  layout->addWidget(new QLabel(caption, this), row, 0);
  auto* value = new QLabel(this);
  value->setObjectName(name);
  value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  value->setMinimumWidth(110);
  value->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(value, row, 1);
  return value;
}

void TSystemResources::TimerTimer() {
  const THeapStatus status = ReadHeapStatus();
  stAllocMemSize->setText(ByteText(status.AllocMemSize));
  stAllocMemCount->setText(ByteText(status.AllocMemCount));
  stTotalAddrSpace->setText(ByteText(status.TotalAddrSpace));
  stTotalUncommitted->setText(ByteText(status.TotalUncommitted));
  stTotalCommitted->setText(ByteText(status.TotalCommitted));
  stTotalAllocated->setText(ByteText(status.TotalAllocated));
  stTotalFree->setText(ByteText(status.TotalFree));
  stFreeSmall->setText(ByteText(status.FreeSmall));
  stFreeBig->setText(ByteText(status.FreeBig));
  stUnused->setText(ByteText(status.Unused));
  stOverhead->setText(ByteText(status.Overhead));
}

void TSystemResources::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;
    adjustSize();
    CenterOnScreen(*this);
  }
  QDialog::showEvent(event);
}

}  // namespace sarvanta
