#include "support/WKRX_ViewFixture.h"

#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Surface.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::wstring Wide(const std::string& path) {
  return std::wstring(path.begin(), path.end());
}

class WKRXSheetViewDrops : public WKRX_ViewTest {
protected:
  void Drop(const std::vector<std::string>& paths) {
    std::vector<GLIB_WString> wide;
    for (const std::string& path : paths)
      wide.push_back(Wide(path));
    ASSERT_NE(View().DropTarget(), nullptr);
    View().DropTarget()->Dispatcher().BroadcastMessage(WKRX_DragDroppedMessage(wide));
  }
  std::string NewFile(bool front = true) {
    return WKRX_ViewSheets::WriteFile(WKRX_ViewSheets::Layout(), front, ++m_Files);
  }
  std::string FileOf(IMPN_Surface& surface, std::size_t index) {
    const GLIB_WString path =
        GFIL_PlatformPathFromSpec(surface.GetSeparations()[index]->GetFileSpec());
    return std::string(path.begin(), path.end());
  }
  int m_Files = 0;
};

TEST_F(WKRXSheetViewDrops, OnlyInvalidFilesLeaveTheSheetAsItIs) {
  IMPN_Sheet* sheet = Show();
  const std::string junk = PreviewFixture::TempFilePath("junk.krx");
  std::ofstream(junk) << "not a preview file";
  Drop({junk, PreviewFixture::TempFilePath("missing.krx")});
  EXPECT_TRUE(WKRX_RecordingFrame::Of(WKRX_WM_FILESDROPPED).empty());
  EXPECT_EQ(View().Sheet(), sheet);
}

TEST_F(WKRXSheetViewDrops, FilesAlreadyInTheSheetAreNotAddedTwice) {
  IMPN_Sheet* sheet = Show();
  const std::string shown = FileOf(sheet->GetFrontSurface(), 0);
  Drop({shown, NewFile(), shown});
  ASSERT_EQ(WKRX_RecordingFrame::Of(WKRX_WM_FILESDROPPED).size(), 1u);
  ASSERT_NE(View().Sheet(), sheet);
  EXPECT_EQ(View().Sheet()->GetFrontSurface().GetSeparations().size(), 2u);
  EXPECT_FALSE(View().Sheet()->GetBackSurface().HasSeparations());
}

TEST_F(WKRXSheetViewDrops, FilesGoToTheSideBeingViewed) {
  WKRX_ViewSheets::Layout layout;
  layout.backPlates = 1;
  Show(layout);
  View().TogglePageFlipped();
  Drop({NewFile(false)});
  ASSERT_EQ(WKRX_RecordingFrame::Of(WKRX_WM_FILESDROPPED).size(), 1u);
  EXPECT_EQ(View().Sheet()->GetFrontSurface().GetSeparations().size(), 1u);
  EXPECT_EQ(View().Sheet()->GetBackSurface().GetSeparations().size(), 2u);
}

// What the user set stays with the files the new sheet shares with the old one.
TEST_F(WKRXSheetViewDrops, TheUsersSettingsAreCarriedOver) {
  WKRX_ViewSheets::Layout layout;
  layout.frontPlates = 2;
  IMPN_Sheet* sheet = Show(layout);
  IMPN_Surface& front = sheet->GetFrontSurface();
  front.SetOpacity(40);
  IMPN_Separation* first = front.GetSeparations()[0];
  IMPN_Separation* second = front.GetSeparations()[1];
  first->SetVisible(false);
  IMPN_Ink ink = second->GetInk();
  ink.SetColor("Custom", IMPN_RGBColor8(10, 20, 30), 60);
  second->SetInk(ink);
  std::vector<IMPN_Separation*> order = {second, first};
  View().SetLayDownOrder(true, order);
  const std::string firstFile = FileOf(front, 1);
  const std::string secondFile = FileOf(front, 0);

  Drop({NewFile()});
  IMPN_Surface& now = View().Sheet()->GetFrontSurface();
  ASSERT_EQ(now.GetSeparations().size(), 3u);
  EXPECT_EQ(now.GetOpacity(), 40u);
  EXPECT_EQ(FileOf(now, 0), secondFile);
  EXPECT_EQ(FileOf(now, 1), firstFile);
  EXPECT_EQ(now.GetSeparations()[0]->GetInk().GetName(), "Custom");
  EXPECT_EQ(now.GetSeparations()[0]->GetInk().GetOpacity(), 60);
  EXPECT_TRUE(now.GetSeparations()[0]->IsVisible());
  EXPECT_FALSE(now.GetSeparations()[1]->IsVisible());
  EXPECT_TRUE(now.GetSeparations()[2]->IsVisible());
}

}  // namespace
