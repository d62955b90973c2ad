#include "WKRX/WKRX_SeparationRows.h"

#include <gtest/gtest.h>

namespace {

TEST(WKRXSeparationRows, AfterASizeChangeTheSecondListGivesUpTheLargerHalf) {
  struct Case {
    long first, second, available, rowsFirst, rowsSecond;
  };
  const Case cases[] = {
      {10, 10, 20, 10, 10},  // room for all
      {10, 10, 15, 8, 7},    // 5 too many: the second gives 3, the first 2
      {2, 10, 5, 2, 3},      // a short list keeps its rows; the other stops at 3
      {10, 2, 5, 3, 2},     {10, 10, -4, 3, 3},  // no room at all: never below 3, never below zero
      {60, 0, 20, 20, 0},                        // a lone list gives up the whole excess
      {0, 60, 2, 0, 3},
  };
  for (const Case& c : cases) {
    const WKRX_SeparationRows rows = WKRX_SeparationRows::ForRoom(c.first, c.second, c.available);
    EXPECT_EQ(rows.m_First, c.rowsFirst) << c.first << "+" << c.second << " in " << c.available;
    EXPECT_EQ(rows.m_Second, c.rowsSecond) << c.first << "+" << c.second << " in " << c.available;
  }
}

TEST(WKRXSeparationRows, OnOpeningBothListsShrinkAlikeAndALoneListGivesUpAll) {
  // 100 px too many in rows of 24: each list gives ceil(50 / 24) = 3 rows.
  WKRX_SeparationRows rows = WKRX_SeparationRows::ForOpening(30, 30, 100, 24);
  EXPECT_EQ(rows.m_First, 27);
  EXPECT_EQ(rows.m_Second, 27);
  // A lone list gives ceil(100 / 24) = 5.
  rows = WKRX_SeparationRows::ForOpening(60, 0, 100, 24);
  EXPECT_EQ(rows.m_First, 55);
  EXPECT_EQ(rows.m_Second, 0);
  // Never below min(n, 3).
  rows = WKRX_SeparationRows::ForOpening(2, 30, 24 * 40, 24);
  EXPECT_EQ(rows.m_First, 2);
  EXPECT_EQ(rows.m_Second, 3);
  rows = WKRX_SeparationRows::ForOpening(5, 5, 0, 24);
  EXPECT_EQ(rows.m_First, 5);
  EXPECT_EQ(rows.m_Second, 5);
}

}  // namespace
