#include "IMPN/IMPN_ChildList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
// A child that counts how many of its kind are alive.
struct Child {
  explicit Child(int k) : key(k) { ++sm_Alive; }
  ~Child() { --sm_Alive; }
  int key;
  static int sm_Alive;
};
int Child::sm_Alive = 0;

std::vector<int> Keys(IMPN_ChildList<Child> const& list) {
  std::vector<int> keys;
  for (Child* child : list)
    keys.push_back(child->key);
  return keys;
}

Child* AddKey(IMPN_ChildList<Child>& list, int key) {
  return list.FindOrAppend([key](Child const& c) { return c.key == key; },
                           [key] { return std::make_unique<Child>(key); });
}
}  // namespace

TEST(IMPN_ChildList, FindsTheFirstMatchOrAppendsInOrderOfArrival) {
  {
    IMPN_ChildList<Child> list;
    EXPECT_TRUE(list.empty());
    Child* three = AddKey(list, 3);
    Child* one = AddKey(list, 1);
    EXPECT_EQ(AddKey(list, 3), three);  // found, nothing made
    EXPECT_EQ(Child::sm_Alive, 2);
    EXPECT_EQ(Keys(list), (std::vector<int>{3, 1}));
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1], one);
    EXPECT_EQ(list.FindFirst([](Child const& c) { return c.key < 5; }), three);
    EXPECT_EQ(list.FindFirst([](Child const& c) { return c.key > 5; }), nullptr);
  }
  EXPECT_EQ(Child::sm_Alive, 0);  // the list's end frees its children
}

TEST(IMPN_ChildList, RemovingAndClearingFreeExactlyTheChildrenTheyUnlist) {
  IMPN_ChildList<Child> list;
  for (int key : {1, 2, 3, 4, 5, 6})
    AddKey(list, key);
  list.RemoveIf([](Child const& c) { return c.key % 2 == 0 || c.key == 5; });
  EXPECT_EQ(Keys(list), (std::vector<int>{1, 3}));
  EXPECT_EQ(Child::sm_Alive, 2);
  list.RemoveIf([](Child const&) { return false; });
  EXPECT_EQ(Child::sm_Alive, 2);
  list.Clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(Child::sm_Alive, 0);
}
