// A platform sheet view for the tests: every hook records its call with its arguments in plain
// text, and the view frame is either a scripted rectangle or a scroll window that clamps its
// position to the scrollable extent as a real one does.
#pragma once

#include "CKRX/CKRX_SheetView.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

class FakeSheetView : public CKRX_SheetView {
public:
  // Fields the tests set up and inspect directly, as the platform views do.
  using CKRX_SheetView::m_ActiveTool;
  using CKRX_SheetView::m_BackgroundDrawing;
  using CKRX_SheetView::m_BackGuideLines;
  using CKRX_SheetView::m_BackOverlaysPending;
  using CKRX_SheetView::m_BackTileRequests;
  using CKRX_SheetView::m_BackupAlignment;
  using CKRX_SheetView::m_BackupMode;
  using CKRX_SheetView::m_ClipPathsAvailable;
  using CKRX_SheetView::m_DensitometerFrame;
  using CKRX_SheetView::m_FrontGuideLines;
  using CKRX_SheetView::m_FrontTileRequests;
  using CKRX_SheetView::m_PageFlipped;
  using CKRX_SheetView::m_Rotation;
  using CKRX_SheetView::m_SavedEdgeInfo;
  using CKRX_SheetView::m_Sheet;
  using CKRX_SheetView::m_ShowBleed;
  using CKRX_SheetView::m_ShowGuideLines;
  using CKRX_SheetView::m_ShowPageEdges;
  using CKRX_SheetView::m_ShowPageNumbers;
  using CKRX_SheetView::m_ShowPlateEdge;
  using CKRX_SheetView::m_ShowPressSheetEdge;
  using CKRX_SheetView::m_ShowSourceClipPaths;
  using CKRX_SheetView::m_ShowTypeSafety;
  using CKRX_SheetView::m_TypeSafetyAvailable;
  using CKRX_SheetView::m_UnitOriginX;
  using CKRX_SheetView::m_UnitOriginY;
  using CKRX_SheetView::m_ZoomLevel;

  ~FakeSheetView() override = default;

  // Scripted frame: GetViewFrame returns this rectangle unchanged.
  void ScriptFrame(IMPN_RectT<long> const& frame) {
    scrollWindow = false;
    m_Frame = frame;
  }
  // Scroll window: a client area of this size over the extent set by ResizeView.
  void EmulateScrollWindow(long clientWidth, long clientHeight) {
    scrollWindow = true;
    m_ClientWidth = clientWidth;
    m_ClientHeight = clientHeight;
    m_X = 0;
    m_Y = 0;
  }
  long ExtentWidth() const { return m_ExtentWidth; }
  long ExtentHeight() const { return m_ExtentHeight; }

