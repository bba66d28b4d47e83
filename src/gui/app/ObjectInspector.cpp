#include "app/ObjectInspector.h"

#include "app/Latin1.h"
#include "model/InspectedObject.h"
#include "model/ObjectDescription.h"
#include "model/PropertyCells.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace sarvanta {

namespace {

// Grid editor that reports every change of its text, so that the value is written on each
// keystroke, and that keeps its cursor when the cell's text is set to what it already shows.
class TLiveCellDelegate : public QStyledItemDelegate {
 public:
  TLiveCellDelegate(QObject* parent, std::function<void(int, int, const QString&)> edited)
      : QStyledItemDelegate(parent), edited_(std::move(edited)) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const int row = index.row();
    const int column = index.column();
    connect(editor, &QLineEdit::textEdited, editor,
            [this, row, column](const QString& text) { edited_(row, column, text); });
    return editor;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* line = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() != text) line->setText(text);
  }

 private:
  std::function<void(int, int, const QString&)> edited_;
};

bool OwnedBy(const TComponent* component, const TComponent* owner) {
  for (const TComponent* c = component; c != nullptr; c = c->Owner())
    if (c == owner) return true;
  return false;
}

}  // namespace

TObjectInspector::TObjectInspector(QObject* owner, QToolButton* editButton, QTableWidget* grid,
                                   QComboBox* valueCombo, QComboBox* objectCombo)
    : QObject(owner),
      ObjectCombo(objectCombo),
      ValueCombo(valueCombo),
      EditButton(editButton),
      Grid(grid) {
  setObjectName("ObjectInspector");
  Grid->setColumnCount(2);
  auto* delegate = new TLiveCellDelegate(this, [this](int row, int column, const QString& text) {
    CellTextEdited(row, column, text);
  });
  Grid->setItemDelegate(delegate);
  // Whatever the user left in the cell, it shows the value the object holds once editing ends.
  connect(delegate, &QAbstractItemDelegate::closeEditor, this,
          [this] { ShowHeldValue(Grid->currentRow()); });
  connect(Grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!filling_) EndEditCell(item->column(), item->row());
  });
  connect(Grid, &QTableWidget::cellDoubleClicked, this, [this] { OnDblClick(); });
  connect(Grid, &QTableWidget::currentCellChanged, this, &TObjectInspector::OnDrawCell);
  connect(Grid->verticalScrollBar(), &QScrollBar::valueChanged, this,
          &TObjectInspector::OnDrawCell);
  connect(Grid->horizontalHeader(), &QHeaderView::sectionResized, this,
          &TObjectInspector::OnDrawCell);
  connect(EditButton, &QToolButton::clicked, this, [this] { OnDblClick(); });
  connect(ValueCombo, &QComboBox::activated, this, [this] { ChooseFromList(); });
}

// The controls belong to the window and may be gone already: only the descriptions are freed.
TObjectInspector::~TObjectInspector() { Descriptions.Clear(); }

TObjectDescription* TObjectInspector::Description(int index) const {
  return static_cast<TObjectDescription*>(Descriptions.Objects(index));
}

void TObjectInspector::AddObject(std::unique_ptr<TObjectDescription> description) {
  std::string entry = description->EntryText();
  ObjectCombo->addItem(ToQString(entry));
  Descriptions.Add(std::move(entry), description.release());
  ObjectCombo->setCurrentIndex(ObjectCombo->count() - 1);
}

TObjectDescription* TObjectInspector::GetActiveObject() const {
  const int index = Descriptions.IndexOf(ToStdString(ObjectCombo->currentText()));
  if (ObjectCombo->currentIndex() < 0 || index < 0) return nullptr;
  return Description(index);
}

void TObjectInspector::SetActiveObject() {
  TObjectDescription* description = GetActiveObject();
  if (!description) return;
  filling_ = true;
  Grid->setRowCount(description->RowCount());
  for (int i = 0; i < description->RowCount(); ++i) {
    const TProperty& row = description->Row(i);
    SetCellSilently(i, 0, ToQString(row.Name));
    if (row.HasValue()) {
      if (const auto text = CellText(row)) SetCellSilently(i, 1, ToQString(*text));
    }
    if (!Grid->item(i, 1)) SetCellSilently(i, 1, QString());
  }
  filling_ = false;
  OnDrawCell();
  Changed();
}

void TObjectInspector::SetCellSilently(int row, int column, const QString& text) {
  const bool wasFilling = filling_;
  filling_ = true;
  if (QTableWidgetItem* item = Grid->item(row, column))
    item->setText(text);
  else
    Grid->setItem(row, column, new QTableWidgetItem(text));
  filling_ = wasFilling;
}

void TObjectInspector::CellTextEdited(int row, int column, const QString& text) {
  // Setting the item's text reports the change through itemChanged, which writes it back.
  typing_ = true;
  if (QTableWidgetItem* item = Grid->item(row, column))
    item->setText(text);
  else
    Grid->setItem(row, column, new QTableWidgetItem(text));
  typing_ = false;
}

void TObjectInspector::ShowHeldValue(int row) {
  TObjectDescription* description = GetActiveObject();
  if (!description || row < 0 || row >= description->RowCount()) return;
  const TProperty& property = description->Row(row);
  if (!property.HasValue() || property.List) return;
  if (const auto text = CellText(property)) SetCellSilently(row, 1, ToQString(*text));
}

