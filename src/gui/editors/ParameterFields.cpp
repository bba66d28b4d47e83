#include "editors/ParameterFields.h"

#include "app/Latin1.h"
#include "base/NumberText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace sarvanta {

namespace {

// The boxes' names, in the order of TMUParameter.
const char* const kEditNames[MUParameterCount] = {"eFmax", "eTref", "eTf", "eFmin", "ePow",
                                                  "eTc",   "eTr",   "eT",  "eLT"};

}  // namespace

TParameterFields::TParameterFields(const TMUParameterValues& initial) {
  for (size_t i = 0; i < edits_.size(); ++i) {
    edits_[i] = new QLineEdit;
    edits_[i]->setObjectName(kEditNames[i]);
    edits_[i]->setAlignment(Qt::AlignRight);
  }
  SetValues(initial);
}

void TParameterFields::SetValue(TMUParameter parameter, long double value) {
  values_[Index(parameter)] = value;
  QLineEdit* edit = Box(parameter);
  edit->setText(ToQString(FloatToStr(value)));
  edit->setModified(false);
  edit->setToolTip(QString());
}

void TParameterFields::SetValues(const TMUParameterValues& values) {
  for (int i = 0; i < MUParameterCount; ++i)
    SetValue(static_cast<TMUParameter>(i), values[static_cast<size_t>(i)]);
}

void TParameterFields::ClearEdit(TMUParameter parameter) {
  Box(parameter)->clear();
  Box(parameter)->setModified(false);
}

bool TParameterFields::ReadEdit(TMUParameter parameter, QString& reason) {
  QLineEdit* edit = Box(parameter);
  const std::string text = ToStdString(edit->text());
  long double value = 0;
  if (TryStrToFloat(text, value)) {
    SetValue(parameter, value);
    return true;
  }
  const QString kept = ToQString(FloatToStr(Value(parameter)));
  reason = "'" + edit->text() + "' is not a valid floating point value; the value stays " + kept;
  SetValue(parameter, Value(parameter));
  edit->setToolTip(reason);
  return false;
}

void TParameterFields::ConnectExits(QObject* receiver,
                                    const std::function<void(TMUParameter)>& exit) {
  for (int i = 0; i < MUParameterCount; ++i) {
    const auto parameter = static_cast<TMUParameter>(i);
    QLineEdit* edit = Box(parameter);
    QObject::connect(edit, &QLineEdit::editingFinished, receiver, [edit, parameter, exit] {
      if (edit->isModified()) exit(parameter);
    });
  }
}

QWidget* ParameterPage(QWidget* picture, std::initializer_list<TParameterRow> rows) {
  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  if (picture) layout->addWidget(picture, 1);
  auto* grid = new QGridLayout;
  int row = 0;
  for (const TParameterRow& r : rows) {
    auto* label = new QLabel(r.Label, page);
    label->setBuddy(r.Edit);
    r.Edit->setMinimumWidth(70);
    grid->addWidget(label, row, 0);
    grid->addWidget(r.Edit, row, 1);
    ++row;
  }
  grid->setRowStretch(row, 1);
  layout->addLayout(grid);
  return page;
}

}  // namespace sarvanta
