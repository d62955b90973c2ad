#include "CKRX/CKRX_VersionLabelView.h"

#include "GFIL/GFIL_FileSpec.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Sheet.h"
#include "PreviewFileWriter.h"
#include "SpecFromPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

USTR_String U(char const* text) {
  return USTR_NStringToUString(std::string(text));
}

std::vector<std::string> Narrow(USTR_StringVector const& labels) {
  std::vector<std::string> result;
  for (USTR_String const& label : labels)
    result.emplace_back(label.begin(), label.end());
  return result;
}

// Records the hooks in call order and exposes the labels.
class RecordingLabelView : public CKRX_VersionLabelView {
public:
  using CKRX_VersionLabelView::m_LabelLength;
  using CKRX_VersionLabelView::m_Labels;
  using CKRX_VersionLabelView::m_MaximumLabelLength;
  using CKRX_VersionLabelView::m_Sheet;

  std::vector<std::string> calls;

protected:
  void RefreshView() override {
    calls.push_back("RefreshView labels=" + std::to_string(m_Labels.size()));
  }
  void UpdateMaximumLabelLength() override {
    calls.push_back("UpdateMaximumLabelLength labels=" + std::to_string(m_Labels.size()));
  }
};

struct Plate {
  char const* fileName;
  bool front;
  std::vector<std::string> versions;
};

// A sheet of the given plates, each a preview file of that name in a folder of its own.
std::unique_ptr<IMPN_Sheet> MakeSheet(std::uint16_t workStyle, std::vector<Plate> const& plates) {
  static int serial = 0;
  std::string const folder = "labels_" + std::to_string(++serial);
  std::filesystem::create_directories(
      std::filesystem::u8path(PreviewFixture::TempFilePath(folder)));
  GFIL_FileSpecVector front;
  GFIL_FileSpecVector back;
  int plateNumber = 0;
  for (Plate const& plate : plates) {
    PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(600, 400, 8);
    file.job.surface = plate.front ? 0 : 1;
    file.job.workStyle = workStyle;
    file.job.inkName = "Ink" + std::to_string(plateNumber);
    file.job.printOrder = static_cast<std::uint16_t>(++plateNumber);
    if (!plate.versions.empty())
      file.job.versions = plate.versions;
    std::string const path = PreviewFixture::TempFilePath(folder + "/" + plate.fileName);
    PreviewFixture::Write(path, file);
    (plate.front ? front : back).push_back(PreviewFixture::SpecFromPath(path));
  }
  return std::make_unique<IMPN_Sheet>(front, back);
}

std::vector<Plate> FourEachSide() {
  return {{"CYAN_1.KRX", true, {}},    {"MAGENTA_1.KRX", true, {}}, {"YELLOW_1.KRX", true, {}},
          {"BLACK_1.KRX", true, {}},   {"CYAN_2.KRX", false, {}},   {"MAGENTA_2.KRX", false, {}},
          {"YELLOW_2.KRX", false, {}}, {"BLACK_2.KRX", false, {}}};
}

TEST(CKRX_VersionLabelView, StartsEmptyWithUnknownLengths) {
  RecordingLabelView view;
  EXPECT_EQ(nullptr, view.m_Sheet);
  EXPECT_EQ(-1, view.m_LabelLength);
  EXPECT_EQ(-1, view.m_MaximumLabelLength);
  EXPECT_TRUE(view.m_Labels.empty());
}

TEST(CKRX_VersionLabelView, LabelsOfFileNames) {
  struct Case {
    char const* name;
    char const* label;
  };
  Case const cases[] = {
      {"CYAN_1.KRX", "CYAN_1"},
      {"Plate.PRV", "Plate"},
      {"Spot.TIF", "Spot"},
      {"black.krx", "black.krx"},  // lower case keeps its ending
      {"Sheet.tif", "Sheet.tif"},
      {"Other.TIFF", "Other.TIFF"},
      {".KRX", ""},
      {"KRX", "KRX"},
      {"A.KRX.PRV", "A.KRX"},
  };
  for (Case const& c : cases) {
    USTR_String const label = CKRX_VersionLabelView::LabelOfFileName(U(c.name));
    EXPECT_EQ(std::string(c.label), std::string(label.begin(), label.end())) << c.name;
  }
}

