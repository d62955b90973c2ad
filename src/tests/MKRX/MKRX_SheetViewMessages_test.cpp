// What the sheet view tells its listeners when its state changes, and what it does with what it
// hears.
#include "support/MKRX_SheetViewFixture.h"

#include <HIToolbox/HIView.h>

namespace {

class MKRX_SheetViewMessagesTest : public MKRX_SheetViewFixture {
protected:
  void SetUp() override {
    MKRX_SheetViewFixture::SetUp();
    m_View = &MakeView(MakeSheet(MKRX_TestSheetSpec()), 600, 400);
  }
  MKRX_ProbeView* m_View = nullptr;
};

template <class Message>
std::vector<bool> Values(std::vector<Message> const& messages) {
  std::vector<bool> values;
  for (auto const& m : messages)
    values.push_back(m.GetValue());
  return values;
}

TEST_F(MKRX_SheetViewMessagesTest, FlippingTwiceShowsTheBackThenTheFront) {
  MKRX_Heard<MKRX_ShowThumbnailMessage> heard(m_View->Dispatcher());
  m_View->TogglePageFlipped();
  EXPECT_TRUE(m_View->IsPageFlipped());
  m_View->TogglePageFlipped();
  EXPECT_EQ((std::vector<bool>{false, true}), Values(heard.messages));
}

TEST_F(MKRX_SheetViewMessagesTest, EdgeSwitchesReportTheirNewState) {
  MKRX_Heard<MKRX_SetShowPageEdgesMessage> edges(m_View->Dispatcher());
  MKRX_Heard<MKRX_SetShowPageNumbersMessage> numbers(m_View->Dispatcher());
  m_View->ToggleShowPageEdges();
  m_View->ToggleShowPageNumbers();
  m_View->ToggleShowPageNumbers();
  EXPECT_EQ((std::vector<bool>{true}), Values(edges.messages));
  EXPECT_EQ((std::vector<bool>{true, false}), Values(numbers.messages));

  // Hiding reports both off even when nothing was shown, and showing both on.
  edges.messages.clear();
  numbers.messages.clear();
  m_View->ToggleShowPageEdges();
  m_View->HideEdgeInfo();
  m_View->ShowEdgeInfo();
  EXPECT_EQ((std::vector<bool>{false, false, true}), Values(edges.messages));
  EXPECT_EQ((std::vector<bool>{false, true}), Values(numbers.messages));
}

TEST_F(MKRX_SheetViewMessagesTest, ResettingTheOriginPutsTheTickAtZero) {
  MKRX_Heard<MKRX_UpdateCursorTickMessage> heard(m_View->Dispatcher());
  m_View->ResetUnitOrigin();
  ASSERT_EQ(1u, heard.messages.size());
  EXPECT_EQ(0.0, heard.messages[0].GetValue().x);
  EXPECT_EQ(0.0, heard.messages[0].GetValue().y);
}

TEST_F(MKRX_SheetViewMessagesTest, AnOpacityChangeIsReportedAndRepaints) {
  MKRX_Heard<MKRX_SurfaceOpacityChangedMessage> heard(m_View->Dispatcher());
  m_View->SetSheetOpacity(40);
  m_View->SetSheetOpacity(140);  // ignored, still reported
  EXPECT_EQ(2u, heard.messages.size());
  EXPECT_EQ(40, m_View->GetSheetOpacity());
  long const requests = StandIn_HIViewDisplayRequests(m_View->GetSysView());
  m_View->DoSurfaceOpacityChanged(MKRX_SurfaceOpacityChangedMessage());
  EXPECT_EQ(requests + 1, StandIn_HIViewDisplayRequests(m_View->GetSysView()));
}

TEST_F(MKRX_SheetViewMessagesTest, MessagesNameTheirClass) {
  CGRect const r = CGRectMake(0, 0, 1, 1);
  EXPECT_EQ("MKRX_SheetViewFrameChangedMessage", MKRX_SheetViewFrameChangedMessage(r).AsString());
  EXPECT_EQ("MKRX_ShowThumbnailMessage", MKRX_ShowThumbnailMessage(true).AsString());
  EXPECT_EQ("MKRX_SetShowPageEdgesMessage", MKRX_SetShowPageEdgesMessage(true).AsString());
  EXPECT_EQ("MKRX_SetShowPageNumbersMessage", MKRX_SetShowPageNumbersMessage(true).AsString());
  EXPECT_EQ("MKRX_SurfaceOpacityChangedMessage", MKRX_SurfaceOpacityChangedMessage().AsString());
  EXPECT_EQ("MKRX_UpdateCursorTickMessage",
            MKRX_UpdateCursorTickMessage(IMPN_PointT<double>(1, 2)).AsString());
  EXPECT_EQ("MKRX_NavigationViewFrameMovedMessage",
            MKRX_NavigationViewFrameMovedMessage(r).AsString());
  EXPECT_EQ("MKRX_NavigationViewFrameResizedMessage",
            MKRX_NavigationViewFrameResizedMessage(r).AsString());
}

}  // namespace
