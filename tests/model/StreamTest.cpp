// The component stream's writer, reader and registry, driven by a small test class.
#include "model/Stream.h"

#include "base/Exception.h"

#include "model/StreamBytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace sarvanta {
namespace {

using streamtest::Bytes;

// A streamable class with one value of every kind, a list of floats and a list of children.
class TStreamTestItem : public TStreamComponent {
 public:
  using TStreamComponent::TStreamComponent;
  const TClassInfo& ClassInfo() const override;

  int32_t Count = 0;
  long double Value = 0;
  std::string Descr;
  bool Flag = false;
  int Mode = 0;
  std::vector<long double> Items;
  std::vector<TStreamTestItem*> Children;
};

TStreamTestItem& Item(TStreamComponent& c) { return static_cast<TStreamTestItem&>(c); }
const TStreamTestItem& Item(const TStreamComponent& c) {
  return static_cast<const TStreamTestItem&>(c);
}

const TClassInfo& TStreamTestItem::ClassInfo() const {
  static const TClassInfo info = [] {
    TClassInfo i;
    i.ClassName = "TStreamTestItem";
    TPropertyInfo descr;
    descr.Name = "Descr";
    descr.Type = TPropType::String;
    descr.GetString = [](const TStreamComponent& c) { return Item(c).Descr; };
    descr.SetString = [](TStreamComponent& c, const std::string& v) { Item(c).Descr = v; };
    TPropertyInfo count;
    count.Name = "Count";
    count.Type = TPropType::Integer;
    count.MinValue = INT32_MIN;
    count.MaxValue = INT32_MAX;
    count.GetInt = [](const TStreamComponent& c) { return Item(c).Count; };
    count.SetInt = [](TStreamComponent& c, int64_t v) { Item(c).Count = static_cast<int32_t>(v); };
    TPropertyInfo value;
    value.Name = "Value";
    value.Type = TPropType::Extended;
    value.GetFloat = [](const TStreamComponent& c) { return Item(c).Value; };
    value.SetFloat = [](TStreamComponent& c, long double v) { Item(c).Value = v; };
    TPropertyInfo flag;
    flag.Name = "Flag";
    flag.Type = TPropType::Boolean;
    flag.GetInt = [](const TStreamComponent& c) { return Item(c).Flag ? 1 : 0; };
    flag.SetInt = [](TStreamComponent& c, int64_t v) { Item(c).Flag = v != 0; };
    TPropertyInfo mode;
    mode.Name = "Mode";
    mode.Type = TPropType::Enum;
    mode.EnumNames = {"mdOff", "mdOn"};
    mode.GetInt = [](const TStreamComponent& c) { return Item(c).Mode; };
    mode.SetInt = [](TStreamComponent& c, int64_t v) { Item(c).Mode = static_cast<int>(v); };
    i.Properties = {descr, count, value, flag, mode};

    TBlockInfo items;
    items.Name = "Items";
    items.ShouldWrite = [](const TStreamComponent& c) { return !Item(c).Items.empty(); };
    items.Write = [](const TStreamComponent& c, TWriter& w) {
      w.WriteListBegin();
      for (long double v : Item(c).Items) w.WriteFloat(v);
      w.WriteListEnd();
    };
    items.Read = [](TStreamComponent& c, TReader& r) {
      r.ReadListBegin();
      while (!r.EndOfList()) Item(c).Items.push_back(r.ReadFloat());
      r.ReadListEnd();
    };
    TBlockInfo children;
    children.Name = "Children";
    children.ShouldWrite = [](const TStreamComponent& c) { return !Item(c).Children.empty(); };
    children.Write = [](const TStreamComponent& c, TWriter& w) {
      w.WriteListBegin();
      for (const TStreamTestItem* child : Item(c).Children) w.WriteComponent(*child);
      w.WriteListEnd();
    };
    children.Read = [](TStreamComponent& c, TReader& r) {
      r.ReadListBegin();
      while (!r.EndOfList())
        Item(c).Children.push_back(static_cast<TStreamTestItem*>(r.ReadComponentCreate(&c)));
      r.ReadListEnd();
    };
    i.Blocks = {items, children};
    return i;
  }();
  return info;
}

const bool registered = [] {
  RegisterClass("TStreamTestItem", [](TComponent* owner) { return new TStreamTestItem(owner); });
  return true;
}();

std::string Write(const TStreamComponent& c) {
  std::string out;
  TWriter w(out);
  w.WriteSignature();
  w.WriteComponent(c);
  return out;
}

std::unique_ptr<TStreamTestItem> Read(const std::string& bytes) {
  auto item = std::make_unique<TStreamTestItem>();
  TReader r(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  r.ReadSignature();
  r.ReadComponent(*item);
  return item;
}

std::string ReadErrorOf(const std::string& bytes) {
  try {
    Read(bytes);
  } catch (const EReadError& e) {
    return e.what();
  }
  return "";
}

// A full item with every value, a long description and one child.
std::unique_ptr<TStreamTestItem> FullItem() {
  auto item = std::make_unique<TStreamTestItem>();
  item->Tag = 4;
  item->Descr = std::string(300, 'x') + "\xE9";
  item->Count = -70000;
  item->Value = 0.3L;
  item->Flag = true;
  item->Mode = 1;
  item->Items = {2.0L, -1e-4000L, 1.0L / 3.0L};
  auto* child = new TStreamTestItem(item.get());
  child->Descr = "child";
  item->Children.push_back(child);
  return item;
}

TEST(StreamWriter, WritesTheDocumentedBytes) {
  std::string out;
  TWriter w(out);
  w.WriteShortString("Tag");
  w.WriteInteger(1);
  EXPECT_EQ(out, Bytes({0x03, 'T', 'a', 'g', 0x02, 0x01}));

  out.clear();
  w.WriteFloat(0.3L);
  EXPECT_EQ(out, Bytes({5, 0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0xFD, 0x3F}));
  out.clear();
  w.WriteFloat(2.0L);
  EXPECT_EQ(out, Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x40}));

