#include "settings/FormData.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSettings>

namespace sarvanta {

namespace {

constexpr int kCheckBox = 1;
constexpr int kEditBox = 2;

}  // namespace

const char* const TFormData::Organisation = "Qelvo";

TFormData::TFormData(QWidget* form, std::vector<QWidget*> components)
    : Form(form), components_(std::move(components)) {}

void TFormData::SaveFormData() const {
  QSettings settings(Organisation);
  settings.setValue("Version", "pilot version");
  settings.setValue("Description",
                    "Sarvanta: modelling and optimisation of the motor control of a "
                    "musculoskeletal system");
  for (size_t i = 0; i < components_.size(); ++i) {
    QWidget* control = components_[i];
    int type = 0;
    QVariant value;
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
      type = kCheckBox;
      value = box->isChecked() ? 1 : 0;
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      type = kEditBox;
      value = edit->text();
    } else {
      continue;
    }
    settings.beginGroup("Options/" + control->objectName());
    settings.setValue("Index", static_cast<int>(i));
    settings.setValue("Type", type);
    settings.setValue("Value", value);
    settings.endGroup();
  }
  settings.sync();
}

void TFormData::LoadFormData() const {
  QSettings settings(Organisation);
  settings.beginGroup("Options");
  const QStringList names = settings.childGroups();
  settings.endGroup();
  for (const QString& name : names) LoadEntry(settings, name);
}

void TFormData::LoadEntry(QSettings& settings, const QString& name) const {
  settings.beginGroup("Options/" + name);
  bool indexOk = false;
  bool typeOk = false;
  const int index = settings.value("Index").toInt(&indexOk);
  const int type = settings.value("Type").toInt(&typeOk);
  const QVariant value = settings.value("Value");
  settings.endGroup();
  if (!indexOk || !typeOk || index < 0 || index >= static_cast<int>(components_.size())) return;
  QWidget* control = components_[static_cast<size_t>(index)];
  if (control->objectName() != name) return;
  if (auto* box = qobject_cast<QCheckBox*>(control); box && type == kCheckBox) {
    box->setChecked(value.toInt() != 0);
  } else if (auto* edit = qobject_cast<QLineEdit*>(control); edit && type == kEditBox) {
    edit->setText(value.toString());
  }
}

}  // namespace sarvanta
