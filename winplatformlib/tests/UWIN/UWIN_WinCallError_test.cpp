#include "UWIN/UWIN_WinCallError.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

TEST(UWIN_WinCallError, RaisedOnlyWithAnErrorCodeAndWithTheSystemText) {
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  try {
    UWIN_RaiseIfWinCallFailed("false", __FILE__, __LINE__);
    FAIL() << "no exception";
  } catch (const UWIN_Exception& e) {
    EXPECT_EQ(e.code(), kUWIN_WinCallFailed);
    const std::wstring text = e.message();
    EXPECT_EQ(
        text.rfind(L"WinAPI function returned error value = 'false'. Windows error code = 1400. "
                   L"Windows error message = '",
                   0),
        0u)
        << std::string(text.begin(), text.end());
  }
  SetLastError(0);
  EXPECT_NO_THROW(UWIN_RaiseIfWinCallFailed("0", __FILE__, __LINE__));
  EXPECT_NO_THROW(UWIN_RaiseIfWinCallReturnedNull(__FILE__, __LINE__));
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_THROW(UWIN_RaiseIfWinCallReturnedNull(__FILE__, __LINE__), UWIN_Exception);
}

}  // namespace
