// The keyboard of an X display as the Mac knows it: X key symbols as Mac virtual key codes and
// characters, and X modifier states as Mac modifier keys. Pure tables, no display.
#pragma once
#include <MacTypes.h>

namespace standin_x11 {

// The Mac virtual key code of the key whose unshifted symbol this is; false for a key the Mac
// keyboard lacks.
bool MacKeyCode(unsigned long keysym, UInt16* keyCode);
// The character a key types: the Mac's own for its function keys (arrows, return, delete...),
// else the symbol's Unicode character; 0 when it types none.
UniChar MacCharacter(unsigned long keysym);
// Whether the symbol is one of the modifier keys.
bool IsModifierSymbol(unsigned long keysym);

// Which X modifier masks hold Alt and Super (Mod1 and Mod4 on most keyboards).
struct ModifierMasks {
  unsigned int alt = 1u << 3;
  unsigned int super = 1u << 6;
};
// The Mac modifiers of an X state: Ctrl is the Command key, Alt the Option key, Super the Control
// key; Shift and Caps Lock are themselves.
UInt32 MacModifiers(unsigned int state, const ModifierMasks& masks);
// The X mask a modifier key's symbol stands for (0 for other keys).
unsigned int ModifierMaskOf(unsigned long keysym, const ModifierMasks& masks);

}  // namespace standin_x11
