// The Mac adapters of the portable controls over stand-in views.
#include "MCTL/MCTL_Controls.h"
#include "UCTL/UCTL_Messages.h"

#include <Carbon/Carbon.h>
#include <HIToolbox/StandInScript.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr OSType kSig = 0x61646170;  // 'adap'

// Records the messages an adapter broadcasts.
class Listener : public GLIB_MessageTarget {
public:
  void Listen(GLIB_MessageDispatcher const& dispatcher) {
    dispatcher.Register(
        new GLIB_Callback<Listener, UCTL_ControlClickedMessage>(this, &Listener::Clicked));
    dispatcher.Register(new GLIB_Callback<Listener, UCTL_ControlValueChangedMessage>(
        this, &Listener::ValueChanged));
  }
  void Clicked(UCTL_ControlClickedMessage const& m) {
    clicks.push_back({m.ControlID(), m.Modifiers()});
  }
  void ValueChanged(UCTL_ControlValueChangedMessage const& m) {
    values.push_back({m.ControlID(), static_cast<std::uint32_t>(m.Value())});
  }

  std::vector<std::pair<std::uint32_t, std::uint32_t>> clicks;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> values;
};

// Views in a window, each with a ControlID of signature 'adap'; the test ends with as many CF
// objects, windows and handlers alive as it began with.
class MCTL_ControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    StandIn_EventsReset();
    StandIn_ScriptClear();
    m_CF = StandIn_CFLiveObjectCount();
    m_Handlers = StandIn_EventHandlerLiveCount();
    Rect bounds = {100, 100, 400, 500};
    CreateNewWindow(kDocumentWindowClass, kWindowCompositingAttribute, &bounds, &m_Window);
    HIViewFindByID(HIViewGetRoot(m_Window), kHIViewWindowContentID, &m_Content);
  }
  void TearDown() override {
    for (const std::string& fault : StandIn_TakeScriptFaults())
      ADD_FAILURE() << "scripted answer not given: " << fault;
    m_Adapters.clear();
    DisposeWindow(m_Window);
    StandIn_EventsReset();
    EXPECT_EQ(m_Handlers, StandIn_EventHandlerLiveCount());
    EXPECT_EQ(m_CF, StandIn_CFLiveObjectCount());
  }

  // A view of the kind in the window at (10, 20), 80 x 20.
  HIViewRef AddView(const char* kind, SInt32 number) {
    HIViewRef view = StandIn_NewView(kind, CGRectMake(10, 20, 80, 20));
    const ControlID id = {kSig, number};
    SetControlID(view, &id);
    HIViewAddSubview(m_Content, view);
    CFRelease(view);
    return view;
  }

  // An adapter attached to a new view of the kind, kept until the test ends.
  template <class Adapter>
  Adapter& Attached(const char* kind) {
    auto adapter = std::make_shared<Adapter>();
    adapter->Attach(AddView(kind, 7));
    m_Adapters.push_back(adapter);
    return *adapter;
  }

  WindowRef m_Window = nullptr;
  HIViewRef m_Content = nullptr;
  std::vector<std::shared_ptr<void>> m_Adapters;
  long m_CF = 0;
  long m_Handlers = 0;
};

TEST_F(MCTL_ControlsTest, CheckBoxesAndSlidersReportEverySetOnce) {
  auto& check = Attached<MCTL_CheckBox>("check");
  auto& slider = Attached<MCTL_Slider>("slider");
  Listener listener;
  listener.Listen(check);
  listener.Listen(slider);
  check.SetControlValue(kUCTL_ButtonOff);    // its value already
  check.SetControlValue(kUCTL_ButtonMixed);  // another
  slider.SetControlValue(0);
  slider.SetControlValue(40);
  using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
  EXPECT_EQ((Pairs{{kSig, 0}, {kSig, 2}, {kSig, 0}, {kSig, 40}}), listener.values);
  EXPECT_EQ(kUCTL_ButtonMixed, check.ControlValue());

  // A click turns a mixed check box on and reports it once.
  listener.values.clear();
  StandIn_ClickView(check.GetView(), CGPointMake(1, 1), 0);
  EXPECT_EQ((Pairs{{kSig, 1}}), listener.values);

  // Dragging the thumb reports through the live-tracking procedure.
  EXPECT_EQ(MCTL_Slider::LiveTrackingActionProcedure, GetControlAction(slider.GetView()));
  listener.values.clear();
  StandIn_ScriptAnswer(StandIn_AnswerKind::Slider, 55);
  StandIn_ClickView(slider.GetView(), CGPointMake(1, 1), 0);
  EXPECT_EQ((Pairs{{kSig, 55}}), listener.values);
}

