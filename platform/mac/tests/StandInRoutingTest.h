// A toolbox test with windows of its own (disposed at the end) and raw input for the routing.
#pragma once

#include "StandInToolboxTest.h"

#include <HIToolbox/StandInInput.h>

#include <vector>

class StandInRoutingTest : public StandInToolboxTest {
protected:
  void TearDown() override {
    for (auto it = m_Windows.rbegin(); it != m_Windows.rend(); ++it)
      DisposeWindow(*it);
    StandIn_RoutingReset();
    StandInToolboxTest::TearDown();
  }

  // A new window of the class with the content bounds, shown unless asked otherwise.
  WindowRef Make(WindowClass windowClass, Rect content, bool show = true,
                 WindowAttributes attributes = kWindowStandardDocumentAttributes) {
    WindowRef window = nullptr;
    EXPECT_EQ(noErr, CreateNewWindow(windowClass, attributes, &content, &window));
    m_Windows.push_back(window);
    if (show)
      ShowWindow(window);
    return window;
  }

  // A view of the kind in the window's content view.
  static HIViewRef AddView(WindowRef window, const char* kind, HIRect frame) {
    HIViewRef content = nullptr;
    HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content);
    HIViewRef view = StandIn_NewView(kind, frame);
    HIViewAddSubview(content, view);
    CFRelease(view);
    return view;
  }

  static StandIn_Input Mouse(StandIn_InputKind kind, CGFloat x, CGFloat y, UInt32 modifiers = 0) {
    StandIn_Input input;
    input.kind = kind;
    input.global = CGPointMake(x, y);
    input.modifiers = modifiers;
    return input;
  }

  static StandIn_Input Key(StandIn_InputKind kind, UniChar character, UInt32 modifiers = 0) {
    StandIn_Input input;
    input.kind = kind;
    input.character = character;
    input.keyCode = StandIn_KeyCodeOf(character);
    input.modifiers = modifiers;
    return input;
  }

  // A press at a global point, released in place (nothing else scripted).
  static OSStatus Click(CGFloat x, CGFloat y, UInt32 modifiers = 0) {
    return StandIn_DeliverInput(Mouse(StandIn_InputKind::MouseDown, x, y, modifiers));
  }

  std::vector<WindowRef> m_Windows;
};
