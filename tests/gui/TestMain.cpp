// The GUI tests run inside one QApplication; program settings go to a scratch folder of this
// run, never to the user's own.
#include "TestMain.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace sarvanta::test {

namespace {
QTemporaryDir* scratch = nullptr;
}

QString ScratchDir() { return scratch->path(); }

}  // namespace sarvanta::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QStandardPaths::setTestModeEnabled(true);
  QApplication application(argc, argv);
  QTemporaryDir scratch;
  sarvanta::test::scratch = &scratch;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path() + "/settings");
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, scratch.path() + "/settings");
  return RUN_ALL_TESTS();
}
