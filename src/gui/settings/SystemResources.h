// The system monitor: the heap figures of the program, refreshed every 100 ms.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QTimer>

class QGridLayout;

namespace sarvanta {

class TSystemResources : public QDialog {
  Q_OBJECT

 public:
  explicit TSystemResources(QWidget* parent = nullptr);

  QLabel* stAllocMemSize;
  QLabel* stAllocMemCount;
  QLabel* stTotalAddrSpace;
  QLabel* stTotalUncommitted;
  QLabel* stTotalCommitted;
  QLabel* stTotalAllocated;
  QLabel* stTotalFree;
  QLabel* stFreeSmall;
  QLabel* stFreeBig;
  QLabel* stUnused;
  QLabel* stOverhead;
  QTimer* Timer;

 public slots:
  void TimerTimer();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* AddRow(QGridLayout* layout, const char* caption, const char* name);
  bool placed_ = false;
};

}  // namespace sarvanta
