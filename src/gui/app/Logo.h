// The start-up picture window: borderless, 444 by 258, centred on the desktop.
#pragma once

#include <QDialog>
#include <QLabel>

namespace sarvanta {

class TLogo : public QDialog {
  Q_OBJECT

 public:
  explicit TLogo(QWidget* parent = nullptr);

  QLabel* iLogo;

 protected:
  // Closes the window when it is shown modally (About); the start-up showing ignores clicks.
  void mousePressEvent(QMouseEvent* event) override;
  void showEvent(QShowEvent* event) override;
};

}  // namespace sarvanta
