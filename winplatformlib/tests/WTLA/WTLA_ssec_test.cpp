#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "WTLA/SplitterDrag.h"
#include "WTLA/ssec.h"
#include "support/WTLA_AssertCapture.h"

namespace {

using dockwins::CBounds;

struct TestItem {
  int m_Id;
  int m_Minimum;
};

struct TestMinimum {
  int operator()(const TestItem& item) const { return item.m_Minimum; }
};

using Container = dockwins::CSeparatorContainer<TestItem, TestMinimum>;

// Counts the failed invariant checks while a test runs.
class SeparatorTest : public AssertCapturingTest {
protected:
  // A row [low, hi] holding items of the given minimums at the given positions.
  static Container Row(CBounds bounds, const std::vector<int>& minimums,
                       const std::vector<int>& positions) {
    Container row;
    row.set_bounds(bounds);
    for (std::size_t i = 0; i < minimums.size(); ++i) {
      int pos = positions[i];
      row.insert(i, pos, TestItem{static_cast<int>(i), minimums[i]}, 0);
    }
    // Insertions push; put the positions exactly where the test wants them.
    row.restore_positions(std::deque<int>(positions.begin(), positions.end()));
    return row;
  }

  static std::vector<int> Positions(const Container& row) {
    std::vector<int> result;
    for (std::size_t i = 0; i < row.size(); ++i) {
      result.push_back(row[i].m_Position);
    }
    return result;
  }

  static std::vector<int> Ids(const Container& row) {
    std::vector<int> result;
    for (std::size_t i = 0; i < row.size(); ++i) {
      result.push_back(row[i].m_Item.m_Id);
    }
    return result;
  }

