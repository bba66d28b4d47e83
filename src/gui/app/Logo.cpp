#include "app/Logo.h"
#include "app/Resources.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace sarvanta {

TLogo::TLogo(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog) {
  InitResources();
  setObjectName("Logo");
  setWindowTitle("Sarvanta");
  iLogo = new QLabel(this);
  iLogo->setObjectName("iLogo");
  iLogo->setPixmap(QPixmap(":/logo.svg"));
  iLogo->setFixedSize(444, 258);
  iLogo->setScaledContents(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(iLogo);
  setFixedSize(444, 258);
}

void TLogo::mousePressEvent(QMouseEvent* event) {
  if (isModal()) accept();
  QDialog::mousePressEvent(event);
}

void TLogo::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  QDialog::showEvent(event);
}

}  // namespace sarvanta
