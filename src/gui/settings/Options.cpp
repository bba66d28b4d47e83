#include "settings/Options.h"

#include "base/NumberText.h"
#include "settings/FormData.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace sarvanta {

namespace {

TOptions* instance = nullptr;

}  // namespace

TOptions::TOptions(QWidget* parent) : QDialog(parent) {
  instance = this;
  setObjectName("Options");
  setWindowTitle("Options");
  CreateControls();
  formData_ = std::make_unique<TFormData>(this, Components());
  formData_->LoadFormData();
  LoadOptions();
}

TOptions::~TOptions() {
  formData_->SaveFormData();
  if (instance == this) instance = nullptr;
}

TOptions* TOptions::Instance() { return instance; }

void TOptions::CreateControls() {
  auto named = [this](auto* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
  };
  gbAutoSave = named(new QGroupBox("Auto Save", this), "gbAutoSave");
  gbAtEachStep = named(new QGroupBox(gbAutoSave), "gbAtEachStep");
  lStep = named(new QLabel("step", gbAtEachStep), "lStep");
  cbAutoSaveOnStep = named(new QCheckBox("at each", gbAtEachStep), "cbAutoSaveOnStep");
  cbAutoSaveOnStep->setChecked(true);
  eAutoSaveOnStep = named(new QLineEdit("500", gbAtEachStep), "eAutoSaveOnStep");
  AtEachMin = named(new QGroupBox(gbAutoSave), "AtEachMin");
  lMin = named(new QLabel("min.", AtEachMin), "lMin");
  cbAutoSaveOnMin = named(new QCheckBox("every", AtEachMin), "cbAutoSaveOnMin");
  eAutoSaveOnMin = named(new QLineEdit("30", AtEachMin), "eAutoSaveOnMin");
  cbAutoSaveWhenDone = named(new QCheckBox("when done", gbAutoSave), "cbAutoSaveWhenDone");
  cbAutoSaveWhenDone->setChecked(true);
  cbAutoSaveAsNewFiles = named(new QCheckBox("as new files", gbAutoSave), "cbAutoSaveAsNewFiles");
  cbAutoSaveAllSolutions =
      named(new QCheckBox("all solutions", gbAutoSave), "cbAutoSaveAllSolutions");
  cbAutoEstHGAafterrLoading =
      named(new QCheckBox("Auto estimate HGA after loading", this), "cbAutoEstHGAafterrLoading");
  cbDisableOpenGLModelView =
      named(new QCheckBox("Disable OpenGL Model View and Restart Application", this),
            "cbDisableOpenGLModelView");
  bbApply = named(new QPushButton("&Apply", this), "bbApply");
  bbOK = named(new QPushButton("OK", this), "bbOK");
  bbCancel = named(new QPushButton("Cancel", this), "bbCancel");
  bbOK->setDefault(true);
  lEvaluationThreads =
      named(new QLabel("Evaluation threads (0 = one per core)", this), "lEvaluationThreads");
  eEvaluationThreads = named(new QLineEdit("0", this), "eEvaluationThreads");

  for (QLineEdit* edit : {eAutoSaveOnStep, eAutoSaveOnMin, eEvaluationThreads}) {
    edit->setMaximumWidth(60);
    edit->setAlignment(Qt::AlignRight);
  }
  auto* stepRow = new QHBoxLayout(gbAtEachStep);
  stepRow->setContentsMargins(6, 4, 6, 4);
  stepRow->addWidget(cbAutoSaveOnStep);
  stepRow->addWidget(eAutoSaveOnStep);
  stepRow->addWidget(lStep);
  stepRow->addStretch();
  auto* minRow = new QHBoxLayout(AtEachMin);
  minRow->setContentsMargins(6, 4, 6, 4);
  minRow->addWidget(cbAutoSaveOnMin);
  minRow->addWidget(eAutoSaveOnMin);
  minRow->addWidget(lMin);
  minRow->addStretch();
  auto* autoSave = new QVBoxLayout(gbAutoSave);
  autoSave->addWidget(gbAtEachStep);
  autoSave->addWidget(AtEachMin);
  autoSave->addWidget(cbAutoSaveWhenDone);
  autoSave->addWidget(cbAutoSaveAsNewFiles);
  autoSave->addWidget(cbAutoSaveAllSolutions);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(bbApply);
  buttons->addWidget(bbOK);
  buttons->addWidget(bbCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(gbAutoSave);
  layout->addWidget(cbAutoEstHGAafterrLoading);
  layout->addWidget(cbDisableOpenGLModelView);
  auto* threads = new QHBoxLayout;
  threads->addWidget(lEvaluationThreads);
  threads->addWidget(eEvaluationThreads);
  threads->addStretch();
  layout->addLayout(threads);
  layout->addStretch();
  layout->addLayout(buttons);

  // The controls are the settings: every button only closes the window.
  for (QPushButton* button : {bbApply, bbOK, bbCancel})
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
  connect(eAutoSaveOnStep, &QLineEdit::textChanged, this, &TOptions::eAutoSaveOnStepChange);
  connect(cbDisableOpenGLModelView, &QCheckBox::toggled, this,
          &TOptions::cbDisableOpenGLModelViewClick);
  connect(eEvaluationThreads, &QLineEdit::textChanged, this, &TOptions::eEvaluationThreadsChange);
}

std::vector<QWidget*> TOptions::Components() const {
  return {gbAutoSave,
          gbAtEachStep,
          lStep,
          cbAutoSaveOnStep,
          eAutoSaveOnStep,
          AtEachMin,
          lMin,
          cbAutoSaveOnMin,
          eAutoSaveOnMin,
          cbAutoSaveWhenDone,
          cbAutoSaveAsNewFiles,
          cbAutoSaveAllSolutions,
          cbAutoEstHGAafterrLoading,
          cbDisableOpenGLModelView,
          bbApply,
          bbOK,
          bbCancel,
          lEvaluationThreads,
          eEvaluationThreads};
}

int TOptions::EvaluationThreads() const {
  int32_t value = 0;
  if (!TryStrToInt(eEvaluationThreads->text().trimmed().toStdString(), value) || value < 0)
    return 0;
  return value;
}

void TOptions::eEvaluationThreadsChange() { emit EvaluationThreadsChanged(EvaluationThreads()); }

void TOptions::SaveSettings() const { formData_->SaveFormData(); }

void TOptions::LoadOptions() { eAutoSaveOnStepChange(eAutoSaveOnStep->text()); }

void TOptions::SaveOptions() { eAutoSaveOnStep->setText(QString::number(AutoSaveStep)); }

void TOptions::eAutoSaveOnStepChange(const QString& text) {
  if (text.isEmpty()) return;
  int32_t value = 0;
  if (TryStrToInt(text.toStdString(), value)) {
    AutoSaveStep = value;
    eAutoSaveOnStep->setToolTip(QString());
    eAutoSaveOnStep->setStyleSheet(QString());
  } else {
    // Shown at the field instead of a message box on every keystroke; the last valid step
    // stays in force.
    eAutoSaveOnStep->setToolTip(QString("'%1' is not a valid integer value").arg(text));
    eAutoSaveOnStep->setStyleSheet("QLineEdit { color: #b00020; }");
  }
}

void TOptions::cbDisableOpenGLModelViewClick() {
  // Restoring the settings at creation changes the box too; only the user's change, made in
  // the open window, ends the program.
  if (!isVisible()) return;
  accept();
  emit ProgramEndRequested();
}

}  // namespace sarvanta
