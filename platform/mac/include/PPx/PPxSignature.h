// PowerPlant X of the Mac stand-in: the application's signature, the creator of the window
// properties the framework and its additions set ('PPx ' until the program sets its own).
#pragma once
#include <MacTypes.h>

namespace PPx {

class Signature {
public:
  static OSType Get();
  static void Set(OSType signature);
};

}  // namespace PPx
