// The small illustrations on the parameter pages of the motor-unit dialogs: a twitch (force
// rising to its peak after the contraction time and relaxing) and fatigue (the peaks of a
// train falling from the maximum toward the minimum). They only show the shapes.
#pragma once

#include <QWidget>

namespace sarvanta {

class TCurvePicture : public QWidget {
 public:
  enum class TKind { Twitch, Fatigue };
  TCurvePicture(TKind kind, QWidget* parent = nullptr);
  QSize sizeHint() const override { return {150, 90}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TKind kind_;
};

}  // namespace sarvanta
