#include "base/Component.h"
#include "base/StringList.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace sarvanta;

namespace {

// Records its notifications; counts destructions of its children.
class TRecorder : public TComponent {
 public:
  using TComponent::TComponent;
  ~TRecorder() override { DestroyComponents(); }
  std::vector<std::pair<TOperation, int32_t>> Heard;

 protected:
  void Notification(TComponent* c, TOperation op) override { Heard.emplace_back(op, c->Tag); }
};

class TCounted : public TComponent {
 public:
  TCounted(TComponent* owner, int32_t tag, int* destroyed) : destroyed_(destroyed) {
    Tag = tag;  // set before the owner hears of it
    JoinOwner(owner);
  }
  ~TCounted() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

}  // namespace

TEST(Component, OwnerHearsInsertAndRemoveAndFreesChildren) {
  int destroyed = 0;
  auto* owner = new TRecorder;
  auto* a = new TCounted(owner, 1, &destroyed);
  new TCounted(owner, 4, &destroyed);
  ASSERT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(0), a);
  EXPECT_EQ(a->Owner(), owner);
  ASSERT_EQ(owner->Heard.size(), 2u);
  EXPECT_EQ(owner->Heard[0], std::make_pair(TOperation::opInsert, 1));

  delete a;  // leaves its owner
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Heard.back(), std::make_pair(TOperation::opRemove, 1));
  EXPECT_EQ(destroyed, 1);

  delete owner;
  EXPECT_EQ(destroyed, 2);
}

TEST(StringList, FindsByTextAndObjectAndOwnsWhenAsked) {
  int destroyed = 0;
  TStringList list(true);
  list.Add("");
  auto* bone = new TCounted(nullptr, 1, &destroyed);
  list.Add("Bone1", bone);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.IndexOf("bone1"), 1);  // case-insensitive by default
  list.CaseSensitive = true;
  EXPECT_EQ(list.IndexOf("bone1"), -1);
  EXPECT_EQ(list.IndexOf(""), 0);
  EXPECT_EQ(list.IndexOfObject(bone), 1);
  EXPECT_EQ(list.IndexOfObject(nullptr), 0);
  EXPECT_THROW(list.Strings(2), std::exception);
  list.Delete(1);
  EXPECT_EQ(destroyed, 1);
  list.Add("x", new TCounted(nullptr, 0, &destroyed));
  list.Clear();
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(list.Count(), 0);
}
