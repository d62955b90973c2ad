// The fixture of the sheet view's own tests: sheets from the preview-file writer with marks that
// tell every turn and mirror apart, a view in no window that paints into a bitmap, and the colour
// the portable view's transforms and the tiled images say a view pixel must have.
#pragma once

#include "support/MKRX_Fixture.h"
#include "support/MKRX_ViewPixels.h"

#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_SheetReference.h"
#include "MKRX/MKRX_SheetView.h"

#include <CoreGraphics/CoreGraphics.h>

#include <cstdint>
#include <memory>
#include <vector>

// A rectangle of inked pixels, in 1:1 pixels, ends exclusive.
struct MKRX_Mark {
  std::uint32_t left, top, right, bottom;
};

struct MKRX_TestSheetSpec {
  std::uint32_t width = 1536;
  std::uint32_t length = 1024;
  std::uint32_t tileSize = 512;
  std::uint16_t orientation = 0;  // 0: the back is mirrored left to right, 2: top to bottom
  bool back = true;
  bool pageNumber = false;
  // Front: a bar along the top and one down the left; back: a square towards the bottom right.
  std::vector<MKRX_Mark> frontMarks = {{96, 64, 352, 160}, {96, 64, 160, 640}};
  std::vector<MKRX_Mark> backMarks = {{1024, 512, 1280, 768}};
};

// The view with the portable state the tests set directly and the loader's firing in reach.
class MKRX_ProbeView : public MKRX_SheetView {
public:
  using MKRX_SheetView::DoScrollableScrollTo;
  using MKRX_SheetView::DoTimer;
  void SetMirroring(long mirroring) { m_BackupMode = mirroring; }
  void SetPlateEdge(bool shown) { m_ShowPlateEdge = shown; }
  bool PlateShown() const { return m_ShowPlateEdge; }
  void SetProgressive(bool on) { m_BackgroundDrawing = on; }
  void SetPageEdges(bool edges, bool numbers) {
    m_ShowPageEdges = edges;
    m_ShowPageNumbers = numbers;
  }
  TileQueue& BackRequests() { return m_BackTileRequests; }
  TileQueue& FrontRequests() { return m_FrontTileRequests; }
  IMPN_Surface& Viewed() { return ViewedSurface(); }
  IMPN_Surface& Other() { return OtherSurface(); }
};

// Keeps every message of one class the view broadcasts.
template <class Message>
class MKRX_Heard : public GLIB_MessageTarget {
public:
  explicit MKRX_Heard(GLIB_MessageDispatcher const& dispatcher) {
    dispatcher.Register(new GLIB_Callback<MKRX_Heard, Message>(this, &MKRX_Heard::Hear));
  }
  void Hear(Message const& message) { messages.push_back(message); }
  std::vector<Message> messages;
};

// Premultiplied 0xAARRGGBB pixels, y down from the top left.
class MKRX_Canvas {
public:
  MKRX_Canvas(long width, long height);
  ~MKRX_Canvas();
  MKRX_Canvas(MKRX_Canvas const&) = delete;
  MKRX_Canvas& operator=(MKRX_Canvas const&) = delete;

  void Fill(std::uint32_t pixel);
  // Paints the view as its scroll view would: image pixels, translated by the image origin.
  void Paint(MKRX_SheetView& view);
  std::uint32_t Pixel(long x, long y) const { return m_Pixels[y * m_Width + x]; }
  std::vector<std::uint32_t> const& Pixels() const { return m_Pixels; }
  CGContextRef Context() const { return m_Context; }

private:
  long m_Width;
  long m_Height;
  std::vector<std::uint32_t> m_Pixels;
  CGContextRef m_Context = nullptr;
};

class MKRX_SheetViewFixture : public MKRX_Fixture {
protected:
  void SetUp() override;
  void TearDown() override;

  IMPN_Sheet* MakeSheet(MKRX_TestSheetSpec const& spec);
  // A sheet whose file vanished before it was read: no image, no thumbnail, no scale.
  IMPN_Sheet* MakeSheetWithoutSize();
  // A view in no window, of the frame's size, showing the sheet.
  MKRX_ProbeView& MakeView(IMPN_Sheet* sheet, long width, long height);

  // The colour of one pixel of a surface's tiles at the view's level (RGB, 0xRRGGBB); -1 outside.
  static long TileColor(IMPN_Surface& surface, IMPN_ZoomLevel level, long x, long y);
  // What the view must show at the view point: the viewed surface over the surface behind as
  // the portable transforms place them, or white beyond the displayed image.
  static std::uint32_t Expected(MKRX_SheetView& view, long x, long y);

  // The fixture's own references keep the sheets while views come and go.
  std::vector<IMPN_SheetReference> m_Sheets;
  std::vector<std::unique_ptr<MKRX_ProbeView>> m_Views;
};
