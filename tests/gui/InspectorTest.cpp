#include "TestMain.h"
#include "app/MSystem.h"
#include "app/ObjectInspector.h"
#include "app/SVmain.h"
#include "model/Bone.h"
#include "model/InspectedObject.h"
#include "model/Joint.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace sarvanta {
namespace {

// An object with one row of every kind the model classes do not all have.
class TSample : public TInspectedObject {
 public:
  using TInspectedObject::TInspectedObject;

  std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) override {
    auto description = BeginDescription(name, "Sample");
    description->AddProperty("Small", ValueOf(Small), PropertyKind::SmallInt);
    description->AddProperty("Flag", ValueOf(Flag), PropertyKind::Boolean);
    description->AddProperty("Values", ValueOf(Values), PropertyKind::FloatArray);
    description->AddProperty("Note", ValueOf(Note), PropertyKind::String).OnEdit = Edit;
    description->AddProperty("Impulses", TPropertyValue{}, PropertyKind::Opaque).OnEdit = Edit;
    auto& index = description->AddProperty("Choice", ValueOf(Choice), PropertyKind::ListIndex);
    index.List = &Choices;
    return description;
  }

  const TClassInfo& ClassInfo() const override {
    static const TClassInfo info{"TSample", {}, {}};
    return info;
  }

  int16_t Small = 7;
  bool Flag = false;
  std::vector<long double> Values{1.0L, 2.0L};
  std::string Note = "note";
  int32_t Choice = 2;
  TStringList Choices;
  int Edits = 0;
  TEditCallback Edit = [this](TInspectedObject* object) {
    if (object == this) ++Edits;
  };
};

class Inspector : public ::testing::Test {
 protected:
  void SetUp() override {
    main_.resize(600, 400);
    main_.show();
    sample_.Choices.Add("");
    sample_.Choices.Add("first");
    sample_.Choices.Add("second");
  }

  TObjectInspector& Inspector_() { return *main_.ObjectInspector; }
  QTableWidget& Grid() { return *main_.sgObjectProperties; }

  int RowOf(const QString& name) {
    for (int i = 0; i < Grid().rowCount(); ++i)
      if (Grid().item(i, 0)->text() == name) return i;
    ADD_FAILURE() << "no row " << name.toStdString();
    return 0;
  }
  QString Cell(const QString& name) { return Grid().item(RowOf(name), 1)->text(); }
  void SetCell(const QString& name, const QString& text) {
    Grid().item(RowOf(name), 1)->setText(text);
  }
  void ShowSample() {
    Inspector_().AddObject(sample_.ObjectDescription("Sample1"));
    Inspector_().SetActiveObject();
  }

  TSVmain main_;
  TSample sample_;
};

TEST_F(Inspector, ShowsEveryKindAndSilentlyRejectsBadText) {
  ShowSample();
  EXPECT_EQ(main_.cbObjects->currentText(), "Sample: Sample1");
  ASSERT_EQ(Grid().rowCount(), 7);
  EXPECT_EQ(Cell("Small"), "7");
  EXPECT_EQ(Cell("Flag"), "false");
  EXPECT_EQ(Cell("Values"), "1;2;");
  EXPECT_EQ(Cell("Impulses"), "");
  EXPECT_EQ(Cell("Choice"), "second");

  const struct {
    const char* text;
    bool flag;
  } booleans[] = {{"t", true},   {"", false},    {"True", true},
                  {"no", false}, {"TRUE", true}, {"false", false}};
  for (const auto& b : booleans) {
    SetCell("Flag", b.text);
    EXPECT_EQ(sample_.Flag, b.flag) << b.text;
  }

  SetCell("Small", "12");
  EXPECT_EQ(sample_.Small, 12);
  SetCell("Small", "twelve");
  EXPECT_EQ(sample_.Small, 12) << "bad text keeps the old value";
  SetCell("Small", "70000");
  EXPECT_EQ(sample_.Small, 12) << "a value that does not fit keeps the old value";

  SetCell("Values", "0.5;1.5");
  EXPECT_EQ(sample_.Values, std::vector<long double>({0.5L}));
  SetCell("Values", "0.5;1.5;");
  EXPECT_EQ(sample_.Values, std::vector<long double>({0.5L, 1.5L}));
  SetCell("Values", "0.5;x;");
  EXPECT_EQ(sample_.Values, std::vector<long double>({0.5L, 1.5L}));

  SetCell("Choice", "first");
  EXPECT_EQ(sample_.Choice, 1);
  SetCell("Choice", "nothing");
  EXPECT_EQ(sample_.Choice, -1);
}