TEST(CKRX_VersionLabelView, SheetwiseListsBothSidesTurnedSheetsTheFrontOnly) {
  struct Case {
    std::uint16_t workStyle;
    std::size_t labels;
  };
  Case const cases[] = {{1, 8}, {2, 8}, {3, 4}, {4, 4}};
  for (Case const& c : cases) {
    std::unique_ptr<IMPN_Sheet> sheet = MakeSheet(c.workStyle, FourEachSide());
    RecordingLabelView view;
    view.SetSheet(sheet.get(), false);
    EXPECT_EQ(c.labels, view.m_Labels.size()) << "work style " << c.workStyle;
    EXPECT_EQ(sheet.get(), view.m_Sheet);
    ASSERT_FALSE(view.m_Labels.empty());
    EXPECT_EQ("CYAN_1", Narrow(view.m_Labels).front());
  }
}

TEST(CKRX_VersionLabelView, BySeparationFollowsLayDownOrderFrontFirst) {
  std::unique_ptr<IMPN_Sheet> sheet = MakeSheet(
      1,
      {{"K.KRX", true, {}}, {"back.krx", false, {}}, {"Spot.PRV", true, {}}, {"Y.TIF", false, {}}});
  ASSERT_EQ(0, sheet->GetRejectedFileCount());
  std::vector<std::string> expected;
  for (IMPN_Surface const* side : {&sheet->GetFrontSurface(), &sheet->GetBackSurface()})
    for (IMPN_Separation const* separation : side->GetSeparations()) {
      USTR_String const label = CKRX_VersionLabelView::LabelOfFileName(
          USTR_WStringToUString(separation->GetFileSpec().Name()));
      expected.emplace_back(label.begin(), label.end());
    }

  RecordingLabelView view;
  view.SetSheet(sheet.get(), false);
  EXPECT_EQ(expected, Narrow(view.m_Labels));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ((std::vector<std::string>{"K", "Spot", "Y", "back.krx"}), expected);
  EXPECT_EQ((std::vector<std::string>{"UpdateMaximumLabelLength labels=4", "RefreshView labels=4"}),
            view.calls);
}

TEST(CKRX_VersionLabelView, ByVersionCopiesTheSheetsNames) {
  std::unique_ptr<IMPN_Sheet> sheet =
      MakeSheet(1, {{"C.KRX", true, {"German"}}, {"M.KRX", true, {"French", "German"}}});
  sheet->ResetVersions();
  RecordingLabelView view;
  view.SetSheet(sheet.get(), true);
  ASSERT_EQ(3u, sheet->GetVersionNames().size());  // the common entry and two versions
  EXPECT_EQ(sheet->GetVersionNames(), static_cast<std::vector<USTR_String> const&>(view.m_Labels));
  EXPECT_EQ((std::vector<std::string>{"UpdateMaximumLabelLength labels=3", "RefreshView labels=3"}),
            view.calls);

  // Switching the listing replaces the labels.
  view.SetSheet(sheet.get(), false);
  EXPECT_EQ((std::vector<std::string>{"C", "M"}), Narrow(view.m_Labels));
}

TEST(CKRX_VersionLabelView, NoVersionNamesStillCallsBothHooks) {
  std::unique_ptr<IMPN_Sheet> sheet = MakeSheet(1, {{"C.KRX", true, {}}});
  RecordingLabelView view;
  view.SetSheet(sheet.get(), true);
  EXPECT_TRUE(view.m_Labels.empty());
  EXPECT_EQ((std::vector<std::string>{"UpdateMaximumLabelLength labels=0", "RefreshView labels=0"}),
            view.calls);
}

TEST(CKRX_VersionLabelView, WithoutASheetEmptiesAndCallsNoHook) {
  std::unique_ptr<IMPN_Sheet> sheet = MakeSheet(1, {{"C.KRX", true, {}}});
  RecordingLabelView view;
  view.SetSheet(sheet.get(), false);
  view.calls.clear();
  view.SetSheet(nullptr, false);
  view.SetSheet(nullptr, true);
  EXPECT_TRUE(view.m_Labels.empty());
  EXPECT_TRUE(view.calls.empty());
}

}  // namespace
