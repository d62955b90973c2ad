#include "IMPN/iIMPN_Selection.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct StateOnly {
  IMPN_ButtonState state;
  IMPN_ButtonState GetSelectedState() const { return state; }
};
}  // namespace

// After its children chose their recent runs a job or signature is mixed only when a child
// is; children partly on and partly off leave it off.
TEST(RecentRunState, OfAJobOrSignatureFollowsItsChildren) {
  IMPN_ButtonState const on = kIMPN_ButtonOn, off = kIMPN_ButtonOff, mixed = kIMPN_ButtonMixed;
  struct Case {
    std::vector<IMPN_ButtonState> children;
    IMPN_ButtonState expected;
  } const cases[] = {
      {{}, off},         {{on}, on},           {{on, on}, on},        {{on, off}, off},
      {{off, off}, off}, {{on, mixed}, mixed}, {{off, mixed}, mixed},
  };
  for (Case const& c : cases) {
    std::vector<StateOnly> nodes;
    for (IMPN_ButtonState s : c.children)
      nodes.push_back({s});
    std::vector<StateOnly const*> children;
    for (StateOnly const& n : nodes)
      children.push_back(&n);
    EXPECT_EQ(iIMPN_RecentSelectionState(children), c.expected) << c.children.size();
  }
}