TEST_F(Inspector, WritesTheValueOnEveryKeystroke) {
  TMSystem* model = main_.tbNewClick();
  main_.miBoneClick();
  TBone* bone = model->MechanicalSystem->Bone(1);
  const int row = RowOf("Length");
  Grid().setCurrentCell(row, 1);
  Grid().editItem(Grid().item(row, 1));
  auto* editor = Grid().viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "2.5");
  EXPECT_EQ(bone->Length, 2.5L);
  QTest::keyClicks(editor, "e");
  EXPECT_EQ(bone->Length, 2.5L) << "an unfinished exponent keeps the last valid value";
  QTest::keyClicks(editor, "1");
  EXPECT_EQ(bone->Length, 25.0L);
  EXPECT_EQ(editor->text(), "2.5e1") << "the editor keeps what the user typed";
}

TEST_F(Inspector, TheNameRowRenamesEverywhereAndOtherCaptionsDoNot) {
  TMSystem* model = main_.tbNewClick();
  main_.miBoneClick();
  TBone* bone = model->MechanicalSystem->Bone(1);
  SetCell("Name", "Radius");
  EXPECT_EQ(bone->Descr, "Radius");
  EXPECT_EQ(main_.cbObjects->currentText(), "Bone: Radius");
  EXPECT_EQ(main_.cbObjects->itemText(0), "Bone: Radius");
  EXPECT_EQ(Inspector_().Descriptions.Strings(0), "Bone: Radius");
  EXPECT_EQ(Inspector_().GetActiveObject()->Name, "Radius");

  // Typing into a name cell stores the value again and changes only the shown caption.
  const int row = RowOf("Mass");
  Grid().item(row, 1)->setText("3");
  Grid().item(row, 0)->setText("Weight");
  EXPECT_EQ(bone->Mass, 3.0L);
  EXPECT_EQ(Grid().item(row, 0)->text(), "Weight");
  Grid().item(0, 0)->setText("Label");
  Grid().item(0, 1)->setText("Ulna");
  EXPECT_EQ(bone->Descr, "Ulna") << "the row still writes its value";
  EXPECT_EQ(main_.cbObjects->currentText(), "Bone: Radius")
      << "a row whose caption no longer reads Name does not rename";
}

TEST_F(Inspector, ReferenceRowsPickFromTheDropDown) {
  TMSystem* model = main_.tbNewClick();
  main_.miJointClick();
  main_.miJointClick();
  main_.miBoneClick();
  TBone* bone = model->MechanicalSystem->Bone(1);
  TJoint* joint2 = model->MechanicalSystem->Joint(2);
  const int row = RowOf("FromJoint");
  EXPECT_FALSE(main_.cbValueList->isVisible());
  Grid().setCurrentCell(row, 1);
  ASSERT_TRUE(main_.cbValueList->isVisible());
  EXPECT_FALSE(main_.bDefine->isVisible());
  ASSERT_EQ(main_.cbValueList->count(), 3);
  EXPECT_EQ(main_.cbValueList->itemText(2), "Joint2");
  EXPECT_EQ(main_.cbValueList->currentIndex(), 0) << "no joint yet: the placeholder";

  main_.cbValueList->setCurrentIndex(2);
  emit main_.cbValueList->activated(2);
  EXPECT_EQ(bone->FromJnt, joint2);
  EXPECT_EQ(Grid().item(row, 1)->text(), "Joint2");

  // A name that no entry has leaves the reference alone.
  Grid().item(row, 1)->setText("Joint9");
  EXPECT_EQ(bone->FromJnt, joint2);

  Grid().setCurrentCell(RowOf("Mass"), 1);
  EXPECT_FALSE(main_.cbValueList->isVisible());
}

TEST_F(Inspector, DialogRowsOfferTheButtonAboveKind256Only) {
  ShowSample();
  Grid().setCurrentCell(RowOf("Note"), 1);
  EXPECT_FALSE(main_.bDefine->isVisible()) << "kind 256 never shows the button";
  main_.miPropertiesClick();
  EXPECT_EQ(sample_.Edits, 0);

  Grid().setCurrentCell(RowOf("Impulses"), 1);
  EXPECT_TRUE(main_.bDefine->isVisible());
  const QRect cell = Grid().visualRect(Grid().model()->index(RowOf("Impulses"), 1));
  const QPoint cellRight = Grid().viewport()->mapTo(main_.pObjectInspector, cell.topRight());
  EXPECT_EQ(main_.bDefine->geometry().right(), cellRight.x());
  EXPECT_EQ(main_.bDefine->geometry().top(), cellRight.y());
  main_.bDefine->click();
  EXPECT_EQ(sample_.Edits, 1);
  main_.miPropertiesClick();
  EXPECT_EQ(sample_.Edits, 2);

  // An index row starts at the entry it stores.
  Grid().setCurrentCell(RowOf("Choice"), 1);
  EXPECT_TRUE(main_.cbValueList->isVisible());
  EXPECT_EQ(main_.cbValueList->currentText(), "second");
}