  struct IntCase {
    int64_t value;
    std::string bytes;
  };
  for (const IntCase& c :
       std::vector<IntCase>{{-1, Bytes({2, 0xFF})},
                            {127, Bytes({2, 0x7F})},
                            {-128, Bytes({2, 0x80})},
                            {128, Bytes({3, 0x80, 0x00})},
                            {200, Bytes({3, 0xC8, 0x00})},
                            {-32769, Bytes({4, 0xFF, 0x7F, 0xFF, 0xFF})},
                            {int64_t{1} << 32, Bytes({19, 0, 0, 0, 0, 1, 0, 0, 0})}}) {
    out.clear();
    w.WriteInteger(c.value);
    EXPECT_EQ(out, c.bytes) << c.value;
  }

  out.clear();
  w.WriteString(std::string(255, 'a'));
  EXPECT_EQ(out.substr(0, 2), Bytes({6, 255}));
  out.clear();
  w.WriteString(std::string(256, 'a'));
  EXPECT_EQ(out.substr(0, 5), Bytes({12, 0x00, 0x01, 0x00, 0x00}));
  EXPECT_EQ(out.size(), 5u + 256u);
  EXPECT_THROW(w.WriteShortString(std::string(256, 'n')), Exception);
}

TEST(StreamWriter, WritesARecordInTableOrderSkippingZeroFloatsAndEmptyStrings) {
  TStreamTestItem empty;
  std::string expected = "TPF0" + Bytes({15}) + "TStreamTestItem" + Bytes({0}) +  //
                         Bytes({5}) + "Count" + Bytes({2, 0}) +                   //
                         Bytes({4}) + "Flag" + Bytes({8}) +                       //
                         Bytes({4}) + "Mode" + Bytes({7, 5}) + "mdOff" + Bytes({0, 0});
  EXPECT_EQ(Write(empty), expected);
}

TEST(StreamReader, ReadsBackWhatWasWrittenAndWritesTheSameBytes) {
  auto item = FullItem();
  std::string bytes = Write(*item);
  auto copy = Read(bytes);
  EXPECT_EQ(copy->Tag, 4);
  EXPECT_EQ(copy->Descr, item->Descr);
  EXPECT_EQ(copy->Count, -70000);
  EXPECT_EQ(copy->Value, 0.3L);
  EXPECT_TRUE(copy->Flag);
  EXPECT_EQ(copy->Mode, 1);
  EXPECT_EQ(copy->Items, item->Items);
  ASSERT_EQ(copy->Children.size(), 1u);
  EXPECT_EQ(copy->Children[0]->Owner(), copy.get());
  EXPECT_EQ(copy->Children[0]->Descr, "child");
  EXPECT_EQ(Write(*copy), bytes);
}