void TObjectInspector::EndEditCell(int /*column*/, int row) {
  TObjectDescription* description = GetActiveObject();
  if (!description || row < 0 || row >= description->RowCount()) return;
  const QTableWidgetItem* nameCell = Grid->item(row, 0);
  const QTableWidgetItem* valueCell = Grid->item(row, 1);
  const std::string caption = nameCell ? ToStdString(nameCell->text()) : std::string();
  const QString text = valueCell ? valueCell->text() : QString();
  const TProperty& property = description->Row(row);
  TCellWrite write;
  QString refusal;
  // Files hold 8-bit text: a character beyond Latin-1 would come back as "?".
  if (IsLatin1(text)) {
    write = WriteCell(*description, caption, property, ToStdString(text));
    refusal = ToQString(write.Refusal);
  } else {
    refusal = QString("\"%1\" has characters that a project file cannot store").arg(text);
  }
  if (write.Renamed) ShowEntryText(description);
  if (!refusal.isEmpty()) {
    if (OnRefusal) OnRefusal(refusal);
    if (!typing_) ShowHeldValue(row);
  } else if (property.HasValue() && OnValueWritten) {
    OnValueWritten(description->Obj);
  }
  Changed();
}

void TObjectInspector::ChooseFromList() {
  const int row = Grid->currentRow();
  if (row < 0) return;
  SetCellSilently(row, 1, ValueCombo->currentText());
  EndEditCell(1, row);
}

void TObjectInspector::OnDblClick() {
  TObjectDescription* description = GetActiveObject();
  if (!description) return;
  const int row = Grid->currentRow();
  if (row >= 0 && row < description->RowCount()) {
    const TProperty& property = description->Row(row);
    if (property.HasEditButton()) {
      property.OnEdit(description->Obj);
      if (OnValueWritten) OnValueWritten(description->Obj);
      ShowEdited(description);
      return;
    }
  }
  Changed();
}

void TObjectInspector::ShowEdited(TObjectDescription* description) {
  // A dialog may have renamed the object and changed any of its values.
  description->Name = description->Obj->Descr;
  ShowEntryText(description);
  SetActiveObject();
}

void TObjectInspector::ShowEntryText(TObjectDescription* description) {
  const int index = Descriptions.IndexOfObject(description);
  const std::string entry = description->EntryText();
  Descriptions.SetString(index, entry);
  ObjectCombo->setItemText(index, ToQString(entry));
  ObjectCombo->setCurrentIndex(index);
}

QRect TObjectInspector::CellRectInParent(int row, int column) const {
  const QRect cell = Grid->visualRect(Grid->model()->index(row, column));
  QWidget* parent = EditButton->parentWidget();
  return QRect(Grid->viewport()->mapTo(parent, cell.topLeft()), cell.size());
}

void TObjectInspector::OnDrawCell() {
  ValueCombo->hide();
  EditButton->hide();
  TObjectDescription* description = GetActiveObject();
  const int row = Grid->currentRow();
  if (!description || Grid->currentColumn() != 1 || row < 0 || row >= description->RowCount())
    return;
  const TProperty& property = description->Row(row);
  const QRect cell = CellRectInParent(row, 1);
  if (cell.isEmpty()) return;
  if (property.List) {
    ValueCombo->clear();
    for (const TStringList::Entry& entry : *property.List)
      ValueCombo->addItem(ToQString(entry.Text));
    int selected = -1;
    if (const auto* reference = std::get_if<TReferenceValue>(&property.Value)) {
      selected = property.List->IndexOfObject(reference->Get());
    } else if (const auto* index = std::get_if<TIntValue>(&property.Value)) {
      // An index row starts at the entry it stores.
      const int64_t stored = index->Get();
      if (stored >= 0 && stored < property.List->Count()) selected = static_cast<int>(stored);
    }
    ValueCombo->setCurrentIndex(selected);
    ValueCombo->setGeometry(cell.left(), cell.top(), cell.width(),
                            qMax(cell.height(), ValueCombo->sizeHint().height()));
    ValueCombo->raise();
    ValueCombo->show();
    SetCellSilently(row, 1, ValueCombo->currentText());
  } else if (property.HasEditButton()) {
    const int side = cell.height();
    EditButton->setGeometry(cell.right() + 1 - side, cell.top(), side, side);
    EditButton->raise();
    EditButton->show();
  }
}

void TObjectInspector::Delete(int index) {
  if (index < 0 || index >= Descriptions.Count()) return;
  Descriptions.Delete(index);
  ObjectCombo->removeItem(index);
  ObjectCombo->setCurrentIndex(-1);
  filling_ = true;
  Grid->clearContents();
  Grid->setRowCount(1);
  filling_ = false;
  OnDrawCell();
}

void TObjectInspector::Clear() {
  ObjectCombo->clear();
  Descriptions.Clear();
  // No row stays on screen for an object that is no longer listed.
  filling_ = true;
  Grid->clearContents();
  Grid->setRowCount(0);
  filling_ = false;
  OnDrawCell();
}

void TObjectInspector::DeleteObjectsOwnedBy(const TComponent* owner) {
  const TObjectDescription* active = GetActiveObject();
  bool activeRemoved = false;
  for (int i = Descriptions.Count() - 1; i >= 0; --i) {
    TObjectDescription* description = Description(i);
    if (!OwnedBy(description->Obj, owner)) continue;
    activeRemoved = activeRemoved || description == active;
    Delete(i);
  }
  if (active && !activeRemoved) {
    ObjectCombo->setCurrentIndex(Descriptions.IndexOfObject(active));
    SetActiveObject();
  }
}

void TObjectInspector::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace sarvanta