  void RefreshView() override { Log("RefreshView"); }
  void EraseAndRefreshView() override { Log("EraseAndRefreshView"); }
  IMPN_RectT<long> GetViewFrame() override {
    if (!scrollWindow)
      return m_Frame;
    return IMPN_RectT<long>(m_Y, m_X, m_ClientWidth, m_ClientHeight);
  }
  void ResizeView(long width, long height, bool refresh) override {
    Log("ResizeView " + std::to_string(width) + "x" + std::to_string(height) + Flag(refresh));
    m_ExtentWidth = width;
    m_ExtentHeight = height;
    Clamp();
  }
  void ScrollViewTo(long x, long y, bool refresh) override {
    Log("ScrollViewTo " + std::to_string(x) + "," + std::to_string(y) + Flag(refresh));
    m_X = x;
    m_Y = y;
    Clamp();
  }
  void EraseTile(CKRX_Context&, IMPN_RectT<long> rect, IMPN_RGBColor8 colour) override {
    Log("EraseTile " + Rect(rect) + " " + Colour(colour));
  }
  void BeginBackMode(CKRX_Context&, int opacity) override {
    Log("BeginBackMode " + std::to_string(opacity));
  }
  void EndBackMode(CKRX_Context&) override { Log("EndBackMode"); }
  void BeginFrontMode(CKRX_Context&, int opacity) override {
    Log("BeginFrontMode " + std::to_string(opacity));
  }
  void EndFrontMode(CKRX_Context&) override { Log("EndFrontMode"); }
  void DrawBitMapToContext(IMPN_BitMap const* tile, CKRX_Context&,
                           IMPN_RectT<long> const& rect) override {
    Log("DrawBitMap " + Rect(rect) + " tile " + Rect(tile->rect) + " kind " +
        std::to_string(tile->kind) + " stamp " + std::to_string(tile->timeStamp));
  }
  void DrawPlateEdge(CKRX_Context&, IMPN_RectT<long> const& rect, bool back) override {
    Log("DrawPlateEdge " + Rect(rect) + Back(back));
  }
  void DrawPressSheetEdge(CKRX_Context&, IMPN_RectT<long> const& rect, bool back) override {
    Log("DrawPressSheetEdge " + Rect(rect) + Back(back));
  }
  void DrawBleedEdges(CKRX_Context&, std::vector<IMPN_RectT<long>> const& rects,
                      bool back) override {
    Log("DrawBleedEdges " + Rects(rects) + Back(back));
  }
  void DrawPageEdges(CKRX_Context&, std::vector<IMPN_PageEdge> const& pages, bool back, bool edges,
                     bool numbers) override {
    std::vector<IMPN_RectT<long>> rects;
    for (IMPN_PageEdge const& page : pages)
      rects.push_back(page.rect);
    Log("DrawPageEdges " + Rects(rects) + Back(back) + " edges " + Flag01(edges) + " numbers " +
        Flag01(numbers));
  }
  void DrawSourceClipPaths(CKRX_Context&, CKRX_ClipPathList const& paths, bool back) override {
    Log("DrawSourceClipPaths " + std::to_string(paths.size()) + Back(back));
  }
  void DrawTypeSafetyEdges(CKRX_Context&, std::vector<IMPN_RectT<long>> const& rects,
                           bool back) override {
    Log("DrawTypeSafetyEdges " + Rects(rects) + Back(back));
  }
  void DrawGuideLines(CKRX_Context&, IMPN_GuideLines const& guides, bool back) override {
    std::ostringstream text;
    text << "DrawGuideLines h{";
    for (long p : guides.horizontal)
      text << " " << p;
    text << " } v{";
    for (long p : guides.vertical)
      text << " " << p;
    text << " }" << Back(back);
    Log(text.str());
  }
  void DrawDensitometerFrame(CKRX_Context&, IMPN_RectT<long> const& frame) override {
    Log("DrawDensitometerFrame " + Rect(frame));
  }
  void StartDrawCachedImageTimer() override { Log("StartTimer"); }
  void StopDrawCachedImageTimer() override { Log("StopTimer"); }

  // Calls of one kind (by the first word), in order.
  std::vector<std::string> CallsOf(std::string const& name) const {
    std::vector<std::string> found;
    for (std::string const& call : calls)
      if (call.compare(0, name.size() + 1, name + " ") == 0 || call == name)
        found.push_back(call);
    return found;
  }
  std::size_t Count(std::string const& name) const { return CallsOf(name).size(); }

  static std::string Rect(IMPN_RectT<long> const& r) {
    return "{" + std::to_string(r.top) + "," + std::to_string(r.left) + "," +
           std::to_string(r.width) + "," + std::to_string(r.height) + "}";
  }

  std::vector<std::string> calls;
  bool scrollWindow = false;

private:
  void Log(std::string const& call) { calls.push_back(call); }
  void Clamp() {
    if (!scrollWindow)
      return;
    m_X = std::max(0L, std::min(m_X, m_ExtentWidth - m_ClientWidth));
    m_Y = std::max(0L, std::min(m_Y, m_ExtentHeight - m_ClientHeight));
  }
  static std::string Flag(bool refresh) { return refresh ? " refresh" : ""; }
  static std::string Flag01(bool value) { return value ? "1" : "0"; }
  static std::string Back(bool back) { return back ? " back" : " front"; }
  static std::string Colour(IMPN_RGBColor8 const& c) {
    return "rgb(" + std::to_string(c.red) + "," + std::to_string(c.green) + "," +
           std::to_string(c.blue) + ")";
  }
  static std::string Rects(std::vector<IMPN_RectT<long>> const& rects) {
    std::string text = "[";
    for (IMPN_RectT<long> const& r : rects)
      text += Rect(r);
    return text + "]";
  }

  IMPN_RectT<long> m_Frame;
  long m_ClientWidth = 0;
  long m_ClientHeight = 0;
  long m_ExtentWidth = 0;
  long m_ExtentHeight = 0;
  long m_X = 0;
  long m_Y = 0;
};
