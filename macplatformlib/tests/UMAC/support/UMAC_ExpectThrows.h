// Checks that a call throws the Mac utility layer's exception with this code, message and first
// detail parameter.
#pragma once

#include "UMAC/UMAC_Exception.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

inline void UMAC_ExpectThrows(std::function<void()> const& call, std::uint32_t code,
                              std::wstring const& text, std::wstring const& param = L"") {
  try {
    call();
    ADD_FAILURE() << "no exception";
  } catch (GLIB_Exception const& e) {
    EXPECT_NE(nullptr, dynamic_cast<UMAC_Exception const*>(&e));
    EXPECT_EQ(code, e.code());
    EXPECT_EQ(text, e.WMessage());
    EXPECT_EQ(param, e.getDetailParameter(0));
  }
}
