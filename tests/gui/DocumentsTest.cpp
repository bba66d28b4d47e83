// Nothing is lost without asking: the modified marker, the save prompt of every way a model
// window can go (closing it, quitting, opening its file over it, restarting for the 3D-view
// option), replacing files, recent files, the dialogs' folder and the remembered frame.
#include "TestMain.h"
#include "app/MSystem.h"
#include "app/ObjectInspector.h"
#include "app/SVmain.h"
#include "model/Bone.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "settings/Options.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
#include <QStandardPaths>

namespace sarvanta {
namespace {

enum class TWay { Close, Quit, OpenOver, Restart };

const char* WayName(TWay way) {
  switch (way) {
    case TWay::Close:
      return "close";
    case TWay::Quit:
      return "quit";
    case TWay::OpenOver:
      return "open over";
    default:
      return "restart";
  }
}

class Documents : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings("Qelvo").clear();
    folder_ =
        test::ScratchDir() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    QDir(folder_).removeRecursively();
    QDir().mkpath(folder_);
    main_ = std::make_unique<TSVmain>();
    main_->OnError = [this](const QString& text) { errors_ << text; };
    main_->OnAskSave = [this](const QString& question) {
      questions_ << question;
      return answer_;
    };
  }

  void TearDown() override {
    main_.reset();
    QSettings("Qelvo").clear();
  }

