// Lines of the dialogs' list boxes as model text and back.
#pragma once

#include "app/Latin1.h"
#include "base/NumberText.h"

#include <QListWidget>
#include <string>
#include <vector>

namespace sarvanta {

inline std::vector<std::string> ListLines(const QListWidget* list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list->count(); ++i) lines.push_back(ToStdString(list->item(i)->text()));
  return lines;
}

// Replaces the lines by the numbers in the shortest form.
inline void ShowNumbers(QListWidget* list, const std::vector<long double>& values) {
  list->clear();
  for (const long double value : values) list->addItem(ToQString(FloatToStr(value)));
}

}  // namespace sarvanta
