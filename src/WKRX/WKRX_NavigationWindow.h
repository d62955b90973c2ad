// The navigation palette of a sheet window: the sheet's thumbnail, turned as the view shows the
// sheet, veiled except inside a frame that marks what the view shows. A click centres the frame
// there, a drag of the frame moves it and a band drawn elsewhere becomes the new frame; the frame
// hands each to the view. Positions cross between view and palette as fractions of the unturned
// image, so neither needs the other's scale.
#pragma once

#include "IMPN/IMPN_Geometry.h"
#include "WKRX/WKRX_ViewMessages.h"
#include "WKRX/WKRX_ViewTransform.h"

#include <windows.h>

#include <atlbase.h>
#include <atlgdi.h>
#include <atlwin.h>

#include "WTLA/win/DockingWindow.h"

class IMPN_Sheet;
class IMPN_ThumbnailImage;
class WKRX_SheetView;

// The palette's arithmetic, apart from its window.
namespace WKRX_Navigation {

// The thumbnail's extent turned: width and length exchanged at 90 and 270 degrees.
SIZE TurnedExtent(long width, long length, long rotation);
// A frame in turned-thumbnail coordinates mapped onto the upright thumbnail.
RECT UprightFrame(const RECT& frame, long width, long length, long rotation);
// Where the upright thumbnail lands on the turned picture, shifted by offset.
WKRX_ViewTransform ThumbnailTransform(long width, long length, long rotation, POINT offset);
// The turned thumbnail's offset in a client area: centred, halves rounded toward zero.
POINT CentringOffset(SIZE client, SIZE turned);
// The frame moved by (dx, dy) and kept inside extent: it stops at an edge with its size, and an
// axis along which it is larger than the extent does not move.
RECT MoveInside(const RECT& frame, long dx, long dy, SIZE extent);
// The frame from fractions (top, left, width, height) of a thumbnail of width x length.
RECT FrameFromFractions(const IMPN_RectT<double>& fractions, long width, long length);
// Constant alpha of a veil whose colour covers percent of what lies below.
BYTE VeilAlpha(int percent);

}  // namespace WKRX_Navigation

class WKRX_NavigationWindow : public dockwins::CTitleDockingWindowImpl<WKRX_NavigationWindow> {
public:
  using CBase = dockwins::CTitleDockingWindowImpl<WKRX_NavigationWindow>;

  enum MouseMode {
    kMouseNone = 0,
    kMousePressed = 1,
    kMouseMovingFrame = 2,
    kMouseBand = 3
  };

  // The view's sheet, side, rotation and overlay switches; a view without a sheet clears it. The
  // view keeps the sheet: the frame gives the palette the view again whenever its sheet changes.
  void SetView(WKRX_SheetView& view);

  IMPN_Sheet* Sheet() const { return m_Sheet; }
  const RECT& ViewFrame() const { return m_ViewFrame; }
  long Rotation() const { return m_Rotation; }
  bool FrontShown() const { return m_FrontShown; }
  bool SideEmpty() const { return m_SideEmpty; }
  bool PageEdgesShown() const { return m_ShowPageEdges; }
  bool PageNumbersShown() const { return m_ShowPageNumbers; }
  int MouseMode() const { return m_MouseMode; }
  SIZE Extent() const { return SIZE{m_Width, m_Length}; }
  // Docked or floating, for the current rotation.
  SIZE PreferredSize() const;
  void GetMinMaxInfo(MINMAXINFO* info);

  // The picture into dc, as the paint draws it into its buffer.
  void DrawPicture(HDC dc, const RECT& client);

  BEGIN_MSG_MAP(WKRX_NavigationWindow)
  MESSAGE_HANDLER(WKRX_WM_VIEWFRAMECHANGED, OnViewFrameChanged)
  MESSAGE_HANDLER(WKRX_WM_ZOOMLEVELCHANGED, OnViewFrameChanged)
  MESSAGE_HANDLER(WKRX_WM_FRONTSIDESHOWN, OnSideShown)
  MESSAGE_HANDLER(WKRX_WM_BACKSIDESHOWN, OnSideShown)
  MESSAGE_HANDLER(WKRX_WM_PAGEEDGESSHOWN, OnOverlaySwitch)
  MESSAGE_HANDLER(WKRX_WM_PAGEEDGESHIDDEN, OnOverlaySwitch)
  MESSAGE_HANDLER(WKRX_WM_PAGENUMBERSSHOWN, OnOverlaySwitch)
  MESSAGE_HANDLER(WKRX_WM_PAGENUMBERSHIDDEN, OnOverlaySwitch)
  MESSAGE_HANDLER(WKRX_WM_SHEETCONTENTCHANGED, OnSheetContentChanged)
  MESSAGE_HANDLER(WKRX_WM_ROTATIONCHANGED, OnRotationChanged)
  MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnAnswerOne)
  MESSAGE_HANDLER(WM_NCACTIVATE, OnAnswerOne)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnButtonDown)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnButtonUp)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

private:
  LRESULT OnViewFrameChanged(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnSideShown(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnOverlaySwitch(UINT message, WPARAM, LPARAM, BOOL&);
  LRESULT OnSheetContentChanged(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnRotationChanged(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnAnswerOne(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&);

  // Client point to turned-thumbnail coordinates.
  POINT ToThumbnail(POINT client) const;
  SIZE Turned() const;
  bool InsideThumbnail(POINT p) const;
  bool HasExtent() const { return m_Width > 0 && m_Length > 0; }
  void SideChanged();
  // The thumbnail of the side shown (the other side's when it is empty), rebuilt when older than
  // its surface; null when there is none.
  IMPN_ThumbnailImage* ShownThumbnail();
  void DrawPages(HDC dc, const WKRX_ViewTransform& place);
  void ScrollViewToFrame();
  void ZoomViewToFrame();
  void Repaint();

  IMPN_Sheet* m_Sheet = nullptr;
  double m_Reduction = 1.0;
  long m_Width = 0;
  long m_Length = 0;
  RECT m_ViewFrame = {0, 0, 0, 0};
  long m_Rotation = 0;
  bool m_FrontShown = true;
  bool m_SideEmpty = false;
  bool m_ShowPageEdges = false;
  bool m_ShowPageNumbers = false;
  POINT m_Press = {-1, -1};
  POINT m_Last = {-1, -1};
  int m_MouseMode = kMouseNone;
};