TEST_F(MCTL_ControlsTest, PopUpsReportRealChangesOnlyAndNothingWhileRebuilt) {
  auto& popup = Attached<MCTL_PopupButton>("popup");
  Listener listener;
  listener.Listen(popup);
  popup.SetMenuItems(USTR_StringVector{USTR_String(L"One"), USTR_String(L"Two")});
  EXPECT_TRUE(listener.values.empty());
  EXPECT_EQ(-1, popup.ControlValue());
  EXPECT_EQ(USTR_String(), popup.ControlValueAsText());
  popup.SetControlValue(1);
  popup.SetControlValue(1);
  using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
  EXPECT_EQ((Pairs{{kSig, 1}}), listener.values);
  EXPECT_EQ(USTR_String(L"Two"), popup.ControlValueAsText());
  popup.SetMenuItemEnabled(0, false);
  EXPECT_FALSE(IsMenuItemEnabled(GetControlPopupMenuHandle(popup.GetView()), 1));
  EXPECT_EQ((USTR_StringVector{USTR_String(L"One"), USTR_String(L"Two")}), popup.MenuItems());

  listener.values.clear();
  popup.SetMenuItems(USTR_StringVector());
  EXPECT_TRUE(listener.values.empty());
  EXPECT_TRUE(popup.MenuItems().empty());
  EXPECT_EQ(0, GetControl32BitMinimum(popup.GetView()));
  EXPECT_EQ(0, GetControl32BitMaximum(popup.GetView()));
  popup.SetControlTitle(USTR_String(L"Ink"));
  EXPECT_EQ(USTR_String(L"Ink"), popup.ControlTitle());
}

TEST_F(MCTL_ControlsTest, ClicksBroadcastTheSignatureAndConvertedModifiers) {
  auto& push = Attached<MCTL_PushButton>("push");
  auto& icon = Attached<MCTL_IconButton>("icon");
  auto& text = Attached<MCTL_StaticText>("statictext");
  struct Case {
    UInt32 carbon;
    std::uint32_t portable;
  };
  const Case cases[] = {{shiftKey | cmdKey, 5},
                        {optionKey | controlKey, 10},
                        {alphaLock | rightShiftKey | rightOptionKey | rightControlKey, 0}};
  for (HIViewRef view : {push.GetView(), icon.GetView(), text.GetView()}) {
    for (Case const& c : cases) {
      Listener listener;
      listener.Listen(push);
      listener.Listen(icon);
      listener.Listen(text);
      EXPECT_NE(kControlNoPart, StandIn_ClickView(view, CGPointMake(2, 2), c.carbon));
      ASSERT_EQ(1u, listener.clicks.size()) << StandIn_HIViewKind(view);
      EXPECT_EQ(kSig, listener.clicks[0].first);
      EXPECT_EQ(c.portable, listener.clicks[0].second);
    }
  }
}

TEST_F(MCTL_ControlsTest, HitsOfOtherControlsAreLeftAlone) {
  auto& push = Attached<MCTL_PushButton>("push");
  auto& text = Attached<MCTL_StaticText>("statictext");
  Listener listener;
  listener.Listen(push);
  listener.Listen(text);
  HIViewRef other = AddView("push", 8);
  for (UInt32 kind : {kEventControlHit, kEventControlHitTest}) {
    for (EventTargetRef target :
         {GetControlEventTarget(push.GetView()), GetControlEventTarget(text.GetView())}) {
      PPx::SysCarbonEvent event;
      event.MakeEvent(kEventClassControl, kind);
      event.SetParameter(kEventParamDirectObject, typeControlRef, other);
      const HIPoint where = {1, 1};
      event.SetParameter(kEventParamMouseLocation, typeHIPoint, where);
      EXPECT_EQ(eventNotHandledErr, event.Send(target));
    }
  }
  EXPECT_TRUE(listener.clicks.empty());
}

