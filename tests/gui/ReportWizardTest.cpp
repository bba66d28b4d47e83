#include "TestMain.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/TaskFile.h"
#include "task/Report.h"
#include "task/ReportWizard.h"
#include "task/TaskViews.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTimer>

namespace sarvanta {
namespace {

QByteArray Contents(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ReportWizard : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTaskClasses();
    LoadTaskFromFile(algorithm, SARVANTA_EXAMPLES_DIR "/elbow.hga");
    algorithm.RenameLists();
  }

  // The page the core writes for the wizard's present options.
  QByteArray Expected(const TReportWizard& wizard) const {
    return QByteArray::fromStdString(BuildReport(ReportTaskOf(algorithm), wizard.Options()));
  }

  TGeneticAlgorithm algorithm;
  // The pictures of the source tree (the test program has none beside it).
  const QString TemplateFolder = SARVANTA_EXAMPLES_DIR "/../resources/Template";
};

TEST_F(ReportWizard, ThePreviewFollowsTheOptions) {
  TReportWizard wizard(nullptr, TemplateFolder);
  wizard.Open(&algorithm);
  EXPECT_EQ(wizard.windowTitle(), "Report Wizard");
  EXPECT_EQ(QFileInfo(wizard.ReportFileName).fileName(), "Report.html");
  EXPECT_EQ(Contents(wizard.ReportFileName), Expected(wizard));
  QString shown = wizard.HTMLPreview->toPlainText();
  EXPECT_TRUE(shown.contains("Goals"));
  EXPECT_TRUE(shown.contains("Time Frame"));
  EXPECT_TRUE(shown.contains("Genetic O-s"));
  ASSERT_FALSE(algorithm.Goals.Count() == 0) << "the example has goals";

  wizard.cbGoalDescriptions->setChecked(false);
  shown = wizard.HTMLPreview->toPlainText();
  EXPECT_FALSE(shown.contains("Goals"));
  EXPECT_TRUE(shown.contains("Time Frame"));
  EXPECT_EQ(Contents(wizard.ReportFileName), Expected(wizard));

  wizard.eCaption->setText("Elbow flexion");
  emit wizard.eCaption->editingFinished();
  EXPECT_TRUE(wizard.HTMLPreview->toPlainText().contains("Elbow flexion"));

  for (QCheckBox* box : {wizard.cbCaption, wizard.cbTimeFrame, wizard.cbHGASettings,
                         wizard.cbGeneticOperations, wizard.cbSimulationSummary})
    box->setChecked(false);
  EXPECT_EQ(Contents(wizard.ReportFileName).count("\r\n"), 12);
  // Only the banner is left: no caption, no section.
  shown = wizard.HTMLPreview->toPlainText();
  EXPECT_FALSE(shown.contains("Elbow flexion"));
  EXPECT_FALSE(shown.contains("Time Frame"));
  EXPECT_FALSE(shown.contains("Genetic O-s"));
}

TEST_F(ReportWizard, ThePicturesLieBesideThePreview) {
  QDir(TReportWizard::PreviewFolder()).removeRecursively();
  TReportWizard wizard(nullptr, TemplateFolder);
  wizard.Open(&algorithm);
  for (const QString& picture : wizard.ImageFiles) {
    const QImage image(QDir(TReportWizard::PreviewFolder()).filePath(picture));
    EXPECT_FALSE(image.isNull()) << picture.toStdString();
    // The browser finds them by their bare names, as the page gives them.
    const QVariant loaded =
        wizard.HTMLPreview->loadResource(QTextDocument::ImageResource, QUrl(picture));
    EXPECT_TRUE(loaded.isValid()) << picture.toStdString();
  }
  EXPECT_EQ(wizard.ImageFiles, QStringList({"qelvo_line.gif", "line.gif"}));
}

TEST_F(ReportWizard, SaveAsWritesThePageAndBothPicturesAndLaterChangesRewriteIt) {
  TReportWizard wizard(nullptr, TemplateFolder);
  wizard.Open(&algorithm);
  const QString folder = test::ScratchDir() + "/saved report";
  QDir().mkpath(folder);
  // A picture already at the destination is kept.
  {
    QFile kept(folder + "/line.gif");
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("mine");
  }
  const QString page = folder + "/elbow.html";
  wizard.SaveDialog->setOption(QFileDialog::DontUseNativeDialog);
  QTimer::singleShot(0, &wizard, [&] {
    wizard.SaveDialog->selectFile(page);
    QMetaObject::invokeMethod(wizard.SaveDialog, "accept");
  });
  wizard.bbSave->click();
  EXPECT_EQ(wizard.ReportFileName, page);
  EXPECT_EQ(Contents(page), Expected(wizard));
  EXPECT_FALSE(QImage(folder + "/qelvo_line.gif").isNull());
  EXPECT_EQ(Contents(folder + "/line.gif"), "mine");
  EXPECT_EQ(wizard.HTMLPreview->source(), QUrl::fromLocalFile(page));

  wizard.cbTimeFrame->setChecked(false);
  EXPECT_EQ(Contents(page), Expected(wizard));
  EXPECT_FALSE(Contents(page).contains("Time Frame"));

  // A cancelled dialog keeps the saved name and still rewrites the page.
  QTimer::singleShot(0, &wizard, [&] { wizard.SaveDialog->reject(); });
  wizard.cbTimeFrame->blockSignals(true);
  wizard.cbTimeFrame->setChecked(true);
  wizard.cbTimeFrame->blockSignals(false);
  wizard.bbSave->click();
  EXPECT_EQ(wizard.ReportFileName, page);
  EXPECT_TRUE(Contents(page).contains("Time Frame"));
}

}  // namespace
}  // namespace sarvanta