  // A copy of the elbow project (without its task) in this test's folder, opened.
  TMSystem* OpenCopy(const QString& name = "arm.svt") {
    const QString path = folder_ + "/" + name;
    QFile::remove(path);
    EXPECT_TRUE(QFile::copy(SARVANTA_EXAMPLES_DIR "/elbow.svt", path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return main_->OpenProject(path);
  }

  // Types a length into the first bone's row through the inspector.
  void EditFirstBoneLength(const QString& text) {
    main_->cbObjects->setCurrentIndex(0);
    main_->cbObjectsChange();
    QTableWidget* grid = main_->sgObjectProperties;
    for (int i = 0; i < grid->rowCount(); ++i)
      if (grid->item(i, 0)->text() == "Length") grid->item(i, 1)->setText(text);
  }

  static long double FirstBoneLength(const QString& path) {
    TSVmain reader;
    TMSystem* model = reader.OpenProject(path);
    return model->MechanicalSystem->Bone(1)->Length;
  }

  std::unique_ptr<TSVmain> main_;
  QString folder_;
  QStringList errors_;
  QStringList questions_;
  TSaveAnswer answer_ = TSaveAnswer::Cancel;
};

TEST_F(Documents, TheCaptionMarksChangesUntilTheyAreSaved) {
  TMSystem* model = OpenCopy();
  EXPECT_EQ(model->windowTitle(), "arm.svt");
  EXPECT_FALSE(model->Modified());
  main_->cbObjectsChange();  // showing an object changes nothing
  EXPECT_FALSE(model->Modified());
  EditFirstBoneLength("abc");
  EXPECT_FALSE(model->Modified()) << "refused text changes nothing";
  EditFirstBoneLength("0.35");
  EXPECT_TRUE(model->Modified());
  EXPECT_EQ(model->windowTitle(), "arm.svt*");
  main_->miSaveClick();
  EXPECT_EQ(model->windowTitle(), "arm.svt");
  EXPECT_EQ(main_->StatusPanel1->text(), "Saved arm.svt");

  main_->miBoneClick();
  EXPECT_EQ(model->windowTitle(), "arm.svt*") << "a placed object is a change";
  EXPECT_EQ(main_->StatusPanel1->text(), "Placed Bone1");
  model->SetModified(false);

  // A run writes new impulse trains into the system: that is a change too.
  TMuscle* muscle = model->MechanicalSystem->Muscle(1);
  ASSERT_NE(muscle, nullptr);
  ASSERT_GT(muscle->MotorUnits.Count(), 0);
  const long double times[] = {1.0L, 7.5L, 20.0L};
  muscle->MotorUnit(0)->SetImpArray(times);
  EXPECT_TRUE(model->Modified());
  main_->SaveActiveModel(model->FileName);
  EXPECT_FALSE(model->Modified());
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
}

TEST_F(Documents, EveryWayOutAsksAndCancelKeepsEverything) {
  TOptions options;
  main_->SetOptions(&options);
  QStringList restarts;

  for (const TWay way : {TWay::Close, TWay::Quit, TWay::OpenOver, TWay::Restart}) {
    for (const TSaveAnswer answer :
         {TSaveAnswer::Cancel, TSaveAnswer::Discard, TSaveAnswer::Save}) {
      SCOPED_TRACE(testing::Message() << WayName(way) << ", answer " << static_cast<int>(answer));
      main_ = std::make_unique<TSVmain>();
      main_->SetOptions(&options);
      main_->OnError = [this](const QString& text) { errors_ << text; };
      main_->OnAskSave = [this](const QString& question) {
        questions_ << question;
        return answer_;
      };
      main_->OnRestart = [&restarts](const QStringList& files) { restarts = files; };
      main_->show();
      restarts.clear();
      questions_.clear();
      answer_ = answer;
      TMSystem* model = OpenCopy();
      const QString path = model->FileName;
      EditFirstBoneLength("0.35");
      ASSERT_TRUE(model->Modified());

      const QPointer<TMSystem> watched = model;
      bool gone = false;
      if (way == TWay::Close) {
        model->close();
      } else if (way == TWay::Quit) {
        gone = main_->close();
      } else if (way == TWay::OpenOver) {
        main_->OpenProject(path);
      } else {
        const QSignalBlocker quiet(options.cbDisableOpenGLModelView);
        options.cbDisableOpenGLModelView->setChecked(true);
        gone = main_->RestartProgram();
      }
      QCoreApplication::processEvents();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      if (way == TWay::Close || way == TWay::OpenOver) gone = watched.isNull();
      ASSERT_EQ(questions_, QStringList({"Save changes to arm.svt?"}));
      if (answer == TSaveAnswer::Cancel) {
        EXPECT_FALSE(gone);
        ASSERT_FALSE(watched.isNull());
        EXPECT_TRUE(main_->Models().contains(model));
        EXPECT_EQ(model->MechanicalSystem->Bone(1)->Length, 0.35L);
        EXPECT_TRUE(model->Modified());
        EXPECT_TRUE(main_->isVisible());
        EXPECT_EQ(FirstBoneLength(path), 0.3L) << "the file is untouched";
        EXPECT_TRUE(restarts.isEmpty());
        if (way == TWay::Restart) {
          EXPECT_FALSE(options.cbDisableOpenGLModelView->isChecked()) << "the option goes back";
        }
        continue;
      }
      EXPECT_TRUE(gone);
      EXPECT_EQ(FirstBoneLength(path), answer == TSaveAnswer::Save ? 0.35L : 0.3L);
      if (way == TWay::OpenOver) {
        ASSERT_EQ(main_->Models().size(), 1);
        EXPECT_EQ(main_->ActiveModel()->MechanicalSystem->Bone(1)->Length,
                  answer == TSaveAnswer::Save ? 0.35L : 0.3L);
        EXPECT_FALSE(main_->ActiveModel()->Modified());
      }
      if (way == TWay::Restart) {
        EXPECT_EQ(restarts, QStringList({path})) << "the same project files come back";
        EXPECT_EQ(QSettings("Qelvo").value("Options/cbDisableOpenGLModelView/Value").toInt(), 1)
            << "the option was stored before the restart";
        const QSignalBlocker quiet(options.cbDisableOpenGLModelView);
        options.cbDisableOpenGLModelView->setChecked(false);
      }
      if (way == TWay::Quit || way == TWay::Restart) {
        EXPECT_FALSE(main_->isVisible());
      }
    }
  }
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
}

TEST_F(Documents, AnUnchangedWindowGoesWithoutAQuestion) {
  TMSystem* model = OpenCopy();
  main_->tbNewClick();
  EXPECT_TRUE(model->close());
  EXPECT_TRUE(main_->close());
  EXPECT_TRUE(questions_.isEmpty());
}

TEST_F(Documents, SavingANewModelFromThePromptAsksForItsName) {
  main_->tbNewClick();
  main_->miBoneClick();
  QStringList folders;
  QString chosen;
  main_->OnChooseFile = [&](bool saving, const QString& folder, const QString&) {
    EXPECT_TRUE(saving);
    folders << folder;
    return chosen;
  };
  answer_ = TSaveAnswer::Save;
  EXPECT_FALSE(main_->close()) << "a cancelled file dialog keeps the program";
  ASSERT_EQ(folders.size(), 1);
  EXPECT_EQ(questions_, QStringList({"Save changes to Project?"}));
  chosen = folder_ + "/new.svt";
  EXPECT_TRUE(main_->close());
  EXPECT_TRUE(QFile::exists(chosen));
}

TEST_F(Documents, DialogsStartInTheLastFolderAndSaveAsAsksBeforeReplacingAStrangeFile) {
  QStringList folders;
  QString chosen;
  main_->OnChooseFile = [&](bool, const QString& folder, const QString&) {
    folders << folder;
    return chosen;
  };
  QStringList asked;
  bool replace = false;
  main_->OnAsk = [&](const QString& question) {
    asked << question;
    return replace;
  };
  main_->miOpenClick();
  ASSERT_EQ(folders.size(), 1);
  EXPECT_EQ(folders.first(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));

  TMSystem* model = OpenCopy();
  chosen = folder_ + "/stranger.svt";
  {
    QFile stranger(chosen);
    ASSERT_TRUE(stranger.open(QIODevice::WriteOnly));
    stranger.write("not ours");
  }
  main_->miSaveAsClick();
  EXPECT_EQ(folders.last(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked.first(), "stranger.svt already exists.\nDo you want to replace it?");
  {
    QFile stranger(chosen);
    ASSERT_TRUE(stranger.open(QIODevice::ReadOnly));
    EXPECT_EQ(stranger.readAll(), QByteArray("not ours")) << "refused: the file stays";
  }
  EXPECT_EQ(model->FileName, folder_ + "/arm.svt");
  // The dialog's folder was remembered; a replaced file is ours from then on.
  replace = true;
  main_->miSaveAsClick();
  EXPECT_EQ(folders.last(), folder_);
  EXPECT_EQ(model->FileName, chosen);
  EXPECT_EQ(FirstBoneLength(chosen), 0.3L);
  main_->miSaveAsClick();
  EXPECT_EQ(asked.size(), 2) << "a file saved in this run is replaced without asking";
}

TEST_F(Documents, RecentFilesAndTheFrameSurviveARestart) {
  OpenCopy("first.svt");
  OpenCopy("second.svt");
  OpenCopy("first.svt");  // opened again: first in the list once
  EXPECT_EQ(main_->RecentFiles(), QStringList({folder_ + "/first.svt", folder_ + "/second.svt"}));
  main_->show();
  main_->resize(700, 520);
  main_->Splitter1->setSizes({260, 440});
  const QList<int> splitter = main_->Splitter1->sizes();
  ASSERT_TRUE(main_->close());

  TSVmain again;
  again.show();
  EXPECT_EQ(again.size(), QSize(700, 520));
  EXPECT_EQ(again.Splitter1->sizes(), splitter);
  again.FillRecentFiles();
  QStringList items;
  for (QAction* item : again.miRecentFiles->actions()) items << item->text();
  EXPECT_EQ(items, QStringList({"&1 first.svt", "&2 second.svt"}));
  again.miRecentFiles->actions().at(1)->trigger();
  ASSERT_NE(again.ActiveModel(), nullptr);
  EXPECT_EQ(again.ActiveModel()->FileName, folder_ + "/second.svt");

  // A file that went away leaves the list with a message.
  QStringList errors;
  again.OnError = [&errors](const QString& text) { errors << text; };
  QFile::remove(folder_ + "/first.svt");
  again.FillRecentFiles();
  again.miRecentFiles->actions().at(1)->trigger();
  EXPECT_EQ(errors.size(), 1);
  EXPECT_EQ(again.RecentFiles(), QStringList({folder_ + "/second.svt"}));
}

TEST_F(Documents, FirstStartTakesAComfortableShareOfTheScreen) {
  main_->show();
  EXPECT_GE(main_->width(), 566);
  EXPECT_GE(main_->height(), 378);
  const QSize screen = main_->screen()->availableGeometry().size();
  EXPECT_GE(main_->width(), screen.width() * 2 / 3);
}

}  // namespace
}  // namespace sarvanta
