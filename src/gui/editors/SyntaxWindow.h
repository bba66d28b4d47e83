// The "Expression Syntax" window: lists the help text of the formula language that every
// expression component carries. The core's TSyntaxDialog gives its caption, sizes and fonts;
// this is the window that shows them. It owns its controls only. User-interface thread only.
#pragma once

#include "base/StringList.h"

#include <QDialog>
#include <QListWidget>
#include <QPushButton>

namespace sarvanta {

class TSyntaxWindow : public QDialog {
  Q_OBJECT

 public:
  explicit TSyntaxWindow(QWidget* parent = nullptr);

  // Replaces the listed lines with the given ones.
  void SetLines(const TStringList& lines);
  // SetLines, then shows the window modally.
  void ShowSyntax(const TStringList& lines);

  QListWidget* lbSyntax;
  QPushButton* bbOK;
};

}  // namespace sarvanta
