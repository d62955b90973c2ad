// A fake platform view bound to real sheets, with the open-time preferences switched off unless
// a test turns them on.
#pragma once

#include "FakeSheetView.h"
#include "TestSheets.h"

#include "IMPN/IMPN_Preferences.h"

#include <gtest/gtest.h>

#include <memory>

class ViewFixture : public ::testing::Test {
protected:
  void SetUp() override {
    IMPN_Preferences::SetToDefaultValues();
    IMPN_Preferences::sm_ShowImpositionOnOpen = false;
    IMPN_Preferences::sm_RotateUprightOnOpen = false;
  }
  void TearDown() override { IMPN_Preferences::SetToDefaultValues(); }

  // Binds a new sheet of the layout and forgets the calls that binding made.
  IMPN_Sheet* Bind(TestSheets::Layout const& layout = TestSheets::Layout()) {
    IMPN_Sheet* sheet = TestSheets::Make(layout);
    view.SetSheet(sheet);
    view.calls.clear();
    return sheet;
  }

  long Width(IMPN_ZoomLevel level) { return view.m_Sheet->GetImageWidth(level); }
  long Length(IMPN_ZoomLevel level) { return view.m_Sheet->GetImageLength(level); }

  FakeSheetView view;
};
