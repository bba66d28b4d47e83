// Small builders the motor-task window's pages share.
#pragma once

#include <QHeaderView>
#include <QTableWidget>

namespace sarvanta {

// The control with its given object name.
template <class T>
T* Named(T* control, const char* name) {
  control->setObjectName(name);
  return control;
}

// The two-column grid (name, value) of an object inspector on a page.
inline QTableWidget* InspectorGrid(const char* name, int nameColumnWidth) {
  auto* grid = Named(new QTableWidget(0, 2), name);
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->verticalHeader()->setDefaultSectionSize(qMax(17, grid->fontMetrics().height() + 4));
  grid->setColumnWidth(0, nameColumnWidth);
  grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  return grid;
}

}  // namespace sarvanta
