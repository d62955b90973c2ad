// Colours between ColorSync colour spaces, and the system colour picker. Colour spaces are
// ColorSync colour-space signatures.
#pragma once

#include <HIServices/ColorPicker.h>

class UMAC_ColorPicker {
public:
  // Matches the colour in place from the source space's default profile to the destination's;
  // the first failing status, or noErr. Profiles and the colour world are closed on every path.
  static CMError MatchColor(CMColor& color, OSType sourceSpace, OSType destinationSpace);

  // Runs the picker on the colour (in the source space's default profile, shown in the
  // destination's): at where, or centred on the main screen when where is (0, 0); a prompt longer
  // than 255 bytes is cut. On success the colour comes back and chosen says whether the user
  // chose one. Returns the first profile's failure, or the picker's status.
  static OSStatus PickColor(CMColor& color, OSType sourceSpace, OSType destinationSpace,
                            bool& chosen, PickerMenuItemInfo& menuInfo, const char* prompt,
                            OSType pickerType, UInt32 flags, Point where);
};
