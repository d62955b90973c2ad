// A test of the stand-in's CoreFoundation that starts with no pending failures and ends with as
// many live CF objects as it began with.
#pragma once

#include <CoreFoundation/CFBase.h>

#include <gtest/gtest.h>

class StandInCFTest : public ::testing::Test {
protected:
  void SetUp() override {
    StandIn_CFReset();
    m_Live = StandIn_CFLiveObjectCount();
  }
  void TearDown() override { EXPECT_EQ(m_Live, StandIn_CFLiveObjectCount()); }

private:
  long m_Live = 0;
};
