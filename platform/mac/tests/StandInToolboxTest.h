// A test of the stand-in's toolbox that starts with an empty queue, log and script and ends with
// as many CF objects, windows, menus, handlers and timers alive as it began with.
#pragma once

#include <Carbon/Carbon.h>
#include <HIToolbox/StandInScript.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class StandInToolboxTest : public ::testing::Test {
protected:
  void SetUp() override {
    StandIn_EventsReset();
    StandIn_ScriptClear();
    StandIn_RoutingReset();
    StandIn_FilesReset();
    m_CF = StandIn_CFLiveObjectCount();
    m_Windows = StandIn_WindowLiveCount();
    m_Menus = StandIn_MenuLiveCount();
    m_Handlers = StandIn_EventHandlerLiveCount();
    m_Alerts = StandIn_AlertLiveCount();
  }
  void TearDown() override {
    for (const std::string& fault : StandIn_TakeScriptFaults())
      ADD_FAILURE() << "scripted answer not given: " << fault;
    StandIn_RunUntilIdle();
    StandIn_EventsReset();
    EXPECT_EQ(m_Windows, StandIn_WindowLiveCount());
    EXPECT_EQ(m_Menus, StandIn_MenuLiveCount());
    EXPECT_EQ(m_Handlers, StandIn_EventHandlerLiveCount());
    EXPECT_EQ(m_Alerts, StandIn_AlertLiveCount());
    EXPECT_EQ(m_CF, StandIn_CFLiveObjectCount());
    StandIn_FilesReset();
  }

  // A new document window with the given content bounds; the caller disposes of it.
  static WindowRef NewWindow(Rect bounds = Rect{100, 50, 400, 450}) {
    WindowRef window = nullptr;
    EXPECT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes,
                                     &bounds, &window));
    return window;
  }

private:
  long m_CF = 0;
  long m_Windows = 0;
  long m_Menus = 0;
  long m_Handlers = 0;
  long m_Alerts = 0;
};

// A toolbox test with a main bundle in a temporary folder whose resources hold nibs.
class StandInNibTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    std::string folder = (std::filesystem::temp_directory_path() / "nib_XXXXXX").string();
    ASSERT_NE(nullptr, ::mkdtemp(folder.data()));
    m_Root = folder;
    m_Resources = m_Root / "App.app" / "Contents" / "Resources";
    std::filesystem::create_directories(m_Resources);
    StandIn_SetMainBundlePath((m_Root / "App.app").string().c_str());
    StandInToolboxTest::SetUp();
  }
  void TearDown() override {
    StandInToolboxTest::TearDown();
    StandIn_SetMainBundlePath(nullptr);
    std::filesystem::remove_all(m_Root);
  }
  void WriteNib(const std::string& name, const std::string& text) {
    std::ofstream(m_Resources / (name + ".nib")) << text;
  }

  std::filesystem::path m_Root;
  std::filesystem::path m_Resources;
};
