// The object inspector: lists object descriptions in a combo box, shows the rows of the chosen
// one in a two-column grid (name, value) and writes every change of a value cell back into
// the object. Reference and index rows get a drop-down over the value cell, rows edited in a
// dialog a "..." button. It is a controller over four controls that its window owns.
#pragma once

#include "base/StringList.h"

#include <QComboBox>
#include <QObject>
#include <QTableWidget>
#include <QToolButton>
#include <functional>
#include <memory>

namespace sarvanta {

class TComponent;
class TInspectedObject;
class TObjectDescription;

class TObjectInspector : public QObject {
  Q_OBJECT

 public:
  TObjectInspector(QObject* owner, QToolButton* editButton, QTableWidget* grid,
                   QComboBox* valueCombo, QComboBox* objectCombo);
  ~TObjectInspector() override;

  // Lists the description (entry text "<class caption>: <name>") and makes it the combo's
  // text; the grid is not refreshed.
  void AddObject(std::unique_ptr<TObjectDescription> description);
  // Shows the rows of the description named by the combo's text; nothing when none is.
  void SetActiveObject();
  TObjectDescription* GetActiveObject() const;
  // Writes the value cell of grid row `row` into the active description's row, whatever
  // column was edited; renames the entry through the "Name" row. Text that is refused (not a
  // value of the row's kind, a name already used in the object's list, characters beyond
  // Latin-1) changes nothing and is reported through OnRefusal; the cell then shows the held
  // value again, at once or, while the user types in it, when the editor closes.
  void EndEditCell(int column, int row);
  // Puts the drop-down's text into the current value cell and writes it back.
  void ChooseFromList();
  // Runs the current row's edit callback (rows above kind 256 that have one), then shows the
  // object's name and values as the callback left them.
  void OnDblClick();
  // Removes entry `index`, clears the combo's text and leaves one empty grid row.
  void Delete(int index);
  // Removes every description.
  void Clear();
  // Removes the descriptions of objects that `owner` owns, directly or further down, so that
  // no row outlives its object. The shown description stays when it is not among them.
  void DeleteObjectsOwnedBy(const TComponent* owner);

  int Count() const { return Descriptions.Count(); }
  TObjectDescription* Description(int index) const;

  QComboBox* ObjectCombo;
  QComboBox* ValueCombo;
  QToolButton* EditButton;
  QTableWidget* Grid;
  TStringList Descriptions{true};  // (entry text, TObjectDescription), owned
  std::function<void(TObjectInspector*)> OnChange;
  // Told after a value was stored into an object or a row's edit callback ran (the object may
  // have changed), with the changed object.
  std::function<void(TInspectedObject*)> OnValueWritten;
  // Told why a cell's text was refused.
  std::function<void(const QString&)> OnRefusal;

 public slots:
  // Places the drop-down or the "..." button over the current value cell.
  void OnDrawCell();

 private:
  void CellTextEdited(int row, int column, const QString& text);
  // The value cell of `row` shows what the object holds (rows with a value and no drop-down).
  void ShowHeldValue(int row);
  void SetCellSilently(int row, int column, const QString& text);
  void Changed();
  void ShowEdited(TObjectDescription* description);
  // Lists the description under its present entry text and makes it the combo's text.
  void ShowEntryText(TObjectDescription* description);
  QRect CellRectInParent(int row, int column) const;

  bool filling_ = false;
  // The cell's text comes from the user's keystroke in an open editor.
  bool typing_ = false;
};

}  // namespace sarvanta