TEST(StreamReader, AcceptsIntegerTagsForFloatsAndSkipsEveryValueKind) {
  std::string bytes = Bytes({3, 0x10, 0x27, 19, 1, 0, 0, 0, 0, 0, 0, 0});
  TReader r(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  EXPECT_EQ(r.ReadFloat(), 10000.0L);
  EXPECT_EQ(r.ReadInteger(), 1);
  EXPECT_TRUE(r.AtEnd());

  std::string values = Bytes({1, 2, 5, 9, 0}) +               // list with int8 and true
                       Bytes({10, 2, 0, 0, 0, 0xAA, 0xBB}) +  // binary
                       Bytes({11, 2}) + "a1" + Bytes({0}) +   // set
                       Bytes({18, 1, 0, 0, 0, 'x', 0}) +      // wide string
                       Bytes({15, 0, 0, 0, 0, 16, 1, 2, 3, 4, 5, 6, 7, 8}) +
                       Bytes({14, 2, 0, 1, 1}) + "A" + Bytes({8, 0, 0});  // collection
  TReader s(reinterpret_cast<const uint8_t*>(values.data()), values.size());
  for (int i = 0; i < 7; ++i) s.SkipValue();
  EXPECT_TRUE(s.AtEnd());
}

TEST(StreamReader, RejectsBadFilesWithTheProblemAndItsOffset) {
  std::string good = Write(*FullItem());
  const std::string head = "TPF0" + Bytes({15}) + "TStreamTestItem" + Bytes({0});
  struct BadCase {
    std::string bytes;
    std::string message;
  };
  for (const BadCase& c : std::vector<BadCase>{
           {"TPF1" + good.substr(4), "Wrong signature (not a component stream \"TPF0\") at byte 0"},
           {"TP", "Wrong signature"},
           {head + Bytes({3}) + "Foo" + Bytes({2, 1, 0, 0}),
            "Unknown property \"Foo\" of TStreamTestItem at byte 21"},
           {head + Bytes({5}) + "Count" + Bytes({6, 0, 0, 0}),
            "Expected an integer but found string at byte 27"},
           {head + Bytes({5}) + "Count" + Bytes({19, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}),
            "TStreamTestItem.Count is 4294967296: it must be between -2147483648 and 2147483647 at "
            "byte 27"},
           {head + Bytes({4}) + "Flag" + Bytes({2, 1, 0, 0}), "Expected a boolean"},
           {head + Bytes({4}) + "Mode" + Bytes({7, 2}) + "md" + Bytes({0, 0}),
            "Unknown value \"md\" of Mode"},
           {head + Bytes({5}) + "Descr" + Bytes({12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}),
            "Stream ends early"},
           {head + Bytes({5}) + "Value" + Bytes({23, 0, 0}),
            "Expected a floating point value but found unknown value type 23"},
           {head + Bytes({8}) + "Children" + Bytes({1, 5}) + "TNone" + Bytes({0, 0, 0, 0, 0, 0}),
            "Class \"TNone\" is not registered at byte 31"},
           {head + Bytes({0, 1, 0}), "Child components are not supported"},
           {"TPF0" + Bytes({0xF1}) + good.substr(4),
            "Inherited or inline component records are not supported at byte 4"},
       }) {
    EXPECT_NE(ReadErrorOf(c.bytes).find(c.message), std::string::npos)
        << "got: " << ReadErrorOf(c.bytes) << "\nwanted: " << c.message;
  }
  for (size_t length = 0; length < good.size(); ++length)
    EXPECT_NE(ReadErrorOf(good.substr(0, length)), "") << "prefix of " << length << " bytes";
}

TEST(StreamReader, BoundsNestingDepth) {
  // Children within children far deeper than any real file.
  std::string bytes = "TPF0";
  const std::string open =
      Bytes({15}) + "TStreamTestItem" + Bytes({0, 8}) + "Children" + Bytes({1});
  for (int i = 0; i < 1000; ++i) bytes += open;
  EXPECT_NE(ReadErrorOf(bytes).find("Nesting deeper than"), std::string::npos);

  std::string lists(100000, '\x01');
  TReader r(reinterpret_cast<const uint8_t*>(lists.data()), lists.size());
  EXPECT_THROW(r.SkipValue(), EReadError);
}

TEST(StreamReader, KeepsObjectsReadBeforeAFailure) {
  auto item = FullItem();
  item->Children.push_back(new TStreamTestItem(item.get()));
  std::string bytes = Write(*item);
  bytes.resize(bytes.size() - 8);  // the second child is cut short
  auto into = std::make_unique<TStreamTestItem>();
  TReader r(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  r.ReadSignature();
  EXPECT_THROW(r.ReadComponent(*into), EReadError);
  EXPECT_EQ(into->Descr, item->Descr);
  EXPECT_EQ(into->ComponentCount(), 2);
}

// A record read with no owner belongs to the caller when it is whole and is freed when it is
// bad (the sanitizer run's leak check sees the difference).
TEST(StreamReader, CreatesUnownedComponentsWithoutLeakingBadOnes) {
  auto item = FullItem();
  std::string bytes = Write(*item);
  TReader whole(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  whole.ReadSignature();
  std::unique_ptr<TStreamComponent> read(whole.ReadComponentCreate(nullptr));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Owner(), nullptr);
  EXPECT_EQ(Item(*read).Descr, item->Descr);

  bytes.resize(bytes.size() - 3);
  TReader cut(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  cut.ReadSignature();
  EXPECT_THROW(cut.ReadComponentCreate(nullptr), EReadError);
}

TEST(StreamRegistry, CreatesRegisteredClassesOnly) {
  EXPECT_TRUE(IsClassRegistered("TStreamTestItem"));
  EXPECT_FALSE(IsClassRegistered("TNoSuchClass"));
  TStreamTestItem owner;
  EXPECT_EQ(CreateRegisteredComponent("TNoSuchClass", &owner), nullptr);
  TStreamComponent* created = CreateRegisteredComponent("TStreamTestItem", &owner);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->Owner(), &owner);
}

}  // namespace
}  // namespace sarvanta
