#include "TestMain.h"
#include "settings/SystemResources.h"

#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>
#include <cstring>

namespace sarvanta {
namespace {

TEST(SystemMonitor, FiguresFollowTheHeapEveryTenthOfASecond) {
  TSystemResources monitor;
  EXPECT_EQ(monitor.windowTitle(), "System Resources");
  EXPECT_TRUE(monitor.Timer->isActive());
  EXPECT_EQ(monitor.Timer->interval(), 100);
  for (const char* name : {"stAllocMemSize", "stAllocMemCount", "stTotalAddrSpace",
                           "stTotalUncommitted", "stTotalCommitted", "stTotalAllocated",
                           "stTotalFree", "stFreeSmall", "stFreeBig", "stUnused", "stOverhead"}) {
    QLabel* box = test::Find<QLabel>(&monitor, name);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().endsWith(' ')) << name;
    bool number = false;
    box->text().trimmed().toULongLong(&number);
    EXPECT_TRUE(number) << name << ": " << box->text().toStdString();
  }

  const QString before = monitor.stAllocMemSize->text();
  // Many small blocks stay on the heap proper (a single large block would be mapped apart).
  std::vector<void*> blocks;
  for (int i = 0; i < 4000; ++i) {
    blocks.push_back(std::malloc(1000));
    std::memset(blocks.back(), 1, 1000);
  }
  QTest::qWait(250);
  const QString grown = monitor.stAllocMemSize->text();
  EXPECT_GE(grown.trimmed().toULongLong(), before.trimmed().toULongLong() + 4000 * 1000);
  for (void* block : blocks) std::free(block);
  QTest::qWait(250);
  EXPECT_LT(monitor.stAllocMemSize->text().trimmed().toULongLong(), grown.trimmed().toULongLong());

  // Hiding the window does not stop the refreshes.
  monitor.show();
  monitor.hide();
  EXPECT_TRUE(monitor.Timer->isActive());
}

}  // namespace
}  // namespace sarvanta
