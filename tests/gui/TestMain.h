// Shared helpers of the GUI tests.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>

namespace sarvanta::test {

// A folder of its own for every test program run (settings, saved files).
QString ScratchDir();

// The control of the given object name below `root`; fails the test when it is missing.
template <class T>
T* Find(QWidget* root, const char* name) {
  T* found = root->findChild<T*>(name);
  if (!found) ADD_FAILURE() << "no control named " << name;
  return found;
}

}  // namespace sarvanta::test
