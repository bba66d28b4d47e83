#include "app/Logo.h"
#include "app/Resources.h"
#include "app/WindowPlacement.h"

#include <QMouseEvent>
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
  CenterOnScreen(*this);
  QDialog::showEvent(event);
}

}  // namespace sarvanta
