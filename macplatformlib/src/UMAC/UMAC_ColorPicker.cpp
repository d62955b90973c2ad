#include "UMAC/UMAC_ColorPicker.h"

#include <algorithm>
#include <cstring>

namespace {

// A default profile, closed when the scope ends.
class DefaultProfile {
public:
  explicit DefaultProfile(OSType space) : m_Status(CMGetDefaultProfileBySpace(space, &m_Profile)) {
    if (m_Status != noErr)
      m_Profile = nullptr;
  }
  ~DefaultProfile() {
    if (m_Profile)
      CMCloseProfile(m_Profile);
  }
  DefaultProfile(const DefaultProfile&) = delete;
  DefaultProfile& operator=(const DefaultProfile&) = delete;
  CMError Status() const { return m_Status; }
  CMProfileRef Get() const { return m_Profile; }

private:
  CMProfileRef m_Profile = nullptr;
  CMError m_Status;
};

}  // namespace

CMError UMAC_ColorPicker::MatchColor(CMColor& color, OSType sourceSpace, OSType destinationSpace) {
  DefaultProfile source(sourceSpace);
  DefaultProfile destination(destinationSpace);
  if (source.Status() != noErr)
    return source.Status();
  if (destination.Status() != noErr)
    return destination.Status();
  CMWorldRef world = nullptr;
  CMError err = NCWNewColorWorld(&world, source.Get(), destination.Get());
  if (err != noErr)
    return err;
  err = CWMatchColors(world, &color, 1);
  CWDisposeColorWorld(world);
  return err;
}

OSStatus UMAC_ColorPicker::PickColor(CMColor& color, OSType sourceSpace, OSType destinationSpace,
                                     bool& chosen, PickerMenuItemInfo& menuInfo, const char* prompt,
                                     OSType pickerType, UInt32 flags, Point where) {
  chosen = false;
  DefaultProfile source(sourceSpace);
  DefaultProfile destination(destinationSpace);
  if (source.Status() != noErr)
    return source.Status();
  if (destination.Status() != noErr)
    return destination.Status();
  NColorPickerInfo info;
  std::memset(&info, 0, sizeof info);
  info.theColor.color = color;
  info.theColor.profile = source.Get();
  info.dstProfile = destination.Get();
  info.flags = flags | kColorPickerAppIsColorSyncAware;
  if (where.h != 0 || where.v != 0) {
    info.placeWhere = kAtSpecifiedOrigin;
    info.dialogOrigin = where;
  } else {
    info.placeWhere = kCenterOnMainScreen;
  }
  info.pickerType = pickerType;
  const size_t length = prompt ? std::min<size_t>(std::strlen(prompt), 255) : 0;
  info.prompt[0] = static_cast<unsigned char>(length);
  if (length)
    std::memcpy(info.prompt + 1, prompt, length);
  info.mInfo = menuInfo;
  info.newColorChosen = false;
  const OSStatus err = NPickColor(&info);
  if (err == noErr) {
    color = info.theColor.color;
    chosen = info.newColorChosen;
  }
  return err;
}
