#include "IMPN/IMPN_Node.h"
#include "IMPN/IMPN_Registry.h"
#include "TIFX/TIFX_KRXFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {
// A level of the tree that follows the general selection rules over its own children.
class TestNode : public IMPN_Node {
public:
  void Clear() override { children.clear(); }
  void SelectRecent() override {}
  void SelectChildren(IMPN_ButtonState state) override { SelectEachChild(children, state); }
  void UpdateParentSelections() override {
    ++updates;
    UpdateSelectionFromChildren(children);
  }
  void Print(long) override {}
  void Add(TIFX_KRXFile&) override { ++filesAdded; }

  TestNode* NewChild(IMPN_ButtonState state) {
    owned.push_back(std::make_unique<TestNode>());
    TestNode* child = owned.back().get();
    child->m_Parent = this;
    child->SetSelectedState(state);
    children.push_back(child);
    return child;
  }

  std::vector<TestNode*> children;
  std::vector<std::unique_ptr<TestNode>> owned;
  int updates = 0;
  int filesAdded = 0;
};

class OtherNode : public TestNode {};
}  // namespace

namespace {
// The stamp as the program starts: constant-initialised, so read here before any test ran.
std::uint32_t const kStampAtStart = IMPN_Registry::sm_NextTimeStamp;
}  // namespace

TEST(IMPN_Registry, TimeStampsStartAtOneAndIncrease) {
  EXPECT_EQ(kStampAtStart, 0u);  // so the first stamp handed out is 1
  // Other tests take stamps too: count on from wherever the process-wide stamp stands.
  std::uint32_t const now = IMPN_Registry::sm_NextTimeStamp;
  EXPECT_EQ(IMPN_Registry::GetNewTimeStamp(), static_cast<std::uint32_t>(now + 1));
  EXPECT_EQ(IMPN_Registry::GetNewTimeStamp(), static_cast<std::uint32_t>(now + 2));
  EXPECT_EQ(IMPN_Registry::sm_NextTimeStamp, static_cast<std::uint32_t>(now + 2));
}

TEST(IMPN_Node, CompareBySelectionRanksOnMixedOff) {
  TestNode on, off, mixed, odd;
  on.SetSelectedState(kIMPN_ButtonOn);
  off.SetSelectedState(kIMPN_ButtonOff);
  mixed.SetSelectedState(kIMPN_ButtonMixed);
  odd.SetSelectedState(static_cast<IMPN_ButtonState>(7));

  EXPECT_EQ(on.CompareTo(&off, IMPN_Node::kSelectionState), -2);
  EXPECT_EQ(off.CompareTo(&mixed, IMPN_Node::kSelectionState), 1);
  EXPECT_EQ(odd.CompareTo(&on, IMPN_Node::kSelectionState), -1);
  EXPECT_EQ(on.CompareTo(nullptr, IMPN_Node::kSelectionState), 0);
  for (auto key : {IMPN_Node::kIdentityOrder, IMPN_Node::kCountOrPrintOrder, IMPN_Node::kPrintTime,
                   IMPN_Node::kResolution})
    EXPECT_EQ(on.CompareTo(&off, key), 0);

  OtherNode other;
  EXPECT_EQ(on.CompareTo(&other, IMPN_Node::kSelectionState), 0);
  EXPECT_EQ(on.ToString(), "IMPN_Node");
}

TEST(IMPN_Node, ParentStateFollowsItsChildren) {
  struct Case {
    std::vector<IMPN_ButtonState> children;
    IMPN_ButtonState expected;
  };
  Case const cases[] = {
      {{}, kIMPN_ButtonOff},
      {{kIMPN_ButtonOn, kIMPN_ButtonOn, kIMPN_ButtonOff}, kIMPN_ButtonMixed},
      {{kIMPN_ButtonOn, kIMPN_ButtonOn}, kIMPN_ButtonOn},
      {{kIMPN_ButtonOff, kIMPN_ButtonMixed}, kIMPN_ButtonMixed},
      {{kIMPN_ButtonOff, kIMPN_ButtonOff}, kIMPN_ButtonOff},
  };
  for (Case const& c : cases) {
    TestNode root;
    TestNode* node = root.NewChild(kIMPN_ButtonOn);
    for (IMPN_ButtonState s : c.children)
      node->NewChild(s);
    node->UpdateParentSelections();
    EXPECT_EQ(node->GetSelectedState(), c.expected);
    EXPECT_EQ(root.updates, 1) << "the parent follows";
  }
}

TEST(IMPN_Node, SelectChildrenGoesDepthFirstAndIgnoresMixed) {
  TestNode root;
  TestNode* child = root.NewChild(kIMPN_ButtonOff);
  TestNode* grandChild = child->NewChild(kIMPN_ButtonOff);

  root.SelectChildren(kIMPN_ButtonMixed);
  EXPECT_EQ(grandChild->GetSelectedState(), kIMPN_ButtonOff);

  root.SelectChildren(kIMPN_ButtonOn);
  EXPECT_EQ(child->GetSelectedState(), kIMPN_ButtonOn);
  EXPECT_EQ(grandChild->GetSelectedState(), kIMPN_ButtonOn);
}

TEST(IMPN_Node, AddChildLinksTheParentThenAddsTheFile) {
  TestNode parent;
  TestNode child;
  TIFX_KRXFile file{GFIL_FileSpec()};  // never opened: the test level does not touch the file
  child.AddChild(file, &parent);
  EXPECT_EQ(child.GetParent(), &parent);
  EXPECT_EQ(child.filesAdded, 1);

  std::vector<IMPN_Sheet*> sheets(3, nullptr);
  child.GetAllSheets(sheets);
  EXPECT_TRUE(sheets.empty());
}
