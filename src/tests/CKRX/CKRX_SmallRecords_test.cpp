#include "CKRX/CKRX_InkPair.h"

#include <gtest/gtest.h>

namespace {

TEST(CKRX_InkPair, StartsEmptyAndCopiesAllFields) {
  CKRX_InkPair pair;
  EXPECT_TRUE(pair.m_InkName.empty());
  EXPECT_EQ(nullptr, pair.m_Reference);
  EXPECT_EQ(nullptr, pair.m_Candidate);
  pair.m_InkName = "PANTONE 185 C";
  pair.m_Reference = reinterpret_cast<IMPN_Separation*>(&pair);
  CKRX_InkPair const copy = pair;
  EXPECT_EQ("PANTONE 185 C", copy.m_InkName);
  EXPECT_EQ(pair.m_Reference, copy.m_Reference);
  EXPECT_EQ(nullptr, copy.m_Candidate);
}

}  // namespace
