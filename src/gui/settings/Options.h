// The options window: automatic saving, automatic scoring of a loaded task, switching off
// the model windows' 3D view and the number of threads that evaluate individuals. Other windows
// read its controls whenever they need a setting. The controls are restored from the settings when
// the window is created and written back when it is destroyed.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <vector>

namespace sarvanta {

class TFormData;

class TOptions : public QDialog {
  Q_OBJECT

 public:
  explicit TOptions(QWidget* parent = nullptr);
  ~TOptions() override;

  // The controls in their fixed order (the order of "Index" in the settings).
  std::vector<QWidget*> Components() const;

  QGroupBox* gbAutoSave;
  QGroupBox* gbAtEachStep;
  QLabel* lStep;
  QCheckBox* cbAutoSaveOnStep;
  QLineEdit* eAutoSaveOnStep;
  QGroupBox* AtEachMin;
  QLabel* lMin;
  QCheckBox* cbAutoSaveOnMin;
  QLineEdit* eAutoSaveOnMin;
  QCheckBox* cbAutoSaveWhenDone;
  QCheckBox* cbAutoSaveAsNewFiles;
  QCheckBox* cbAutoSaveAllSolutions;
  QCheckBox* cbAutoEstHGAafterrLoading;
  QCheckBox* cbDisableOpenGLModelView;
  QPushButton* bbApply;
  QPushButton* bbOK;
  QPushButton* bbCancel;
  QLabel* lEvaluationThreads;
  QLineEdit* eEvaluationThreads;

  // The step interval of automatic saving, kept in step with eAutoSaveOnStep.
  int AutoSaveStep = 500;

  // Threads that evaluate individuals: the number in eEvaluationThreads; 0 (one per core) when
  // the field is empty, not a number or below 0.
  int EvaluationThreads() const;
  // The program's options window (the one created last), or nullptr.
  static TOptions* Instance();

  void LoadOptions();
  void SaveOptions();
  // Writes every control to the settings now (as the window's end does), so that a program
  // started next finds them.
  void SaveSettings() const;

 signals:
  // The 3D-view switch was changed by the user: the program restarts (after asking about
  // unsaved changes) so that its model windows are created accordingly.
  void ProgramEndRequested();
  // The number of evaluation threads was edited (the value of EvaluationThreads).
  void EvaluationThreadsChanged(int threads);

 public slots:
  void eAutoSaveOnStepChange(const QString& text);
  void cbDisableOpenGLModelViewClick();
  void eEvaluationThreadsChange();

 private:
  void CreateControls();
  std::unique_ptr<TFormData> formData_;
};

}  // namespace sarvanta
