// The start-up picture: a borderless, non-opaque window that shows one PNG of the application
// bundle through a view that draws it (transparent where the picture is). The application owns
// the window (it hides and disposes of it and handles the view's control hit, part 10).
#pragma once

#include "UMAC/UMAC_CGImage.h"

#include <PPx/PPxView.h>

#include <memory>

namespace PPXA {

extern const char kSplashViewClassID[];  // "com.nolt.PPXA.SplashView"

// The window of the bundle's PNG (named with its ".png"), placed like an alert on the main
// screen, shown and selected; null when the picture is missing or the view or window fails.
WindowRef CreateSplashWindow(CFStringRef pngName);

class SplashView : public PPx::View,
                   public PPx::ControlDrawDoer,
                   public PPx::ControlHitTestDoer,
                   public PPx::ControlTrackDoer {
public:
  static constexpr const char* kGetInstanceFailed = "GetEventParameter( typeHIObjectRef ) - failed";

  // Keeps (retains) the picture for the next construction and registers the class once per
  // process; throws PPx::OSError.
  static void Register(CGImageRef picture);
  // A new view showing the picture (the caller owns the reference), or null.
  static HIViewRef Create(CGImageRef picture);
  static OSStatus HIObjectEventHandler(EventHandlerCallRef call, EventRef event, void* userData);
  // An object over the picture kept for the construction under way.
  static std::unique_ptr<SplashView> MakeInstance();

  // Retains the picture.
  explicit SplashView(CGImageRef picture);

  const char* ClassName() const override { return kSplashViewClassID; }
  // Installs the draw and hit-test handlers (tracking stays the system's).
  void InitializeHIObject();

protected:
  OSStatus DoControlDraw(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                         RgnHandle region, CGContextRef context) override;
  OSStatus DoControlHitTest(PPx::SysCarbonEvent& event, ControlRef control, HIPoint where,
                            ControlPartCode& part) override;
  // Drags the window (not installed: clicks are the application's).
  OSStatus DoControlTrack(PPx::SysCarbonEvent& event, ControlRef control, const CGPoint& where,
                          UInt32 modifiers, ControlActionUPP action,
                          ControlPartCode& part) override;

private:
  static const EventTypeSpec kFactoryEvents[3];
  static HIObjectClassRef sm_ClassRef;
  // The picture of the construction under way; held only from Register to the end of Create.
  static UMAC_CGImage& NextPicture();

  UMAC_CGImage m_Picture;
};

}  // namespace PPXA
