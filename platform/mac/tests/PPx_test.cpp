// PowerPlant X of the stand-in: doers, timers and views.
#include "StandInToolboxTest.h"

#include <PPx/PPxEventTarget.h>
#include <PPx/PPxTimer.h>
#include <PPx/PPxView.h>

#include <stdexcept>

namespace {

class PPxTest : public StandInToolboxTest {};

class HitCounter : public PPx::ControlHitDoer {
public:
  using PPx::ControlHitDoer::Install;
  int hits = 0;
  ControlPartCode part = 0;
  UInt32 modifiers = 0;
  bool fail = false;

protected:
  OSStatus DoControlHit(PPx::SysCarbonEvent&, ControlRef, ControlPartCode hitPart,
                        UInt32 keys) override {
    if (fail)
      throw PPx::OSError(-42, "failed");
    ++hits;
    part = hitPart;
    modifiers = keys;
    return eventNotHandledErr;
  }
};

TEST_F(PPxTest, ADoerUnpacksItsEventAndRemovesItsHandlerWhenDestroyed) {
  HIViewRef button = StandIn_NewView("push", CGRectMake(0, 0, 50, 20));
  const long handlers = StandIn_EventHandlerLiveCount();
  {
    HitCounter counter;
    counter.Install(GetControlEventTarget(button));
    EXPECT_EQ(handlers + 1, StandIn_EventHandlerLiveCount());
    StandIn_ClickView(button, CGPointMake(1, 1), shiftKey);
    EXPECT_EQ(1, counter.hits);
    EXPECT_EQ(kControlButtonPart, counter.part);
    EXPECT_EQ(shiftKey, counter.modifiers);

    // An exception stops at the doer's boundary as its status.
    counter.fail = true;
    PPx::SysCarbonEvent hit;
    hit.MakeEvent(kEventClassControl, kEventControlHit);
    hit.SetParameter(kEventParamDirectObject, typeControlRef, button);
    EXPECT_EQ(-42, hit.Send(GetControlEventTarget(button)));
    EXPECT_EQ(0, StandIn_HandlerExceptionCount());
  }
  EXPECT_EQ(handlers, StandIn_EventHandlerLiveCount());
  CFRelease(button);
}

class CountingTimer : public PPx::Timer {
public:
  int fired = 0;

protected:
  void DoTimer() override {
    if (++fired == 2)
      throw std::runtime_error("second firing fails");
  }
};

TEST_F(PPxTest, TimersRunOnTheVirtualClockAndGoWithTheirObject) {
  {
    CountingTimer timer;
    timer.Install(0.5, 0.5);
    StandIn_AdvanceClock(1.6);
    EXPECT_EQ(3, timer.fired);  // the failing firing does not stop it
    EXPECT_EQ(1, StandIn_TimerLiveCount());
  }
  EXPECT_EQ(0, StandIn_TimerLiveCount());
}

TEST_F(PPxTest, ViewsTakeOverTheirReferenceAndReadTheirControl) {
  HIViewRef view = StandIn_NewView("statictext", CGRectMake(1, 2, 30, 40));
  {
    PPx::StaticText text;
    text.Initialize(view, CGRectMake(5, 6, 70, 80));
    EXPECT_EQ(5.0f, text.GetFrame().origin.x);
    text.SetText(CFSTR("Label"));
    CFStringRef read = text.GetText();
    EXPECT_TRUE(CFEqual(CFSTR("Label"), read));
    CFRelease(read);
  }
  HIViewRef bar = StandIn_NewView("progress", CGRectMake(0, 0, 100, 10));
  PPx::ProgressBar progress;
  progress.Initialize(bar, CGRectMake(0, 0, 100, 10));
  EXPECT_FALSE(progress.IsIndeterminate());
  progress.SetIndeterminate(true);
  EXPECT_TRUE(progress.IsIndeterminate());
}

}  // namespace
