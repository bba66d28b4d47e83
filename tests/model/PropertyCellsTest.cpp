// Cell text of property rows and the write-back of edited text, per kind.
#include "model/PropertyCells.h"

#include "base/Exception.h"
#include "model/Bone.h"
#include "model/Joint.h"
#include "model/MechanicalSystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sarvanta {
namespace {

TEST(PropertyCells, FloatRowsKeepTheLastValidValue) {
  long double extended = 0.1L;
  const TProperty row("X", ValueOf(extended), PropertyKind::Extended);
  EXPECT_EQ(*CellText(row), "0.1");
  for (const char* bad : {"abc", "", "1e", "1.5.2", "0x10", "inf", "nan", "1,5"}) {
    EXPECT_FALSE(StoreCellText(row, bad)) << bad;
    EXPECT_EQ(extended, 0.1L) << bad;
  }
  EXPECT_TRUE(StoreCellText(row, " -2.5E3 "));
  EXPECT_EQ(extended, -2500.0L);
  EXPECT_EQ(*CellText(row), "-2500");

  // A 64-bit float row cannot take what overflows a double.
  double single = 1.0;
  const TProperty doubleRow("D", ValueOf(single), PropertyKind::Double);
  EXPECT_FALSE(StoreCellText(doubleRow, "1e400"));
  EXPECT_EQ(single, 1.0);
  EXPECT_TRUE(StoreCellText(doubleRow, "0.3"));
  EXPECT_EQ(single, 0.3);
}

TEST(PropertyCells, IntegerRowsAcceptOnlyWhatTheFieldHolds) {
  uint8_t byte = 7;
  const TProperty byteRow("FixedEdges", ValueOf(byte), PropertyKind::SmallInt);
  EXPECT_TRUE(StoreCellText(byteRow, "3"));
  EXPECT_EQ(byte, 3);
  EXPECT_EQ(*CellText(byteRow), "3");
  for (const char* bad : {"256", "-1", "3.5", "x", ""}) {
    EXPECT_FALSE(StoreCellText(byteRow, bad)) << bad;
    EXPECT_EQ(byte, 3) << bad;
  }

  int16_t small = 0;
  const TProperty smallRow("S", ValueOf(small), PropertyKind::SmallInt);
  EXPECT_TRUE(StoreCellText(smallRow, "-32768"));
  EXPECT_EQ(small, -32768);
  EXPECT_FALSE(StoreCellText(smallRow, "32768"));
  EXPECT_EQ(small, -32768);

  int32_t wide = 0;
  const TProperty wideRow("W", ValueOf(wide), PropertyKind::Integer);
  EXPECT_TRUE(StoreCellText(wideRow, "2147483647"));
  EXPECT_EQ(wide, 2147483647);
  EXPECT_FALSE(StoreCellText(wideRow, "2147483648"));
  EXPECT_EQ(*CellText(wideRow), "2147483647");
}

TEST(PropertyCells, BooleanIsTrueExactlyWhenTheTextStartsWithT) {
  bool flag = false;
  const TProperty row("B", ValueOf(flag), PropertyKind::Boolean);
  for (const char* yes : {"t", "True", "TRUE", "tomato"}) {
    flag = false;
    EXPECT_TRUE(StoreCellText(row, yes));
    EXPECT_TRUE(flag) << yes;
    EXPECT_EQ(*CellText(row), "true");
  }
  for (const char* no : {"", "false", "yes", " true", "1"}) {
    flag = true;
    EXPECT_TRUE(StoreCellText(row, no));
    EXPECT_FALSE(flag) << no;
    EXPECT_EQ(*CellText(row), "false");
  }
}

TEST(PropertyCells, ArrayTextIsReadUpToTheLastSemicolon) {
  EXPECT_EQ(ParseFloatList("1;2;3"), (std::vector<long double>{1, 2}));
  EXPECT_EQ(ParseFloatList("1;2;3;"), (std::vector<long double>{1, 2, 3}));
  EXPECT_EQ(ParseFloatList("0.5;1.5"), (std::vector<long double>{0.5L}));
  EXPECT_TRUE(ParseFloatList("").empty());
  EXPECT_TRUE(ParseFloatList("7").empty());
  EXPECT_THROW(ParseFloatList(";"), EConvertError);  // an empty item is not a number

  std::vector<long double> values{9};
  const TProperty row("Lenght", ValueOf(values), PropertyKind::FloatArray);
  EXPECT_TRUE(StoreCellText(row, "0.5;1.5"));
  EXPECT_EQ(values, (std::vector<long double>{0.5L}));
  EXPECT_FALSE(StoreCellText(row, "1;x;2;"));
  EXPECT_EQ(values, (std::vector<long double>{0.5L}));

  // Shown with 5 significant digits, each value followed by ";", and read back alike.
  values = {1, 2.5L, 1.0L / 3, -1234567};
  EXPECT_EQ(*CellText(row), "1;2.5;0.33333;-1.2346E6;");
  EXPECT_TRUE(StoreCellText(row, *CellText(row)));
  EXPECT_EQ(values.size(), 4u);
  EXPECT_EQ(values[2], 0.33333L);
  values.clear();
  EXPECT_EQ(*CellText(row), "");
}

TEST(PropertyCells, StringRowsCopyAndValuelessKindsShowNothing) {
  std::string text = "old";
  const TProperty row("Name", ValueOf(text), PropertyKind::String);
  EXPECT_TRUE(StoreCellText(row, "new;1"));
  EXPECT_EQ(text, "new;1");
  const TProperty textRow("Note", ValueOf(text), PropertyKind::Text);
  EXPECT_TRUE(StoreCellText(textRow, ""));
  EXPECT_EQ(text, "");

  long double hidden = 5;
  for (int32_t kind : {PropertyKind::Opaque, PropertyKind::None, 0, 128, 3}) {
    const TProperty other("X", ValueOf(hidden), kind);
    EXPECT_EQ(*CellText(other), "") << kind;
    EXPECT_FALSE(StoreCellText(other, "7")) << kind;
    EXPECT_EQ(hidden, 5) << kind;
  }
  const TProperty impulses("Impulses", std::monostate{}, PropertyKind::Opaque);
  EXPECT_FALSE(CellText(impulses).has_value());
}

TEST(PropertyCells, DateTimeTextRoundTrips) {
  EXPECT_EQ(DateTimeToStr(0), "1899-12-30");
  EXPECT_EQ(DateTimeToStr(36526.5), "2000-01-01 12:00:00");
  EXPECT_EQ(StrToDateTime("2000-01-01 12:00:00"), 36526.5);
  EXPECT_EQ(StrToDateTime("2024-02-29"), 45351.0);
  for (const char* bad : {"2023-02-29", "2000-13-01", "2000-01-01 24:00", "yesterday", ""})
    EXPECT_THROW(StrToDateTime(bad), EConvertError) << bad;

  double stamp = 1.25;
  const TProperty row("When", ValueOf(stamp), PropertyKind::DateTime);
  EXPECT_EQ(*CellText(row), "1899-12-31 06:00:00");
  EXPECT_FALSE(StoreCellText(row, "noon"));
  EXPECT_EQ(stamp, 1.25);
  EXPECT_TRUE(StoreCellText(row, "1900-01-01 18:00"));
  EXPECT_EQ(stamp, 2.75);
}

TEST(PropertyCells, ReferenceRowsPickFromTheirListByName) {
  TMechanicalSystem system;
  auto* joint = new TJoint(&system, "Elbow");
  auto* other = new TJoint(&system, "Wrist");
  auto* bone = new TBone(&system, "Humerus");
  auto description = bone->ObjectDescription("Humerus");
  const TProperty& from = *description->FindRow("FromJoint");
  ASSERT_EQ(from.List, &system.Joints);

  EXPECT_EQ(*CellText(from), "");
  EXPECT_TRUE(StoreCellText(from, "elbow"));  // names compare without case
  EXPECT_EQ(bone->FromJnt, joint);
  EXPECT_EQ(*CellText(from), "Elbow");
  EXPECT_FALSE(StoreCellText(from, "Knee"));
  EXPECT_EQ(bone->FromJnt, joint);
  // The empty placeholder name picks "none".
  EXPECT_TRUE(StoreCellText(from, ""));
  EXPECT_EQ(bone->FromJnt, nullptr);

  // A list entry of another class is refused.
  TStringList mixed;
  mixed.Add("Bone", bone);
  mixed.Add("Wrist", other);
  TProperty strict("FromJoint", ReferenceOf(bone->FromJnt), PropertyKind::Reference);
  strict.List = &mixed;
  EXPECT_FALSE(StoreCellText(strict, "Bone"));
  EXPECT_EQ(bone->FromJnt, nullptr);
  EXPECT_TRUE(StoreCellText(strict, "Wrist"));
  EXPECT_EQ(bone->FromJnt, other);
}

TEST(PropertyCells, IndexRowsShowRealEntriesOnlyAndStoreMinusOneForUnknownText) {
  TStringList modes;
  for (const char* name : {"", "By X", "By Y"}) modes.Add(name);
  int32_t mode = 1;
  TProperty row("Mode", ValueOf(mode), PropertyKind::ListIndex);
  row.List = &modes;
  EXPECT_EQ(*CellText(row), "By X");
  for (int32_t index : {0, -1, 3, 100}) {
    mode = index;
    EXPECT_FALSE(CellText(row).has_value()) << index;
  }
  EXPECT_TRUE(StoreCellText(row, "by y"));
  EXPECT_EQ(mode, 2);
  EXPECT_TRUE(StoreCellText(row, "Sideways"));
  EXPECT_EQ(mode, -1);
  row.List = nullptr;
  EXPECT_FALSE(CellText(row).has_value());
}

TEST(PropertyCells, NameRowRenamesTheDescriptionAndTheObject) {
  TMechanicalSystem system;
  auto* bone = new TBone(&system, "Bone1");
  auto description = bone->ObjectDescription("Bone1");
  EXPECT_EQ(description->EntryText(), "Bone: Bone1");
  const TProperty& name = *description->FindRow("Name");

  EXPECT_TRUE(WriteCell(*description, "Name", name, "Ulna").Renamed);
  EXPECT_EQ(bone->Descr, "Ulna");
  EXPECT_EQ(description->EntryText(), "Bone: Ulna");
  // The system's list keeps the old name until its lists are rebuilt.
  EXPECT_EQ(system.Bones.Strings(1), "Bone1");
  system.UpdateLists();
  EXPECT_EQ(system.Bones.Strings(1), "Ulna");

  // A row whose shown name no longer reads "Name" stores the value but renames nothing.
  EXPECT_FALSE(WriteCell(*description, "Nam", name, "Radius").Renamed);
  EXPECT_EQ(bone->Descr, "Radius");
  EXPECT_EQ(description->Name, "Ulna");

  const TProperty& length = *description->FindRow("Length");
  EXPECT_FALSE(WriteCell(*description, "Length", length, "0.25").Renamed);
  EXPECT_EQ(bone->Length, 0.25L);
}

TEST(PropertyCells, RefusedTextSaysWhyAndKeepsTheValue) {
  TMechanicalSystem system;
  auto* bone = new TBone(&system, "Bone1");
  auto description = bone->ObjectDescription("Bone1");
  const struct {
    const char* row;
    const char* text;
    const char* refusal;
  } cases[] = {
      {"Length", "abc", "'abc' is not a valid floating point value"},
      {"Length", "", "'' is not a valid floating point value"},
      {"Length", "0.25", ""},
      {"FixedEdges", "x1", "'x1' is not a valid integer value"},
      {"FixedEdges", "99999999999", "'99999999999' is out of the range this value can hold"},
  };
  for (const auto& c : cases) {
    const TProperty& row = *description->FindRow(c.row);
    const TCellWrite write = WriteCell(*description, c.row, row, c.text);
    EXPECT_EQ(write.Refusal, c.refusal) << c.row << " " << c.text;
    EXPECT_FALSE(write.Renamed);
  }
  EXPECT_EQ(bone->Length, 0.25L) << "only the accepted text was stored";
}

TEST(PropertyCells, ANameUsedInTheSameListIsRefused) {
  TMechanicalSystem system;
  auto* first = new TBone(&system, "Humerus");
  auto* second = new TBone(&system, "Bone2");
  new TJoint(&system, "Elbow");
  auto description = second->ObjectDescription("Bone2");
  const TProperty& name = *description->FindRow("Name");

  const TCellWrite taken = WriteCell(*description, "Name", name, "Humerus");
  EXPECT_EQ(taken.Refusal, "The name \"Humerus\" is already used by another Bone.");
  EXPECT_FALSE(taken.Renamed);
  EXPECT_EQ(second->Descr, "Bone2");
  EXPECT_EQ(description->Name, "Bone2");
  // Whatever the row's shown caption, the name row does not take a used name.
  EXPECT_FALSE(WriteCell(*description, "Label", name, "Humerus").Refusal.empty());
  EXPECT_EQ(second->Descr, "Bone2");

  // A joint's name, and the object's own name, are free for a bone.
  EXPECT_TRUE(WriteCell(*description, "Name", name, "Elbow").Refusal.empty());
  EXPECT_EQ(second->Descr, "Elbow");
  EXPECT_EQ(NameRefusal(*second, "Elbow", "Bone"), "");
  EXPECT_EQ(NameRefusal(*first, "Elbow", "Bone"),
            "The name \"Elbow\" is already used by another Bone.");
}

TEST(PropertyCells, EditButtonOnlyAboveKind256) {
  TEditCallback edit = [](TInspectedObject*) {};
  std::string text;
  TProperty name("Name", ValueOf(text), PropertyKind::String);
  name.OnEdit = edit;
  EXPECT_FALSE(name.HasEditButton());
  TProperty impulses("Impulses", std::monostate{}, PropertyKind::Opaque);
  EXPECT_FALSE(impulses.HasEditButton());
  impulses.OnEdit = edit;
  EXPECT_TRUE(impulses.HasEditButton());
}

}  // namespace
}  // namespace sarvanta