TEST_F(Inspector, ClickingANameSelectsItsValueCell) {
  ShowSample();
  const int row = RowOf("Flag");
  const QRect name = Grid().visualRect(Grid().model()->index(row, 0));
  QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, name.center());
  EXPECT_EQ(Grid().currentRow(), row);
  EXPECT_EQ(Grid().currentColumn(), 1);
}

TEST_F(Inspector, EqualEntriesShowTheFirstAndDeleteAndClearEmptyTheLists) {
  sample_.Small = 1;
  Inspector_().AddObject(sample_.ObjectDescription("Same"));
  TSample other;
  other.Small = 2;
  Inspector_().AddObject(other.ObjectDescription("Same"));
  EXPECT_EQ(main_.cbObjects->count(), 2);
  EXPECT_EQ(Inspector_().Count(), 2);
  Inspector_().SetActiveObject();
  EXPECT_EQ(Inspector_().GetActiveObject()->Obj, &sample_);
  EXPECT_EQ(Cell("Small"), "1");

  Inspector_().Delete(0);
  EXPECT_EQ(Inspector_().Count(), 1);
  EXPECT_EQ(main_.cbObjects->count(), 1);
  EXPECT_EQ(main_.cbObjects->currentText(), "");
  EXPECT_EQ(Grid().rowCount(), 1);
  EXPECT_EQ(Inspector_().GetActiveObject(), nullptr);
  // Without an active description edits and the edit action do nothing.
  Inspector_().EndEditCell(1, 0);
  Inspector_().OnDblClick();

  Inspector_().Clear();
  EXPECT_EQ(Inspector_().Count(), 0);
  EXPECT_EQ(main_.cbObjects->count(), 0);
}

TEST_F(Inspector, EveryChangeNotifiesTheOwner) {
  int changes = 0;
  Inspector_().OnChange = [&changes](TObjectInspector*) { ++changes; };
  ShowSample();
  EXPECT_EQ(changes, 1);
  SetCell("Small", "3");
  EXPECT_EQ(changes, 2);
  SetCell("Small", "bad");
  EXPECT_EQ(changes, 3) << "also after rejected text";
}

TEST_F(Inspector, RefusedTextShowsTheHeldValueAndSaysWhy) {
  TMSystem* model = main_.tbNewClick();
  main_.miBoneClick();
  TBone* bone = model->MechanicalSystem->Bone(1);
  SetCell("Length", "abc");
  EXPECT_EQ(bone->Length, 0.3L);
  EXPECT_EQ(Cell("Length"), "0.3") << "the cell shows what the model holds";
  EXPECT_EQ(main_.StatusPanel1->text(), "'abc' is not a valid floating point value");

  // While the user types, the editor keeps the text; when it closes, the held value is back.
  const int row = RowOf("Mass");
  Grid().setCurrentCell(row, 1);
  Grid().editItem(Grid().item(row, 1));
  auto* editor = Grid().viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "4x");
  EXPECT_EQ(editor->text(), "4x");
  EXPECT_EQ(bone->Mass, 4.0L) << "the last valid text was stored";
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the editor closes after the key
  EXPECT_EQ(Cell("Mass"), "4");
  EXPECT_EQ(bone->Mass, 4.0L);
}

TEST_F(Inspector, UsedNamesAndCharactersBeyondLatin1AreRefused) {
  TMSystem* model = main_.tbNewClick();
  main_.miBoneClick();
  main_.miBoneClick();
  TBone* second = model->MechanicalSystem->Bone(2);
  SetCell("Name", "Bone1");
  EXPECT_EQ(second->Descr, "Bone2");
  EXPECT_EQ(Cell("Name"), "Bone2");
  EXPECT_EQ(main_.cbObjects->currentText(), "Bone: Bone2");
  EXPECT_EQ(main_.StatusPanel1->text(), "The name \"Bone1\" is already used by another Bone.");

  SetCell("Name", QString::fromUtf8("Brachialis \u03b1"));
  EXPECT_EQ(second->Descr, "Bone2");
  EXPECT_EQ(Cell("Name"), "Bone2");
  EXPECT_EQ(main_.cbObjects->itemText(1), "Bone: Bone2");
  EXPECT_EQ(main_.StatusPanel1->text(),
            QString::fromUtf8("\"Brachialis \u03b1\" has characters that a project file cannot "
                              "store"));

  // Latin-1 letters are kept byte for byte and shown as typed.
  SetCell("Name", QString::fromUtf8("Brachialis \u00e9"));
  EXPECT_EQ(second->Descr, "Brachialis \xe9");
  EXPECT_EQ(main_.cbObjects->currentText(), QString::fromUtf8("Bone: Brachialis \u00e9"));
  EXPECT_EQ(Cell("Name"), QString::fromUtf8("Brachialis \u00e9"));
}

}  // namespace
}  // namespace sarvanta
