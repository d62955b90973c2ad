// The keyboard of an X display as the Mac knows it (see iStandInX11Keys.h).
#include "iStandInX11Keys.h"

#include <HIToolbox/CarbonEvents.h>

#include <X11/X.h>
#include <X11/keysym.h>

#include <algorithm>
#include <iterator>

namespace {

struct KeyEntry {
  unsigned long keysym;
  UInt16 keyCode;
  UniChar character;  // the Mac's character for keys that type no printable one, else 0
};

// By key symbol, for a binary search. Printable keys take their character from the symbol.
constexpr KeyEntry kKeys[] = {
    {XK_space, 0x31, 0},
    {XK_apostrophe, 0x27, 0},
    {XK_comma, 0x2B, 0},
    {XK_minus, 0x1B, 0},
    {XK_period, 0x2F, 0},
    {XK_slash, 0x2C, 0},
    {XK_0, 0x1D, 0},
    {XK_1, 0x12, 0},
    {XK_2, 0x13, 0},
    {XK_3, 0x14, 0},
    {XK_4, 0x15, 0},
    {XK_5, 0x17, 0},
    {XK_6, 0x16, 0},
    {XK_7, 0x1A, 0},
    {XK_8, 0x1C, 0},
    {XK_9, 0x19, 0},
    {XK_semicolon, 0x29, 0},
    {XK_equal, 0x18, 0},
    {XK_bracketleft, 0x21, 0},
    {XK_backslash, 0x2A, 0},
    {XK_bracketright, 0x1E, 0},
    {XK_grave, 0x32, 0},
    {XK_a, 0x00, 0},
    {XK_b, 0x0B, 0},
    {XK_c, 0x08, 0},
    {XK_d, 0x02, 0},
    {XK_e, 0x0E, 0},
    {XK_f, 0x03, 0},
    {XK_g, 0x05, 0},
    {XK_h, 0x04, 0},
    {XK_i, 0x22, 0},
    {XK_j, 0x26, 0},
    {XK_k, 0x28, 0},
    {XK_l, 0x25, 0},
    {XK_m, 0x2E, 0},
    {XK_n, 0x2D, 0},
    {XK_o, 0x1F, 0},
    {XK_p, 0x23, 0},
    {XK_q, 0x0C, 0},
    {XK_r, 0x0F, 0},
    {XK_s, 0x01, 0},
    {XK_t, 0x11, 0},
    {XK_u, 0x20, 0},
    {XK_v, 0x09, 0},
    {XK_w, 0x0D, 0},
    {XK_x, 0x07, 0},
    {XK_y, 0x10, 0},
    {XK_z, 0x06, 0},
    {XK_BackSpace, 0x33, 0x08},
    {XK_Tab, 0x30, 0x09},
    {XK_Return, 0x24, 0x0D},
    {XK_Escape, 0x35, 0x1B},
    {XK_Home, 0x73, 0x01},
    {XK_Left, 0x7B, 0x1C},
    {XK_Up, 0x7E, 0x1E},
    {XK_Right, 0x7C, 0x1D},
    {XK_Down, 0x7D, 0x1F},
    {XK_Page_Up, 0x74, 0x0B},
    {XK_Page_Down, 0x79, 0x0C},
    {XK_End, 0x77, 0x04},
    {XK_Help, 0x72, 0x05},
    {XK_KP_Enter, 0x4C, 0x03},
    {XK_KP_Home, 0x73, 0x01},
    {XK_KP_Left, 0x7B, 0x1C},
    {XK_KP_Up, 0x7E, 0x1E},
    {XK_KP_Right, 0x7C, 0x1D},
    {XK_KP_Down, 0x7D, 0x1F},
    {XK_KP_Page_Up, 0x74, 0x0B},
    {XK_KP_Page_Down, 0x79, 0x0C},
    {XK_KP_End, 0x77, 0x04},
    {XK_KP_Delete, 0x75, 0x7F},
    {XK_KP_Multiply, 0x43, 0},
    {XK_KP_Add, 0x45, 0},
    {XK_KP_Subtract, 0x4E, 0},
    {XK_KP_Decimal, 0x41, 0},
    {XK_KP_Divide, 0x4B, 0},
    {XK_KP_0, 0x52, 0},
    {XK_KP_1, 0x53, 0},
    {XK_KP_2, 0x54, 0},
    {XK_KP_3, 0x55, 0},
    {XK_KP_4, 0x56, 0},
    {XK_KP_5, 0x57, 0},
    {XK_KP_6, 0x58, 0},
    {XK_KP_7, 0x59, 0},
    {XK_KP_8, 0x5B, 0},
    {XK_KP_9, 0x5C, 0},
    {XK_KP_Equal, 0x51, 0},
    {XK_F1, 0x7A, 0x10},
    {XK_F2, 0x78, 0x10},
    {XK_F3, 0x63, 0x10},
    {XK_F4, 0x76, 0x10},
    {XK_F5, 0x60, 0x10},
    {XK_F6, 0x61, 0x10},
    {XK_F7, 0x62, 0x10},
    {XK_F8, 0x64, 0x10},
    {XK_F9, 0x65, 0x10},
    {XK_F10, 0x6D, 0x10},
    {XK_F11, 0x67, 0x10},
    {XK_F12, 0x6F, 0x10},
    {XK_F13, 0x69, 0x10},
    {XK_F14, 0x6B, 0x10},
    {XK_F15, 0x71, 0x10},
    {XK_Delete, 0x75, 0x7F},
};

constexpr bool Sorted() {
  for (std::size_t i = 1; i < std::size(kKeys); ++i)
    if (kKeys[i - 1].keysym >= kKeys[i].keysym)
      return false;
  return true;
}
static_assert(Sorted(), "the key table is searched by halves");

const KeyEntry* Find(unsigned long keysym) {
  const auto* end = std::end(kKeys);
  const auto* found = std::lower_bound(
      std::begin(kKeys), end, keysym,
      [](const KeyEntry& entry, unsigned long wanted) { return entry.keysym < wanted; });
  return found != end && found->keysym == keysym ? found : nullptr;
}

// The Unicode character of a symbol: Latin-1 symbols are their code, and symbols from 0x1000000
// on carry one outright; the keypad's printable symbols type their digits and signs.
UniChar Unicode(unsigned long keysym) {
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
    return static_cast<UniChar>(keysym);
  if (keysym >= 0x1000100 && keysym <= 0x100FFFF)
    return static_cast<UniChar>(keysym - 0x1000000);
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
    return static_cast<UniChar>('0' + (keysym - XK_KP_0));
  switch (keysym) {
    case XK_KP_Equal:
      return '=';
    case XK_KP_Multiply:
      return '*';
    case XK_KP_Add:
      return '+';
    case XK_KP_Subtract:
      return '-';
    case XK_KP_Decimal:
      return '.';
    case XK_KP_Divide:
      return '/';
    default:
      return 0;
  }
}

}  // namespace

