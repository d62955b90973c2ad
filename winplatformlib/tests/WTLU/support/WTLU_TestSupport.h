// What the WTLU window tests share: a parent window that reflects its children's notifications;
// the fixture that captures log lines and guard exits comes from the shared test support.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atlbase.h>
#include <atlwin.h>

#include <string>
#include <vector>

#include "win/GuardCapture.h"

class ReflectingParent
    : public ATL::CWindowImpl<ReflectingParent, ATL::CWindow, ATL::CFrameWinTraits> {
public:
  BEGIN_MSG_MAP(ReflectingParent)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};
