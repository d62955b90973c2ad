// The fixture of the PowerPlant X additions' tests: a main bundle whose nib "Fixture" holds a
// window with one view of each kind, a sheet, a plain window and a window with a view of an
// unregistered class; a clean event queue, log and script; and a check that the test ends with
// as many CF objects, windows, handlers, timers and alerts alive as it began with.
#pragma once

#include "TestBundle.h"

#include <Carbon/Carbon.h>
#include <HIToolbox/StandInScript.h>
#include <PPx/PPxSignature.h>

#include <gtest/gtest.h>

#include <memory>

// ControlIDs of the fixture's views: signature 'fixt', numbered in this order.
constexpr OSType kFixtureSignature = 0x66697874;  // 'fixt'
inline const char* const kFixtureKinds[] = {
    "push", "check",    "popup",   "slider", "progress",  "statictext", "icon",    "bevel",
    "tab",  "userpane", "placard", "image",  "segmented", "scrollview", "browser", "textview"};
constexpr int kFixtureKindCount = 16;

inline std::string FixtureNib() {
  std::string nib = "window \"AllKinds\"\n  class document\n  attributes close compositing\n"
                    "  bounds 100 50 400 650\n  title \"All kinds\"\n";
  for (int i = 0; i < kFixtureKindCount; ++i) {
    nib += std::string("  view ") + kFixtureKinds[i] + "\n    id 'fixt' " + std::to_string(i + 1) +
           "\n    frame " + std::to_string(10 + 30 * i) + " 10 25 20\n";
    if (std::string(kFixtureKinds[i]) == "popup")
      nib += "    item \"One\"\n    item \"Two\"\n";
    nib += "  end\n";
  }
  nib += "  view push\n    id 'cmnd' 1\n    command 'doit'\n    frame 10 40 80 20\n  end\n"
         "end\n"
         "window \"Sheet\"\n  class sheet\n  bounds 0 0 100 300\n"
         "  view push\n    id 'shet' 1\n    frame 10 10 80 20\n  end\nend\n"
         "window \"Plain\"\n  class document\n  bounds 100 100 200 300\n"
         "  view userpane\n    id 'plai' 1\n    frame 0 0 50 50\n  end\nend\n"
         "window \"Custom\"\n  view class \"com.example.Unregistered\"\n    frame 0 0 5 5\n"
         "  end\nend\n";
  return nib;
}

inline HIViewRef ContentViewOf(WindowRef window) {
  HIViewRef content = nullptr;
  HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content);
  return content;
}

// A new view of a registered custom class at frame in the window's content, which then holds it;
// the class's object for the view goes to instance. Null (and a failure) when none could be made.
template <class T>
HIViewRef AddCustomView(WindowRef window, CFStringRef classID, const HIRect& frame, T** instance) {
  HIObjectRef object = nullptr;
  EXPECT_EQ(noErr, HIObjectCreate(classID, nullptr, &object));
  *instance = nullptr;
  if (object == nullptr)
    return nullptr;
  HIViewRef view = static_cast<HIViewRef>(object);
  HIViewSetFrame(view, &frame);
  HIViewAddSubview(ContentViewOf(window), view);
  CFRelease(view);  // the window holds it
  *instance = static_cast<T*>(HIObjectDynamicCast(object, classID));
  return view;
}

class PPXA_FixtureTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_Bundle = std::make_unique<TestBundle>("");
    m_Bundle->AddResource("Fixture.nib", FixtureNib());
    StandIn_EventsReset();
    StandIn_ScriptClear();
    StandIn_FilesReset();
    StandIn_AlertsReset();
    StandIn_WindowsResetCounts();
    m_CF = StandIn_CFLiveObjectCount();
    m_Windows = StandIn_WindowLiveCount();
    m_Handlers = StandIn_EventHandlerLiveCount();
  }
  void TearDown() override {
    for (const std::string& fault : StandIn_TakeScriptFaults())
      ADD_FAILURE() << "scripted answer not given: " << fault;
    StandIn_RunUntilIdle();
    StandIn_EventsReset();
    EXPECT_EQ(m_Windows, StandIn_WindowLiveCount());
    EXPECT_EQ(m_Handlers, StandIn_EventHandlerLiveCount());
    EXPECT_EQ(0, StandIn_TimerLiveCount());
    EXPECT_EQ(0, StandIn_AlertLiveCount());
    EXPECT_EQ(0, StandIn_NibLiveCount());
    EXPECT_EQ(m_CF, StandIn_CFLiveObjectCount());
    StandIn_FilesReset();
    m_Bundle.reset();
  }

  static ControlID FixtureID(int number) { return ControlID{kFixtureSignature, number}; }

  std::unique_ptr<TestBundle> m_Bundle;
  long m_CF = 0;
  long m_Windows = 0;
  long m_Handlers = 0;
};