  // Ascending, the first at low, every item at least its minimum wide.
  static void ExpectSound(const Container& row) {
    if (row.empty()) {
      return;
    }
    EXPECT_EQ(row[0].m_Position, row.bounds().low);
    for (std::size_t i = 0; i < row.size(); ++i) {
      EXPECT_GE(row.high(i) - row.low(i), row.minimum(i) + dockwins::kSeparatorWidth)
          << "entry " << i;
    }
  }
};

TEST_F(SeparatorTest, FindAndSpansFollowThePositions) {
  Container row = Row({-5, 300}, {10, 10, 10}, {-5, 100, 200});
  EXPECT_EQ(row.find(-5), 0u);
  EXPECT_EQ(row.find(99), 0u);
  EXPECT_EQ(row.find(100), 1u);
  EXPECT_EQ(row.find(300), 2u);
  EXPECT_EQ(row.high(2), 300);
  EXPECT_EQ(row.distance_limit(0, 3), 45);
  EXPECT_TRUE(sm_Asserts.empty());
  // A position outside the bounds is a caller's fault.
  row.find(301);
  ASSERT_EQ(sm_Asserts.size(), 1u);
  EXPECT_EQ(sm_Asserts[0], L"m_bounds.bind(pos)==pos");
}

TEST_F(SeparatorTest, BoundsWithoutCentralItemRescale) {
  struct Case {
    CBounds m_Bounds;
    std::vector<int> m_Expected;
  };
  const Case cases[] = {
      {{-5, 395}, {-5, 128, 261}},  // grows by a third
      {{-5, 195}, {-5, 61, 128}},   // shrinks by a third
      {{95, 395}, {95, 195, 295}},  // moves without a change of size
      {{-5, 40}, {-5, 10, 25}},     // every item down to its minimum
  };
  for (const Case& c : cases) {
    Container row = Row({-5, 295}, {10, 10, 10}, {-5, 95, 195});
    row.set_bounds(c.m_Bounds);
    EXPECT_EQ(Positions(row), c.m_Expected) << c.m_Bounds.low << ".." << c.m_Bounds.hi;
    ExpectSound(row);
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(SeparatorTest, RescaleClampsToTheMinimumsOnBothSides) {
  // The middle item is large: scaling down would squeeze it, so the separator after it is held.
  Container row = Row({-5, 295}, {10, 150, 10}, {-5, 20, 200});
  row.set_bounds({-5, 195});
  ExpectSound(row);
  EXPECT_EQ(Positions(row), (std::vector<int>{-5, 11, 166}));
  // The last item's minimum caps the separator before it.
  Container tail = Row({-5, 295}, {10, 10, 100}, {-5, 250, 270});
  tail.set_bounds({-5, 245});
  ExpectSound(tail);
  EXPECT_EQ(tail.high(2) - tail.low(2), 105);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(SeparatorTest, CentralItemTakesGrowthAndShrinksFirst) {
  // Bar 0, the central item 1 (minimum 50), bar 2.
  struct Case {
    CBounds m_Bounds;
    std::vector<int> m_Expected;
  };
  const Case cases[] = {
      {{-5, 495}, {-5, 95, 395}},   // grows: only the central item widens
      {{-5, 265}, {-5, 95, 165}},   // shrinks within the central item's slack
      {{-5, 245}, {-5, 93, 148}},   // the slack (45) is used up, the rest scaled
      {{-5, 155}, {-5, 55, 110}},   // beyond the slack: the central item at its minimum, the rest
                                    // scaled
      {{45, 345}, {45, 145, 245}},  // moves
  };
  for (const Case& c : cases) {
    Container row = Row({-5, 295}, {40, 50, 40}, {-5, 95, 195});
    row.set_bounds(c.m_Bounds, 1);
    EXPECT_EQ(Positions(row), c.m_Expected) << c.m_Bounds.low << ".." << c.m_Bounds.hi;
    ExpectSound(row);
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(SeparatorTest, CentralItemAloneInAnEmptyRowTakesTheBounds) {
  Container row;
  int pos = 0;
  row.insert(0, pos, TestItem{0, 10}, 0);
  row.set_bounds({-5, 395}, 0);
  EXPECT_EQ(Positions(row), (std::vector<int>{-5}));
  EXPECT_EQ(row.high(0), 395);
  row.set_bounds({-5, -5 + 15}, 0);
  EXPECT_EQ(row.high(0), 10);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(SeparatorTest, DraggedSeparatorPushesOnlyNeighboursAtTheirMinimum) {
  struct Case {
    std::size_t m_Entry;
    int m_Pos;
    std::vector<int> m_Expected;
  };
  const Case cases[] = {
      {1, 150, {-5, 150, 200, 250}},  // free move
      {1, 190, {-5, 190, 205, 250}},  // pushes the next separator
      {1, 220, {-5, 220, 235, 250}},  // pushes the next one to the one after, which stays
      {2, 25, {-5, 10, 25, 250}},     // pushes the separator before it back
  };
  for (const Case& c : cases) {
    Container row = Row({-5, 300}, {10, 10, 10, 10}, {-5, 100, 200, 250});
    row.set_position(c.m_Entry, c.m_Pos);
    EXPECT_EQ(Positions(row), c.m_Expected) << c.m_Entry << "@" << c.m_Pos;
    ExpectSound(row);
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(SeparatorTest, InsertMakesRoomAtFrontMiddleAndEnd) {
  struct Case {
    std::size_t m_Index;
    int m_Pos;
    int m_Extent;
    std::vector<int> m_Expected;
    int m_Used;
  };
  const Case cases[] = {
      {0, 50, 60, {-5, 110, 125}, -5},     // at the front: the new entry takes low
      {1, 50, 60, {-5, 50, 110}, 50},      // in the middle: the next separator is pushed
      {2, 250, 100, {-5, 100, 195}, 195},  // at the end: moved back to fit
      {1, -50, 30, {-5, 10, 100}, 10},     // raised above the first item's minimum
  };
  for (const Case& c : cases) {
    Container row = Row({-5, 295}, {10, 10}, {-5, 100});
    int pos = c.m_Pos;
    row.insert(c.m_Index, pos, TestItem{9, 10}, c.m_Extent);
    EXPECT_EQ(pos, c.m_Used) << c.m_Index;
    EXPECT_EQ(Positions(row), c.m_Expected) << c.m_Index;
    ExpectSound(row);
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(SeparatorTest, InsertAtABarPositionGoesBeforeTheFirstEntryAtOrPastIt) {
  Container row = Row({-5, 295}, {10, 10}, {-5, 100});
  int pos = 100;
  EXPECT_EQ(row.insert_at(pos, TestItem{9, 10}, 50), 1u);
  EXPECT_EQ(Ids(row), (std::vector<int>{0, 9, 1}));
  EXPECT_EQ(Positions(row), (std::vector<int>{-5, 100, 150}));
  pos = 290;
  EXPECT_EQ(row.insert_at(pos, TestItem{8, 10}, 20), 3u);
  EXPECT_EQ(Positions(row), (std::vector<int>{-5, 100, 150, 275}));
  ExpectSound(row);
}

TEST_F(SeparatorTest, InsertBesideTheCentralItemTakesItsRoom) {
  // Central item 0 alone over [-5, 395].
  struct Case {
    std::size_t m_Index;
    int m_Pos;
    int m_Extent;
    std::vector<int> m_Ids;
    std::vector<int> m_Expected;
  };
  const Case cases[] = {
      {0, 0, 100, {9, 0}, {-5, 100}},    // before: the central item moves forward
      {1, 295, 100, {0, 9}, {-5, 295}},  // after, at the far edge
      {0, 0, 1000, {9, 0}, {-5, 345}},   // cut to the central item's slack
  };
  for (const Case& c : cases) {
    Container row;
    int start = 0;
    row.insert(0, start, TestItem{0, 45}, 0);
    row.set_bounds({-5, 395}, 0);
    int pos = c.m_Pos;
    row.insert_next_to_central(c.m_Index, 0, pos, TestItem{9, 10}, c.m_Extent);
    EXPECT_EQ(Ids(row), c.m_Ids);
    EXPECT_EQ(Positions(row), c.m_Expected);
    ExpectSound(row);
  }
  // A bar already after the central item moves back to make room for one beyond it.
  Container row = Row({-5, 395}, {45, 10}, {-5, 295});
  int pos = 300;
  row.insert_next_to_central(2, 0, pos, TestItem{9, 10}, 50);
  EXPECT_EQ(Positions(row), (std::vector<int>{-5, 245, 300}));
  ExpectSound(row);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(SeparatorTest, RemovedEntryLeavesItsSpaceToTheItemBefore) {
  struct Case {
    std::size_t m_Index;
    std::vector<int> m_Ids;
    std::vector<int> m_Expected;
  };
  const Case cases[] = {
      {0, {1, 2}, {-5, 200}},  // the first: the next takes low
      {1, {0, 2}, {-5, 200}},  // the middle: the item before widens
      {2, {0, 1}, {-5, 100}},  // the last: the item before reaches high
  };
  for (const Case& c : cases) {
    Container row = Row({-5, 295}, {10, 10, 10}, {-5, 100, 200});
    EXPECT_EQ(row.remove(c.m_Index).m_Id, static_cast<int>(c.m_Index));
    EXPECT_EQ(Ids(row), c.m_Ids);
    EXPECT_EQ(Positions(row), c.m_Expected);
  }
  Container row = Row({-5, 295}, {10}, {-5});
  row.remove(0);
  EXPECT_TRUE(row.empty());
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(SeparatorTest, ReplaceKeepsThePosition) {
  Container row = Row({-5, 295}, {10, 10}, {-5, 100});
  EXPECT_EQ(row.replace(1, TestItem{7, 20}).m_Id, 1);
  EXPECT_EQ(Ids(row), (std::vector<int>{0, 7}));
  EXPECT_EQ(Positions(row), (std::vector<int>{-5, 100}));
}

TEST_F(SeparatorTest, RandomOperationsKeepTheRowSound) {
  std::mt19937 random(20261211);
  for (int run = 0; run < 40; ++run) {
    Container row;
    row.set_bounds({-5, 600});
    int nextId = 0;
    for (int step = 0; step < 200; ++step) {
      const int op = static_cast<int>(random() % 4);
      const int minimum = static_cast<int>(random() % 40);
      const int room = row.bounds().distance() - row.distance_limit(0, row.size());
      if (op == 0 && room >= minimum + 5) {
        const std::size_t i = random() % (row.size() + 1);
        int pos = row.bounds().low + static_cast<int>(random() % 620);
        pos = row.bounds().bind(pos);
        const int before = row.distance_limit(0, i);
        const int after = row.distance_limit(i, row.size());
        const int ef = row.bounds().distance() - before - after;
        const int w = minimum + 5 + static_cast<int>(random() % 60);
        if (w <= ef) {
          row.insert(i, pos, TestItem{nextId++, minimum}, w);
        }
      } else if (op == 1 && !row.empty()) {
        row.remove(random() % row.size());
      } else if (op == 2 && row.size() > 1) {
        const std::size_t i = 1 + random() % (row.size() - 1);
        dockwins::CSplitterDrag<Container> drag(row, i, row.low(i));
        drag.OnMove(row.bounds().low + static_cast<int>(random() % 700) - 50);
        drag.Apply();
      } else if (op == 3) {
        const int hi = -5 + row.distance_limit(0, row.size()) + static_cast<int>(random() % 800);
        row.set_bounds({-5, hi});
      }
      ExpectSound(row);
      if (HasFailure()) {
        FAIL() << "run " << run << " step " << step << " op " << op;
      }
    }
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(SeparatorTest, DragClampsToTheRoomOfBothSidesAndCancelRestores) {
  Container row = Row({-5, 295}, {10, 20, 30}, {-5, 100, 200});
  dockwins::CSplitterDrag<Container> drag(row, 1, 103);
  EXPECT_EQ(drag.range().low, -5 + 15);
  EXPECT_EQ(drag.range().hi, 295 - 25 - 35);
  EXPECT_FALSE(drag.OnMove(103));  // the grab offset keeps the press position
  EXPECT_TRUE(drag.OnMove(-1000));
  EXPECT_EQ(drag.position(), 10);
  EXPECT_TRUE(drag.OnMove(1000));
  EXPECT_EQ(drag.position(), 235);
  drag.Apply();
  EXPECT_EQ(Positions(row), (std::vector<int>{-5, 235, 260}));
  drag.Restore();
  EXPECT_EQ(Positions(row), (std::vector<int>{-5, 100, 200}));
  EXPECT_EQ(drag.position(), 100);
  EXPECT_TRUE(sm_Asserts.empty());
}

}  // namespace
