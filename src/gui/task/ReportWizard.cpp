#include "task/ReportWizard.h"

#include "app/Latin1.h"
#include "base/Exception.h"
#include "task/ReportTemplate.h"
#include "task/TaskViews.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace sarvanta {

namespace {

// A file name as the bytes the file system takes.
std::string PathText(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

TReportWizard::TReportWizard(QWidget* parent, const QString& templateFolder)
    : QDialog(parent),
      TemplateFolder(templateFolder.isEmpty() ? QFile::decodeName(ReportTemplateFolder().c_str())
                                              : templateFolder) {
  setObjectName("ReportWizard");
  setWindowTitle("Report Wizard");
  for (const char* picture : ReportImageFiles) ImageFiles << picture;
  CreateControls();
  const QString folder = PreviewFolder();
  QDir().mkpath(folder);
  CopyReportPictures(PathText(TemplateFolder), PathText(folder));
  ReportFileName = QDir(folder).filePath("Report.html");
}

QString TReportWizard::PreviewFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).filePath("Report");
}

void TReportWizard::CreateControls() {
  auto named = [this](auto* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
  };
  gbPreview = named(new QGroupBox("Preview", this), "gbPreview");
  HTMLPreview = named(new QTextBrowser(gbPreview), "HTMLPreview");
  HTMLPreview->setOpenLinks(false);
  auto* preview = new QVBoxLayout(gbPreview);
  preview->addWidget(HTMLPreview);

  auto* options = new QGroupBox("Options", this);
  options->setObjectName("gbOptions");
  cbCaption = named(new QCheckBox("Caption", options), "cbCaption");
  eCaption = named(new QLineEdit("Report", options), "eCaption");
  cbGoalDescriptions = named(new QCheckBox("Goal descriptions", options), "cbGoalDescriptions");
  cbTimeFrame = named(new QCheckBox("Time frame", options), "cbTimeFrame");
  cbHGASettings = named(new QCheckBox("HGA settings", options), "cbHGASettings");
  cbGeneticOperations = named(new QCheckBox("Genetic operations", options), "cbGeneticOperations");
  cbSimulationSummary = named(new QCheckBox("Simulation summary", options), "cbSimulationSummary");
  const QList<QCheckBox*> boxes = {cbCaption,     cbGoalDescriptions,  cbTimeFrame,
                                   cbHGASettings, cbGeneticOperations, cbSimulationSummary};
  auto* optionsLayout = new QVBoxLayout(options);
  optionsLayout->addWidget(cbCaption);
  optionsLayout->addWidget(eCaption);
  for (QCheckBox* box : boxes) {
    box->setChecked(true);
    if (box != cbCaption) optionsLayout->addWidget(box);
    connect(box, &QCheckBox::toggled, this, &TReportWizard::OnChangeGeneral);
  }
  connect(eCaption, &QLineEdit::editingFinished, this, &TReportWizard::OnChangeGeneral);
  optionsLayout->addStretch();

  bbSave = named(new QPushButton("&Save as", this), "bbSave");
  bbOpenInBrowser = named(new QPushButton("Open in browser", this), "bbOpenInBrowser");
  BitBtn3 = named(new QPushButton("OK", this), "BitBtn3");
  BitBtn2 = named(new QPushButton("Cancel", this), "BitBtn2");
  BitBtn3->setDefault(true);
  SaveDialog = named(new QFileDialog(this, "Save Report"), "SaveDialog");
  SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
  SaveDialog->setDefaultSuffix("html");
  SaveDialog->setNameFilters({"HTML files (*.html *.htm)", "All files (*)"});
  connect(bbSave, &QPushButton::clicked, this, &TReportWizard::bbSaveClick);
  connect(bbOpenInBrowser, &QPushButton::clicked, this, &TReportWizard::bbOpenInBrowserClick);
  connect(BitBtn3, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(bbSave);
  buttons->addWidget(bbOpenInBrowser);
  buttons->addStretch();
  buttons->addWidget(BitBtn3);
  buttons->addWidget(BitBtn2);
  auto* columns = new QHBoxLayout;
  columns->addWidget(gbPreview, 1);
  columns->addWidget(options);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addLayout(buttons);
  resize(1100, 700);
}

TReportOptions TReportWizard::Options() const {
  TReportOptions options;
  options.Caption = cbCaption->isChecked();
  options.CaptionText = ToStdString(eCaption->text());
  options.GoalDescriptions = cbGoalDescriptions->isChecked();
  options.TimeFrame = cbTimeFrame->isChecked();
  options.HGASettings = cbHGASettings->isChecked();
  options.GeneticOperations = cbGeneticOperations->isChecked();
  options.SimulationSummary = cbSimulationSummary->isChecked();
  return options;
}

void TReportWizard::BuildReport() {
  if (!GeneticAlgorithm) return;
  WriteReport(ReportTaskOf(*GeneticAlgorithm), Options(), PathText(ReportFileName));
}

void TReportWizard::Preview() {
  BuildReport();
  const QUrl page = QUrl::fromLocalFile(ReportFileName);
  if (HTMLPreview->source() == page)
    HTMLPreview->reload();
  else
    HTMLPreview->setSource(page);
}

void TReportWizard::PreviewOrSay() {
  try {
    Preview();
  } catch (const Exception& error) {
    QMessageBox::critical(this, windowTitle(), QString::fromStdString(error.what()));
  }
}

void TReportWizard::OnChangeGeneral() { PreviewOrSay(); }

void TReportWizard::Open(TGeneticAlgorithm* algorithm) {
  GeneticAlgorithm = algorithm;
  ReportFileName = QDir(PreviewFolder()).filePath("Report.html");
  PreviewOrSay();
}

void TReportWizard::ShowReport(TGeneticAlgorithm* algorithm) {
  Open(algorithm);
  exec();
  GeneticAlgorithm = nullptr;
}

void TReportWizard::bbSaveClick() {
  if (SaveDialog->exec() == QDialog::Accepted && !SaveDialog->selectedFiles().isEmpty()) {
    ReportFileName = SaveDialog->selectedFiles().constFirst();
    // The page names its pictures bare: they go beside it, copies already there are kept.
    CopyReportPictures(PathText(TemplateFolder),
                       PathText(QFileInfo(ReportFileName).absolutePath()));
  }
  PreviewOrSay();
}

void TReportWizard::bbOpenInBrowserClick() {
  if (!QFileInfo::exists(ReportFileName)) PreviewOrSay();
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(ReportFileName)))
    QMessageBox::information(this, windowTitle(),
                             "No web browser could be started for " + ReportFileName);
}

}  // namespace sarvanta
