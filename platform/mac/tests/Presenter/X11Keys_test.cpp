// The X keyboard as the Mac knows it: key codes by position, the Mac's characters for its
// function keys, and the modifier mapping (Ctrl is Command, Alt is Option, Super is Control).
#include "iStandInX11Keys.h"

#include <HIToolbox/CarbonEvents.h>

#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>

namespace {

TEST(StandInX11Keys, KeysHaveTheMacKeyCodesAndCharacters) {
  struct Case {
    unsigned long keysym;
    UInt16 keyCode;
    UniChar character;
  };
  const Case cases[] = {
      {XK_space, 49, ' '},       {XK_a, 0, 'a'},
      {XK_q, 12, 'q'},           {XK_z, 6, 'z'},
      {XK_1, 18, '1'},           {XK_minus, 27, '-'},
      {XK_Return, 36, 0x0D},     {XK_Tab, 48, 0x09},
      {XK_BackSpace, 51, 0x08},  {XK_Escape, 53, 0x1B},
      {XK_Delete, 117, 0x7F},    {XK_Left, 123, 0x1C},
      {XK_Right, 124, 0x1D},     {XK_Down, 125, 0x1F},
      {XK_Up, 126, 0x1E},        {XK_Home, 115, 0x01},
      {XK_End, 119, 0x04},       {XK_Page_Up, 116, 0x0B},
      {XK_Page_Down, 121, 0x0C}, {XK_F1, 122, 0x10},
      {XK_KP_Enter, 76, 0x03},   {XK_KP_8, 91, '8'},
      {XK_KP_Add, 69, '+'},
  };
  for (const Case& c : cases) {
    UInt16 keyCode = 0xFFFF;
    EXPECT_TRUE(standin_x11::MacKeyCode(c.keysym, &keyCode)) << std::hex << c.keysym;
    EXPECT_EQ(c.keyCode, keyCode) << std::hex << c.keysym;
    EXPECT_EQ(c.character, standin_x11::MacCharacter(c.keysym)) << std::hex << c.keysym;
  }
}

TEST(StandInX11Keys, KeysTheMacLacksStillTypeTheirCharacters) {
  UInt16 keyCode = 0;
  EXPECT_FALSE(standin_x11::MacKeyCode(XK_odiaeresis, &keyCode));
  EXPECT_EQ(0xF6, standin_x11::MacCharacter(XK_odiaeresis));
  EXPECT_FALSE(standin_x11::MacKeyCode(XK_EuroSign, &keyCode));
  EXPECT_EQ(0x20AC, standin_x11::MacCharacter(0x10020AC));  // a Unicode key symbol
  EXPECT_EQ(0, standin_x11::MacCharacter(XK_Print));
}

TEST(StandInX11Keys, CtrlIsCommandAltIsOptionSuperIsControl) {
  const standin_x11::ModifierMasks usual;
  struct Case {
    unsigned int state;
    UInt32 modifiers;
  };
  const Case cases[] = {
      {0, 0},
      {ControlMask, cmdKey},
      {Mod1Mask, optionKey},
      {Mod4Mask, controlKey},
      {ShiftMask, shiftKey},
      {LockMask, alphaLock},
      {ControlMask | ShiftMask | Mod1Mask, cmdKey | shiftKey | optionKey},
      {Button1Mask | Mod2Mask, 0},  // buttons and Num Lock are no Mac modifiers
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.modifiers, standin_x11::MacModifiers(c.state, usual)) << std::hex << c.state;

  // A keyboard that holds Alt on Mod3 and Super on Mod5.
  standin_x11::ModifierMasks other;
  other.alt = Mod3Mask;
  other.super = Mod5Mask;
  EXPECT_EQ(UInt32(optionKey | controlKey), standin_x11::MacModifiers(Mod3Mask | Mod5Mask, other));
  EXPECT_EQ(0u, standin_x11::MacModifiers(Mod1Mask | Mod4Mask, other));
}

TEST(StandInX11Keys, ModifierKeysStandForTheirMasks) {
  const standin_x11::ModifierMasks usual;
  EXPECT_EQ(unsigned(ControlMask), standin_x11::ModifierMaskOf(XK_Control_R, usual));
  EXPECT_EQ(unsigned(Mod1Mask), standin_x11::ModifierMaskOf(XK_Alt_L, usual));
  EXPECT_EQ(unsigned(Mod4Mask), standin_x11::ModifierMaskOf(XK_Super_L, usual));
  EXPECT_EQ(unsigned(ShiftMask), standin_x11::ModifierMaskOf(XK_Shift_L, usual));
  EXPECT_EQ(0u, standin_x11::ModifierMaskOf(XK_a, usual));
  EXPECT_TRUE(standin_x11::IsModifierSymbol(XK_Caps_Lock));
  EXPECT_FALSE(standin_x11::IsModifierSymbol(XK_space));
}

}  // namespace
