// The window in the middle of a sheet window that shows one sheet: the GDI half of the portable
// sheet view. The portable base decides what to draw; this class supplies the window, the scroll
// bars, tiles and overlays drawn with GDI, the 25 ms timer that fills in reduced levels, the mouse
// tools with their XOR feedback, the cursors, dropped files and the messages that keep the frame,
// the rulers and the palettes up to date.
#pragma once

#include "CKRX/CKRX_SheetView.h"
#include "GLIB/GLIB_Message.h"
#include "GLIB/GLIB_String.h"
#include "WKRX/WKRX_DropTarget.h"
#include "WKRX/WKRX_SeparationStates.h"
#include "WKRX/WKRX_ViewMessages.h"
#include "WKRX/WKRX_ViewTransform.h"

#include <windows.h>

#include <atlbase.h>
#include <atlscrl.h>
#include <atlwin.h>

#include <memory>
#include <vector>

class WTLU_DropTargetRegistration;

// Tools the view adds to the portable ones while a ruler or the corner box starts a drag.
enum : long {
  kWKRX_ToolPlaceHorizontalGuide = 5,
  kWKRX_ToolPlaceVerticalGuide = 6,
  kWKRX_ToolMoveOrigin = 9,
  kWKRX_ToolNone = 15
};

class WKRX_SheetView : public WTL::CScrollWindowImpl<WKRX_SheetView>,
                       public CKRX_SheetView,
                       public GLIB_MessageTarget {
public:
  DECLARE_WND_CLASS_EX(L"WKRX_SheetView", CS_DBLCLKS, -1)

  WKRX_SheetView();
  ~WKRX_SheetView() override;

  // Binds a sheet; a sheet made from dropped files takes over what the user set on the files it
  // shares with the sheet shown before.
  void BindSheet(IMPN_Sheet* sheet);
  IMPN_Sheet* Sheet() const { return m_Sheet.Get(); }

  void SetFrameWindow(HWND frame) { m_Frame = frame; }
  HWND FrameWindow() const { return m_Frame; }
  long InstanceNumber() const { return m_InstanceNumber; }
  bool GuidesShown() const { return m_ShowGuideLines; }
  long Rotation() const { return m_Rotation; }
  bool BackSideShown() const { return m_PageFlipped; }
  bool PageEdgesShown() const { return m_ShowPageEdges; }
  bool PageNumbersShown() const { return m_ShowPageNumbers; }
  IMPN_ZoomLevel ZoomLevel() const { return m_ZoomLevel; }
  POINT ScrollPosition() const { return m_ptOffset; }
  bool Tracking() const { return m_Tracking; }
  long ToolMode() const { return m_ToolMode; }
  // The drop target while the window is registered for drops; null otherwise.
  WKRX_DropTarget* DropTarget() const;

  // The sheet window's operations.
  void SetLayDownOrder(bool front, std::vector<IMPN_Separation*>& order);
  // Whether the sheet's front surface is the one in view.
  bool FrontShown() const { return !m_PageFlipped; }
  void UpdatePageSize();

  // What the view shows, as fractions of the unturned level image (top, left, width, height);
  // empty when the image has no size.
  virtual IMPN_RectT<double> GetNormalizedViewFrame();

  // CKRX_SheetView.
  void RefreshView() override;
  void EraseAndRefreshView() override;
  IMPN_RectT<long> GetViewFrame() override;
  void ResizeView(long width, long height, bool redraw) override;
  void ScrollViewTo(long x, long y, bool redraw) override;
  void EraseTile(CKRX_Context& context, IMPN_RectT<long> rect, IMPN_RGBColor8 colour) override;
  void BeginBackMode(CKRX_Context& context, int opacity) override;
  void EndBackMode(CKRX_Context& context) override;
  void BeginFrontMode(CKRX_Context& context, int opacity) override;
  void EndFrontMode(CKRX_Context& context) override;
  void DrawBitMapToContext(IMPN_BitMap const* tile, CKRX_Context& context,
                           IMPN_RectT<long> const& rect) override;
  void DrawPlateEdge(CKRX_Context& context, IMPN_RectT<long> const& rect, bool dashed) override;
  void DrawPressSheetEdge(CKRX_Context& context, IMPN_RectT<long> const& rect,
                          bool dashed) override;
  void DrawBleedEdges(CKRX_Context& context, std::vector<IMPN_RectT<long>> const& rects,
                      bool dashed) override;
  void DrawPageEdges(CKRX_Context& context, std::vector<IMPN_PageEdge> const& pages, bool dashed,
                     bool showEdges, bool showNumbers) override;
  void DrawSourceClipPaths(CKRX_Context& context, CKRX_ClipPathList const& paths,
                           bool dashed) override;
  void DrawTypeSafetyEdges(CKRX_Context& context, std::vector<IMPN_RectT<long>> const& rects,
                           bool dashed) override;
  void DrawGuideLines(CKRX_Context& context, IMPN_GuideLines const& guides, bool dashed) override;
  void DrawDensitometerFrame(CKRX_Context& context, IMPN_RectT<long> const& frame) override;
  void StartDrawCachedImageTimer() override;
  void StopDrawCachedImageTimer() override;

  // The scroll window's hooks.
  void DoPaint(WTL::CDCHandle dc);
  void ScrollContents(int dx, int dy);

  // The files of a drop, as the drop target reports them.
  void FilesDropped(const std::vector<GLIB_WString>& paths);

  BEGIN_MSG_MAP(WKRX_SheetView)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnButtonDown)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnButtonUp)
  MESSAGE_HANDLER(WKRX_WM_SCROLLVIEWTO, OnScrollViewTo)
  MESSAGE_HANDLER(WKRX_WM_ZOOMVIEWTORECT, OnZoomViewToRect)
  MESSAGE_HANDLER(WKRX_WM_BEGINHORZGUIDEDRAG, OnBeginGuideDrag)
  MESSAGE_HANDLER(WKRX_WM_BEGINVERTGUIDEDRAG, OnBeginGuideDrag)
  MESSAGE_HANDLER(WKRX_WM_BEGINORIGINDRAG, OnBeginOriginDrag)
  CHAIN_MSG_MAP(WTL::CScrollWindowImpl<WKRX_SheetView>)
  END_MSG_MAP()

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnScrollViewTo(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnZoomViewToRect(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnBeginGuideDrag(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnBeginOriginDrag(UINT, WPARAM, LPARAM, BOOL&);

  // The drop target's notifications: only a drop does something.
  void OnDragEnter(const WKRX_DragEnterMessage&) {}
  void OnDragOver(const WKRX_DragOverMessage&) {}
  void OnDragLeave(const WKRX_DragLeaveMessage&) {}
  void OnDragDropped(const WKRX_DragDroppedMessage& message) { FilesDropped(message.Paths()); }

  // Tools.
  long ChooseTool(POINT client);
  void SetToolCursor(long tool);
  void MeasureTo(POINT client, bool shift);
  void TrackDensitometer(POINT client, bool shift);
  void MoveMarker(POINT client);
  void InsertGuide();
  void PlaceOrigin();
  void SendFrameChanged();
  void SendDensitometer(const IMPN_RectT<long>& rect);

  // XOR feedback: polylines in client coordinates, drawn and taken off by drawing them again.
  using Polyline = std::vector<POINT>;
  void ShowFeedback(std::vector<Polyline> lines);
  void HideFeedback();
  void DrawFeedback(HDC dc) const;
  std::vector<Polyline> MarkerLines() const;

  // Drawing helpers.
  void Outline(HDC dc, const IMPN_RectT<long>& rect, COLORREF colour, bool dashed);
  void ScaledOutlines(HDC dc, const std::vector<IMPN_RectT<long>>& rects, COLORREF colour,
                      bool dashed);
  // The front's transform: the level image turned by the view's rotation.
  WKRX_ViewTransform Turn() const;
  POINT ToView(double x, double y) const { return m_Transform.Map(x, y); }
  double ZoomFactor() const;
  long LevelWidth() const;
  long LevelLength() const;
  POINT ScrollOffset() const { return m_ptOffset; }
  IMPN_PointT<long> ClientToView(POINT client) const;
  IMPN_PointT<double> UnitLengths(IMPN_PointT<long> viewPoint);
  bool HasResolution() const;
  SIZE ClientSize() const;
  void RunTimerPass();

  HWND m_Frame = nullptr;
  long m_InstanceNumber;
  bool m_Tracking = false;
  long m_ToolMode = kIMPN_ToolPan;
  POINT m_PressPoint = {0, 0};
  POINT m_LastPoint = {0, 0};
  bool m_PressInside = false;
  int m_AxisLock = 0;
  RECT m_Band = {0, 0, 0, 0};
  RECT m_FrameAtPress = {0, 0, 0, 0};
  IMPN_PointT<long> m_Marker;
  bool m_GuideIsHorizontal = false;
  bool m_EraseDocumentOnce = false;
  BLENDFUNCTION m_Blend = {AC_SRC_OVER, 0, 255, 0};
  WKRX_ViewTransform m_Transform;
  WKRX_ViewTransform m_SavedTransform;
  std::vector<WKRX_ViewTransform> m_FrontSaved;
  std::vector<Polyline> m_Feedback;
  bool m_FeedbackShown = false;
  std::unique_ptr<WTLU_DropTargetRegistration> m_DropTarget;
  WKRX_SeparationStates m_CarriedStates;
};
