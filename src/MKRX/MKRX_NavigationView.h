// The navigation palette's view: the thumbnail of the bound sheet view's sheet, turned like the
// view, with its page edges and numbers when the view shows them, and the view frame, the part
// the sheet view shows, with the rest screened. Dragging the frame moves the sheet view, a click
// centres it there, a drawn rectangle zooms it to fit. Main thread only.
#pragma once

#include "GLIB/GLIB_Message.h"
#include "IMPN/IMPN_BitMap.h"
#include "IMPN/IMPN_SurfaceRecords.h"
#include "MKRX/MKRX_SheetViewMessages.h"
#include "UMAC/UMAC_CGImage.h"

#include <HIToolbox/MacWindows.h>
#include <PPx/PPxInputDoers.h>
#include <PPx/PPxToolbarDoers.h>
#include <PPx/PPxView.h>
#include <PPx/PPxViewDoers.h>

#include <vector>

class IMPN_Sheet;
class MKRX_DrawContext;
class MKRX_SheetView;

class MKRX_NavigationView : public PPx::ImageView,
                            public PPx::ControlDrawDoer,
                            public PPx::ControlGetPartRegionDoer,
                            public PPx::ControlHitTestDoer,
                            public PPx::ControlTrackDoer,
                            public PPx::MouseEnteredDoer,
                            public PPx::MouseExitedDoer,
                            public PPx::MouseMovedDoer,
                            public GLIB_MessageTarget,
                            public GLIB_MessageDispatcher {
public:
  MKRX_NavigationView();
  ~MKRX_NavigationView() override;

  // Binds the object to the nib's view.
  void Attach(ControlRef control);

  void SetSheetView(MKRX_SheetView* view);
  // Lets go of the view: its callbacks leave both dispatchers, the picture goes.
  void RemoveSheetView(MKRX_SheetView* view);
  void SetViewFrame(CGRect const& frame);
  // Moves the frame, kept on the thumbnail as it stands on screen.
  void OffsetViewFrame(long dx, long dy);
  // One press in the view at the point (view coordinates) and what follows until the release.
  void Track(CGPoint const& where);

  void DoSheetViewFrameChanged(MKRX_SheetViewFrameChangedMessage const& message);
  void DoShowThumbnail(MKRX_ShowThumbnailMessage const& message);
  void DoSetShowPageEdges(MKRX_SetShowPageEdgesMessage const& message);
  void DoSetShowPageNumbers(MKRX_SetShowPageNumbersMessage const& message);

  GLIB_MessageDispatcher const& Dispatcher() const { return *this; }
  CGRect GetViewFrame() const { return m_ViewFrame; }
  CGRect GetImageRect() const { return m_ImageRect; }
  IMPN_Sheet* GetSheet() const { return m_Sheet; }
  bool HasImage() const { return !m_Image.IsNull(); }
  bool IsShowThrough() const { return m_ShowThrough; }
  bool IsFrontShown() const { return m_Front; }
  MouseTrackingRef GetMouseTrackingRegion() const { return m_MouseTrackingRegion; }

  // One paint, y down from the view's top left.
  void Draw(CGContextRef context);

  const char* ClassName() const override { return "MKRX_NavigationView"; }

protected:
  OSStatus DoControlDraw(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                         RgnHandle region, CGContextRef context) override;
  OSStatus DoControlGetPartRegion(PPx::SysCarbonEvent& event, ControlRef control,
                                  ControlPartCode part, RgnHandle region) override;
  OSStatus DoControlHitTest(PPx::SysCarbonEvent& event, ControlRef control, HIPoint where,
                            ControlPartCode& part) override;
  OSStatus DoControlTrack(PPx::SysCarbonEvent& event, ControlRef control, CGPoint const& where,
                          UInt32 modifiers, ControlActionUPP action,
                          ControlPartCode& part) override;
  OSStatus DoMouseEntered(PPx::SysCarbonEvent& event, CGPoint const& where) override;
  OSStatus DoMouseExited(PPx::SysCarbonEvent& event, CGPoint const& where) override;
  OSStatus DoMouseMoved(PPx::SysCarbonEvent& event, CGPoint const& where) override;

private:
  void InstallEventHandlers();
  void GenerateImage(bool front);
  void SetupImage(IMPN_BitMap const& bitmap);
  void RotateContext(CGContextRef context) const;
  void DrawImage(CGContextRef context) const;
  void DrawPageEdges(MKRX_DrawContext& context, std::vector<IMPN_PageEdge> const& edges,
                     bool mirrored, bool showEdges, bool showNumbers) const;
  void DrawFrame(MKRX_DrawContext& context) const;
  CGRect Bounds() const;
  void Redraw();
  // The frame as fractions of the image rectangle; nothing without a size to divide by.
  void SendMoved();
  void SendResized();
  bool Fractions(CGRect& fractions) const;
  void SetCursorAt(CGPoint const& where) const;

  MouseTrackingRef m_MouseTrackingRegion = nullptr;
  UMAC_CGImage m_Image;
  CGRect m_ImageRect;
  CGRect m_ViewFrame;
  IMPN_Sheet* m_Sheet = nullptr;
  long m_ThumbnailScale = 0;
  long m_Rotation = 0;
  bool m_ShowThrough = false;
  bool m_Front = true;
  bool m_ShowPageEdges = false;
  bool m_ShowPageNumbers = false;
  MKRX_SheetView* m_SheetView = nullptr;
};
