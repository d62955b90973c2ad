// Small nib files holding the three palette windows by the names the program looks up, for tests
// that run without the program's own nibs: navigation 200 x 150 and separations 220 x 300 in
// "MKRX_Resources", measurement 240 x 100 in "MKRX_Localized" (content sizes; each window has a
// title bar above its content).
#pragma once

#include "TestBundle.h"

inline void AddPaletteNibs(TestBundle const& bundle) {
  bundle.AddResource("MKRX_Resources.nib",
                     "window \"Navigation Palette\"\n  class floating\n  attributes close\n"
                     "  bounds 100 100 250 300\n"
                     "  view userpane\n    id 'NavV' 0\n    frame 0 0 200 150\n  end\nend\n"
                     "window \"Separation Palette\"\n  class floating\n  attributes close\n"
                     "  bounds 100 100 400 320\nend\n");
  bundle.AddResource("MKRX_Localized.nib",
                     "window \"Measurement Palette\"\n  class floating\n  attributes close\n"
                     "  bounds 100 100 200 340\n"
                     "  view statictext\n    id 'Crdn' 0\n    frame 4 4 232 16\n  end\n"
                     "  view statictext\n    id 'Dlta' 0\n    frame 4 24 232 16\n  end\n"
                     "  view statictext\n    id 'DAng' 0\n    frame 4 44 232 16\n  end\nend\n");
}
