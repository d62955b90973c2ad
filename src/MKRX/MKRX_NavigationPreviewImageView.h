// The sample of the navigation palette in the preferences: a fixed picture with a sample view
// frame over it, the surroundings screened, in the colours the user is choosing. Main thread
// only.
#pragma once

#include "IMPN/IMPN_Color.h"
#include "UMAC/UMAC_CGImage.h"

#include <PPx/PPxView.h>
#include <PPx/PPxViewDoers.h>

class MKRX_NavigationPreviewImageView : public PPx::ImageView, public PPx::ControlDrawDoer {
public:
  MKRX_NavigationPreviewImageView();

  // Binds the object to the nib's view and loads the picture.
  void Attach(ControlRef control);

  // Neither colour shows until it is set; a colour set without a redraw waits for Refresh.
  void SetFrameColor(IMPN_RGBAColor8 const& colour, bool redraw);
  void SetScreenColor(IMPN_RGBAColor8 const& colour, bool redraw);
  void Refresh();

  CGRect GetFrameRect() const { return m_FrameRect; }
  const char* ClassName() const override { return "MKRX_NavigationPreviewImageView"; }

protected:
  OSStatus DoControlDraw(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                         RgnHandle region, CGContextRef context) override;

private:
  void InstallEventHandlers();
  void SetupImage();

  IMPN_RGBAColor8 m_ScreenColor;
  IMPN_RGBAColor8 m_FrameColor;
  CGRect m_ImageRect;
  CGRect m_FrameRect;
  UMAC_CGImage m_Image;
};
