#include "editors/SyntaxWindow.h"

#include "app/Latin1.h"
#include "expr/SyntaxText.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace sarvanta {

namespace {

QString Text(std::string_view text) { return QString::fromLatin1(text.data(), text.size()); }

}  // namespace

TSyntaxWindow::TSyntaxWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("SyntaxDialog");
  setWindowTitle(Text(TSyntaxDialog::Caption));
  QFont dialogFont(Text(TSyntaxDialog::FontName));
  dialogFont.setPixelSize(TSyntaxDialog::FontHeight);
  dialogFont.setBold(TSyntaxDialog::FontBold);
  setFont(dialogFont);

  lbSyntax = new QListWidget(this);
  lbSyntax->setObjectName("lbSyntax");
  // The lines are laid out in columns of blanks: they need a font whose letters are all as wide.
  QFont listFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  listFont.setPixelSize(TSyntaxDialog::ListItemHeight - 3);
  lbSyntax->setFont(listFont);
  lbSyntax->setSelectionMode(QAbstractItemView::SingleSelection);
  bbOK = new QPushButton(Text(TSyntaxDialog::ButtonCaption), this);
  bbOK->setObjectName("bbOK");
  bbOK->setFixedSize(TSyntaxDialog::ButtonWidth, TSyntaxDialog::ButtonHeight);
  bbOK->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(bbOK);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(lbSyntax, 1);
  layout->addLayout(buttons);
  // The window is never smaller than the design; it opens large enough to read the lines.
  setMinimumSize(TSyntaxDialog::ClientWidth, TSyntaxDialog::ClientHeight);
  resize(TSyntaxDialog::ClientWidth, TSyntaxDialog::ClientHeight);
  connect(bbOK, &QPushButton::clicked, this, &QDialog::accept);
}

void TSyntaxWindow::SetLines(const TStringList& lines) {
  lbSyntax->clear();
  int widest = 0;
  for (const TStringList::Entry& line : lines) {
    lbSyntax->addItem(ToQString(line.Text));
    widest = std::max(widest, lbSyntax->fontMetrics().horizontalAdvance(ToQString(line.Text)));
  }
  // Wide enough for the longest line, so that no line is cut at the right.
  const int frame = 2 * lbSyntax->frameWidth() + lbSyntax->verticalScrollBar()->sizeHint().width() +
                    layout()->contentsMargins().left() + layout()->contentsMargins().right() + 8;
  if (!isVisible()) resize(std::max(width(), widest + frame), std::max(height(), 360));
}

void TSyntaxWindow::ShowSyntax(const TStringList& lines) {
  SetLines(lines);
  exec();
}

}  // namespace sarvanta
