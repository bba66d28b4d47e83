// The main window's documents: opening and saving project files, asking before changes are
// lost (closing a window, quitting, opening over a window, restarting), the recent files and
// the folder the file dialogs start in.
#include "app/Latin1.h"
#include "app/MSystem.h"
#include "app/SVmain.h"
#include "ga/TaskFile.h"
#include "settings/FormData.h"
#include "settings/Options.h"
#include "task/SVAlgorithm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QSignalBlocker>
#include <QStandardPaths>

namespace sarvanta {

namespace {

const char* const kProjectFilter = "Sarvanta (*.svt)";
const char* const kRecentKey = "Files/Recent";
const char* const kLastFolderKey = "Files/LastFolder";
constexpr int kRecentCount = 8;

QString AbsolutePath(const QString& fileName) {
  return QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
}

TSaveAnswer AskSaveInBox(QWidget* parent, const QString& question) {
  QMessageBox box(QMessageBox::Warning, "Sarvanta", question,
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
  box.setObjectName("SavePrompt");
  box.setDefaultButton(QMessageBox::Save);
  switch (box.exec()) {
    case QMessageBox::Save:
      return TSaveAnswer::Save;
    case QMessageBox::Discard:
      return TSaveAnswer::Discard;
    default:
      return TSaveAnswer::Cancel;
  }
}

}  // namespace

void TSVmain::closeEvent(QCloseEvent* event) {
  if (!MayQuit()) {
    event->ignore();
    return;
  }
  SaveWindowState();
  QMainWindow::closeEvent(event);
  if (event->isAccepted()) QCoreApplication::quit();
}

bool TSVmain::MayQuit() {
  // A run is a call on the stack: it is stopped after the generation in progress, and the
  // program ends when it has returned.
  if (motorTask_ && motorTask_->RunInProgress()) {
    if (!quitAfterRun_) {
      quitAfterRun_ = true;
      motorTask_->RequestStop();
      connect(motorTask_, &TSVAlgorithm::RunEnded, this, &QWidget::close, Qt::QueuedConnection);
    }
    return false;
  }
  if (changesSettled_) return true;
  for (TMSystem* model : Models())
    if (!MayLoseChanges(model)) {
      quitAfterRun_ = false;
      return false;
    }
  return true;
}

bool TSVmain::ModelMayClose(TMSystem* model) {
  if (motorTask_ && motorTask_->BoundModel() == model && motorTask_->RunInProgress()) {
    const QString question =
        "A motor task is running on this model. Stop it and close the window when the "
        "generation in progress has ended?";
    const bool stop = OnAsk ? OnAsk(question)
                            : QMessageBox::question(this, "Sarvanta", question) == QMessageBox::Yes;
    if (stop) {
      motorTask_->RequestStop();
      connect(motorTask_, &TSVAlgorithm::RunEnded, model, &QWidget::close, Qt::QueuedConnection);
    }
    return false;
  }
  return MayLoseChanges(model);
}

bool TSVmain::MayLoseChanges(TMSystem* model) {
  if (!model || !model->Modified()) return true;
  // The window asked about comes to the front.
  ClientArea->setActiveSubWindow(model);
  const QString question = QString("Save changes to %1?").arg(model->DisplayName());
  const TSaveAnswer answer = OnAskSave ? OnAskSave(question) : AskSaveInBox(this, question);
  if (answer == TSaveAnswer::Discard) return true;
  if (answer == TSaveAnswer::Cancel) return false;
  if (!model->FileName.isEmpty()) return SaveModel(model, model->FileName);
  const QString fileName = ChooseFile(true, "Project.svt");
  if (fileName.isEmpty() || !SaveModel(model, fileName)) return false;
  SaveTaskBeside(model);
  return true;
}

TMSystem* TSVmain::ModelWithFile(const QString& fileName) const {
  const QString wanted = AbsolutePath(fileName);
  for (TMSystem* model : Models())
    if (!model->FileName.isEmpty() && AbsolutePath(model->FileName) == wanted) return model;
  return nullptr;
}

void TSVmain::miOpenClick() {
  const QString name = ChooseFile(false, QString());
  if (!name.isEmpty()) OpenProject(name);
}

TMSystem* TSVmain::OpenProject(const QString& fileName) {
  // Opening a file that a window holds reopens it there, once that window may go.
  if (TMSystem* holder = ModelWithFile(fileName)) {
    if (!ModelMayClose(holder)) return holder;
    delete holder;
  }
  TMSystem* model = NewModelWindow();
  try {
    model->LoadFromFile(fileName);
  } catch (const std::exception& e) {
    ShowError(QString::fromLocal8Bit(e.what()));
    ShowStatus("Could not load " + QFileInfo(fileName).fileName());
    return model;
  }
  RememberFile(fileName);
  ShowStatus("Loaded " + model->DisplayName());
  // The task file of the same base name comes with the project and is shown by the motor-task
  // window; during a run, which keeps the window bound, it goes into the model alone.
  const QString taskName = fileName.chopped(4) + ".hga";
  if (!QFileInfo::exists(taskName)) return model;
  if (motorTask_ && !motorTask_->RunInProgress()) {
    motorTask_->SetModel(model);
    motorTask_->LoadHGA(taskName);
    return model;
  }
  try {
    RegisterTaskClasses();
    LoadTaskFromFile(*model->GeneticAlgorithm, ToStdString(taskName));
    model->GeneticAlgorithm->RenameLists();
  } catch (const std::exception& e) {
    ShowError(QString::fromLocal8Bit(e.what()));
  }
  return model;
}

bool TSVmain::SaveModel(TMSystem* model, const QString& fileName) {
  if (!model) return false;
  try {
    model->SaveToFile(fileName);
  } catch (const std::exception& e) {
    ShowError(QString::fromLocal8Bit(e.what()));
    ShowStatus("Could not save " + QFileInfo(fileName).fileName());
    return false;
  }
  RememberFile(fileName);
  ShowStatus("Saved " + model->DisplayName());
  return true;
}

bool TSVmain::SaveActiveModel(const QString& fileName) {
  return SaveModel(ActiveModel(), fileName);
}

void TSVmain::miSaveClick() {
  TMSystem* model = ActiveModel();
  if (!model) return;
  // A model without a file name is saved as a new file.
  if (model->FileName.isEmpty())
    miSaveAsClick();
  else
    SaveActiveModel(model->FileName);
}

void TSVmain::miSaveAsClick() {
  TMSystem* model = ActiveModel();
  if (!model) return;
  const QString suggested =
      model->FileName.isEmpty() ? QString("Project.svt") : QFileInfo(model->FileName).fileName();
  const QString fileName = ChooseFile(true, suggested);
  if (fileName.isEmpty()) return;
  // A file that this run did not open or save may belong to something else: ask first.
  if (QFileInfo::exists(fileName) && !knownFiles_.contains(AbsolutePath(fileName))) {
    const QString question = QString("%1 already exists.\nDo you want to replace it?")
                                 .arg(QFileInfo(fileName).fileName());
    const bool replace =
        OnAsk ? OnAsk(question)
              : QMessageBox::question(this, "Sarvanta", question) == QMessageBox::Yes;
    if (!replace) return;
  }
  SaveActiveModelAs(fileName);
}

QString TSVmain::ChooseFile(bool saving, const QString& name) {
  const QString folder = StartFolder();
  QString chosen;
  if (OnChooseFile) {
    chosen = OnChooseFile(saving, folder, name);
  } else {
    QFileDialog dialog(this, saving ? "Save As" : "Open", folder, kProjectFilter);
    dialog.setObjectName(saving ? "SaveDialog" : "OpenDialog");
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("svt");
    // Replacing a file is asked about by Save As itself, which knows the files of this run.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (saving && !name.isEmpty()) dialog.selectFile(name);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      chosen = dialog.selectedFiles().constFirst();
  }
  if (!chosen.isEmpty())
    QSettings(TFormData::Organisation).setValue(kLastFolderKey, QFileInfo(chosen).absolutePath());
  return chosen;
}

QString TSVmain::StartFolder() const {
  const QString last = QSettings(TFormData::Organisation).value(kLastFolderKey).toString();
  if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return documents.isEmpty() ? QDir::homePath() : documents;
}

void TSVmain::RememberFile(const QString& fileName) {
  const QString path = AbsolutePath(fileName);
  knownFiles_.insert(path);
  QSettings settings(TFormData::Organisation);
  QStringList recent = settings.value(kRecentKey).toStringList();
  recent.removeAll(path);
  recent.prepend(path);
  while (recent.size() > kRecentCount) recent.removeLast();
  settings.setValue(kRecentKey, recent);
}

QStringList TSVmain::RecentFiles() const {
  return QSettings(TFormData::Organisation).value(kRecentKey).toStringList();
}

void TSVmain::FillRecentFiles() {
  miRecentFiles->clear();
  const QStringList recent = RecentFiles();
  if (recent.isEmpty()) miRecentFiles->addAction("(none)")->setEnabled(false);
  for (int i = 0; i < recent.size(); ++i) {
    const QString path = recent.at(i);
    QAction* entry =
        miRecentFiles->addAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
    entry->setToolTip(path);
    entry->setData(path);
    connect(entry, &QAction::triggered, this, [this, path] {
      if (QFileInfo::exists(path)) {
        OpenProject(path);
        return;
      }
      ShowError(QString("%1 no longer exists.").arg(path));
      QSettings settings(TFormData::Organisation);
      QStringList kept = settings.value(kRecentKey).toStringList();
      kept.removeAll(path);
      settings.setValue(kRecentKey, kept);
    });
  }
}

bool TSVmain::RestartProgram() {
  QCheckBox* option = options_ ? options_->cbDisableOpenGLModelView : nullptr;
  const auto undoOption = [option] {
    if (!option) return;
    const QSignalBlocker quiet(option);
    option->setChecked(!option->isChecked());
  };
  if (motorTask_ && motorTask_->RunInProgress()) {
    ShowError("A motor task is running. Stop it before the program restarts.");
    undoOption();
    return false;
  }
  for (TMSystem* model : Models())
    if (!MayLoseChanges(model)) {
      undoOption();
      return false;
    }
  QStringList files;
  for (TMSystem* model : Models())
    if (!model->FileName.isEmpty() && QFileInfo::exists(model->FileName)) files << model->FileName;
  if (options_) options_->SaveSettings();
  changesSettled_ = true;
  const bool closed = close();
  changesSettled_ = false;
  if (!closed) return false;
  if (OnRestart)
    OnRestart(files);
  else
    QProcess::startDetached(QCoreApplication::applicationFilePath(), files);
  return true;
}

}  // namespace sarvanta
