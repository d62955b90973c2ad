#pragma once
#include "IMPN/IMPN_ColorDatabase.h"

#include "ColorDBFixture.h"

#include <gtest/gtest.h>

// Gives each test an empty process-wide colour database and a folder for its files.
class ColorDatabaseTest : public ::testing::Test {
protected:
  void SetUp() override { Forget(); }
  void TearDown() override { Forget(); }

  static void Forget() {
    IMPN_ColorDatabase::sm_PantoneColorMap.clear();
    IMPN_ColorDatabase::sm_CustomColorMap.clear();
    IMPN_ColorDatabase::sm_PantoneColorFilePath.clear();
    IMPN_ColorDatabase::sm_CustomColorFilePath.clear();
  }

  // Loads the Pantone colours from a file with the given entries.
  void LoadPantone(ColorDBBytes const& bytes) {
    std::string const path = folder.File("Pantone.colordb").string();
    bytes.WriteTo(path);
    IMPN_ColorDatabase::LoadPantoneColors(path);
  }

  ScratchFolder folder;
};
