// sarvanta: the desktop program. An optional argument names a project file to open.
#include "app/SVmain.h"
#include "app/StartUp.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  sarvanta::TStartUp startUp;
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) startUp.SVmain->OpenProject(arguments.at(1));
  return application.exec();
}
