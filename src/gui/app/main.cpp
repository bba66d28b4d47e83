// sarvanta: the desktop program. Its arguments name project files to open.
#include "app/SVmain.h"
#include "app/StartUp.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  sarvanta::TStartUp startUp;
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) startUp.SVmain->OpenProject(arguments.at(i));
  return application.exec();
}