TEST_F(MCTL_ControlsTest, StaticTextsAreHitInsideTheirFrameOnly) {
  auto& text = Attached<MCTL_StaticText>("statictext");
  struct Case {
    HIPoint where;
    ControlPartCode part;
  };
  const Case cases[] = {{{0, 0}, kControlButtonPart},
                        {{79, 19}, kControlButtonPart},
                        {{80, 5}, kControlNoPart},
                        {{5, -1}, kControlNoPart}};
  for (Case const& c : cases) {
    PPx::SysCarbonEvent hitTest;
    hitTest.MakeEvent(kEventClassControl, kEventControlHitTest);
    hitTest.SetParameter(kEventParamDirectObject, typeControlRef, text.GetView());
    hitTest.SetParameter(kEventParamMouseLocation, typeHIPoint, c.where);
    EXPECT_EQ(noErr, hitTest.Send(GetControlEventTarget(text.GetView())));
    ControlPartCode part = -1;
    hitTest.GetParameter(kEventParamControlPart, typeControlPartCode, part);
    EXPECT_EQ(c.part, part) << c.where.x << "," << c.where.y;
  }
  text.SetControlText(USTR_String(L"Density"));
  EXPECT_EQ(USTR_String(L"Density"), text.ControlText());
}

TEST_F(MCTL_ControlsTest, GeometryIsTheFrameInTheSuperview) {
  auto& push = Attached<MCTL_PushButton>("push");
  push.SetControlSize(-5, 20);
  EXPECT_EQ(IMPN_RectT<long>(20, 10, 0, 20), push.ControlBounds());
  HIRect frame = CGRectMake(3.9f, -2.7f, 50.5f, 10.2f);
  HIViewSetFrame(push.GetView(), &frame);
  const IMPN_RectT<long> bounds = push.ControlBounds();
  EXPECT_EQ(3, bounds.left);
  EXPECT_EQ(-2, bounds.top);
  EXPECT_EQ(50, bounds.width);
  EXPECT_EQ(10, bounds.height);
  push.MoveControlBy(7, 12);
  EXPECT_EQ(IMPN_RectT<long>(10, 10, 50, 10), push.ControlBounds());
  push.MoveControlTo(0, 0);
  EXPECT_EQ(IMPN_RectT<long>(0, 0, 50, 10), push.ControlBounds());
  push.SetControlVisible(false);
  EXPECT_FALSE(push.IsControlVisible());
  push.SetControlEnabled(false);
  EXPECT_FALSE(push.IsControlEnabled());
  push.RefreshControl();
  EXPECT_EQ(1, StandIn_HIViewDisplayRequests(push.GetView()));

  auto& progress = Attached<MCTL_ProgressBar>("progress");
  progress.SetControlRange(0, 100);
  progress.SetControlValue(30);
  progress.SetControlIndeterminate(true);
  EXPECT_EQ(30, progress.ControlValue());
  EXPECT_EQ(100, progress.ControlMaxValue());
}

TEST_F(MCTL_ControlsTest, UnattachedAdaptersDoNothingAndAnswerNeutralValues) {
  MCTL_CheckBox check;
  MCTL_PopupButton popup;
  MCTL_Slider slider;
  MCTL_ProgressBar progress;
  MCTL_StaticText text;
  MCTL_PushButton push;
  Listener listener;
  listener.Listen(check);
  listener.Listen(slider);
  check.SetControlValue(kUCTL_ButtonOn);
  check.SetControlText(USTR_String(L"x"));
  slider.SetControlValue(0);
  slider.SetControlRange(1, 5);
  popup.SetMenuItems(USTR_StringVector{USTR_String(L"a")});
  popup.SetControlValue(0);
  progress.SetControlIndeterminate(true);
  text.SetControlText(USTR_String(L"y"));
  push.SetControlSize(10, 10);
  push.MoveControlBy(1, 1);
  push.SetControlVisible(true);
  push.SetControlEnabled(true);
  push.RefreshControl();
  EXPECT_TRUE(listener.values.empty());
  EXPECT_EQ(kUCTL_ButtonOff, check.ControlValue());
  EXPECT_EQ(0, slider.ControlValue());
  EXPECT_EQ(0, popup.ControlValue());
  EXPECT_TRUE(popup.MenuItems().empty());
  EXPECT_EQ(USTR_String(), text.ControlText());
  EXPECT_EQ(IMPN_RectT<long>(), push.ControlBounds());
  EXPECT_FALSE(push.IsControlVisible());
  EXPECT_FALSE(push.IsControlEnabled());
}

}  // namespace
