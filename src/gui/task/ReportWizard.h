// The report wizard: writes the HTML report of a motor task and previews it while the user
// chooses what goes into it. One instance is created at start-up and shown modally with the
// active model's algorithm (ShowReport). It keeps a pointer to that algorithm, which it does not
// own, while it is open; it reads it only.
#pragma once

#include "task/Report.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTextBrowser>

namespace sarvanta {

class TGeneticAlgorithm;

class TReportWizard : public QDialog {
  Q_OBJECT

 public:
  // Copies the report's pictures from `templateFolder` (by default the program's, see
  // ReportTemplateFolder) into the preview folder, keeping copies already there.
  explicit TReportWizard(QWidget* parent = nullptr, const QString& templateFolder = QString());

  // Opens the wizard on the algorithm and shows it modally.
  void ShowReport(TGeneticAlgorithm* algorithm);
  // Everything ShowReport does before showing: the algorithm, the preview file, the preview.
  void Open(TGeneticAlgorithm* algorithm);

  // Writes the page to ReportFileName and shows it. Throws EFileError when it cannot be written.
  void Preview();
  void BuildReport();
  // The check boxes and the caption as report options.
  TReportOptions Options() const;

  // The folder of the preview page and its pictures (the program's own cache folder).
  static QString PreviewFolder();

  TGeneticAlgorithm* GeneticAlgorithm = nullptr;
  QString ReportFileName;
  QStringList ImageFiles;
  // Where the pictures are copied from.
  QString TemplateFolder;

  QGroupBox* gbPreview;
  QTextBrowser* HTMLPreview;
  QCheckBox* cbCaption;
  QLineEdit* eCaption;
  QCheckBox* cbGoalDescriptions;
  QCheckBox* cbTimeFrame;
  QCheckBox* cbHGASettings;
  QCheckBox* cbGeneticOperations;
  QCheckBox* cbSimulationSummary;
  QPushButton* bbSave;
  QPushButton* bbOpenInBrowser;
  QPushButton* BitBtn3;
  QPushButton* BitBtn2;
  QFileDialog* SaveDialog;

 public slots:
  void OnChangeGeneral();
  void bbSaveClick();
  // Opens the written page in the desktop's web browser.
  void bbOpenInBrowserClick();

 private:
  void CreateControls();
  // Preview, with a failure shown in a message box (handlers must not let it escape).
  void PreviewOrSay();
};

}  // namespace sarvanta