namespace standin_x11 {

bool MacKeyCode(unsigned long keysym, UInt16* keyCode) {
  const KeyEntry* entry = Find(keysym);
  if (entry == nullptr)
    return false;
  *keyCode = entry->keyCode;
  return true;
}

UniChar MacCharacter(unsigned long keysym) {
  if (const KeyEntry* entry = Find(keysym))
    if (entry->character != 0)
      return entry->character;
  return Unicode(keysym);
}

bool IsModifierSymbol(unsigned long keysym) {
  return (keysym >= XK_Shift_L && keysym <= XK_Hyper_R) || keysym == XK_Mode_switch ||
         keysym == XK_ISO_Level3_Shift;
}

UInt32 MacModifiers(unsigned int state, const ModifierMasks& masks) {
  UInt32 modifiers = 0;
  if (state & ControlMask)
    modifiers |= cmdKey;
  if (state & ShiftMask)
    modifiers |= shiftKey;
  if (state & LockMask)
    modifiers |= alphaLock;
  if (state & masks.alt)
    modifiers |= optionKey;
  if (state & masks.super)
    modifiers |= controlKey;
  return modifiers;
}

unsigned int ModifierMaskOf(unsigned long keysym, const ModifierMasks& masks) {
  switch (keysym) {
    case XK_Shift_L:
    case XK_Shift_R:
      return ShiftMask;
    case XK_Control_L:
    case XK_Control_R:
      return ControlMask;
    case XK_Caps_Lock:
      return LockMask;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
      return masks.alt;
    case XK_Super_L:
    case XK_Super_R:
      return masks.super;
    default:
      return 0;
  }
}

}  // namespace standin_x11
