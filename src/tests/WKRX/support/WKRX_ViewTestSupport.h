// What the sheet view's tests share: a 32-bit DIB section to draw into and read back (a window's
// own context cannot be read under the null display driver), sheets written by the preview-file
// writer with marks that tell every corner apart, a view whose portable state the tests reach,
// and a frame window that keeps copies of what the view tells it.
#pragma once

#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Sheet.h"
#include "WKRX/WKRX_SheetView.h"

#include "PreviewFileWriter.h"
#include "SpecFromPath.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class WKRX_DibCanvas {
public:
  WKRX_DibCanvas(int width, int height, COLORREF fill = RGB(32, 64, 96))
      : m_Width(width),
        m_Height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_DC = CreateCompatibleDC(nullptr);
    m_Bitmap = CreateDIBSection(m_DC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_Bits),
                                nullptr, 0);
    m_Previous = SelectObject(m_DC, m_Bitmap);
    Fill(fill);
  }
  ~WKRX_DibCanvas() {
    SelectObject(m_DC, m_Previous);
    DeleteObject(m_Bitmap);
    DeleteDC(m_DC);
  }
  WKRX_DibCanvas(const WKRX_DibCanvas&) = delete;
  WKRX_DibCanvas& operator=(const WKRX_DibCanvas&) = delete;

  HDC DC() const { return m_DC; }
  int Width() const { return m_Width; }
  int Height() const { return m_Height; }

  void Fill(COLORREF colour) {
    GdiFlush();
    const std::uint32_t value = Bgr(colour);
    for (int i = 0; i < m_Width * m_Height; ++i)
      m_Bits[i] = value;
  }
  // As a COLORREF (red in the low byte).
  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    const std::uint32_t v = m_Bits[static_cast<std::size_t>(y) * m_Width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  std::vector<std::uint32_t> Snapshot() const {
    GdiFlush();
    return std::vector<std::uint32_t>(m_Bits,
                                      m_Bits + static_cast<std::size_t>(m_Width) * m_Height);
  }

  static std::uint32_t Bgr(COLORREF colour) {
    return static_cast<std::uint32_t>(GetBValue(colour)) |
           static_cast<std::uint32_t>(GetGValue(colour)) << 8 |
           static_cast<std::uint32_t>(GetRValue(colour)) << 16;
  }

private:
  int m_Width;
  int m_Height;
  HDC m_DC = nullptr;
  HBITMAP m_Bitmap = nullptr;
  HGDIOBJ m_Previous = nullptr;
  std::uint32_t* m_Bits = nullptr;
};

// Channels within one step of each other, as blends round.
inline bool WKRX_Near(COLORREF a, COLORREF b, int tolerance = 1) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

namespace WKRX_ViewSheets {

struct Layout {
  std::uint32_t width = 1200;
  std::uint32_t length = 700;
  int frontPlates = 1;
  int backPlates = 0;
  std::uint16_t workStyle = 1;
  std::uint16_t orientation = 0;
  float xResolution = 2400;
  float yResolution = 2400;
};

// Inked: a block at the top left, a thin bar along the top and a dot near the bottom right, so
// that every turn and mirror shows.
inline bool Mark(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t length) {
  if (x < 40 && y < 20)
    return true;
  if (y < 4 && x < width / 2)
    return true;
  return x + 30 >= width && x + 20 < width && y + 30 >= length && y + 20 < length;
}

inline std::string WriteFile(const Layout& layout, bool front, int index) {
  static int sm_Serial = 0;
  static const char* const kInks[] = {"Cyan", "Magenta", "Yellow", "Black"};
  PreviewFixture::PreviewFile file =
      PreviewFixture::PreviewFile::Make(layout.width, layout.length, 8);
  file.job.surface = front ? 0 : 1;
  file.job.workStyle = layout.workStyle;
  file.job.orientation = layout.orientation;
  file.job.inkName = kInks[index % 4];
  file.job.color = static_cast<std::uint16_t>(1 + index % 4);
  file.image.xResolution = layout.xResolution;
  file.image.yResolution = layout.yResolution;
  const std::uint32_t w = layout.width;
  const std::uint32_t l = layout.length;
  file.image.bits = [w, l, front](std::uint32_t x, std::uint32_t y) {
    return front ? Mark(x, y, w, l) : Mark(w - 1 - x, y, w, l);
  };
  const std::string path = PreviewFixture::TempFilePath("wkrx_view" + std::to_string(++sm_Serial) +
                                                        (front ? "_front.tif" : "_back.tif"));
  PreviewFixture::Write(path, file);
  return path;
}

// A new sheet; the view that binds it takes the reference.
inline IMPN_Sheet* Make(const Layout& layout) {
  GFIL_FileSpecVector front;
  GFIL_FileSpecVector back;
  for (int i = 0; i < layout.frontPlates; ++i)
    front.push_back(PreviewFixture::SpecFromPath(WriteFile(layout, true, i)));
  for (int i = 0; i < layout.backPlates; ++i)
    back.push_back(PreviewFixture::SpecFromPath(WriteFile(layout, false, i)));
  return new IMPN_Sheet(front, back);
}

}  // namespace WKRX_ViewSheets

// The view with its portable state open to the tests.
class WKRX_TestSheetView : public WKRX_SheetView {
public:
  using CKRX_SheetView::m_ActiveTool;
  using CKRX_SheetView::m_BackgroundDrawing;
  using CKRX_SheetView::m_BackGuideLines;
  using CKRX_SheetView::m_BackTileRequests;
  using CKRX_SheetView::m_BackupAlignment;
  using CKRX_SheetView::m_BackupMode;
  using CKRX_SheetView::m_DensitometerFrame;
  using CKRX_SheetView::m_FrontGuideLines;
  using CKRX_SheetView::m_FrontTileRequests;
  using CKRX_SheetView::m_PageFlipped;
  using CKRX_SheetView::m_Rotation;
  using CKRX_SheetView::m_ShowBleed;
  using CKRX_SheetView::m_ShowGuideLines;
  using CKRX_SheetView::m_ShowPageEdges;
  using CKRX_SheetView::m_ShowPageNumbers;
  using CKRX_SheetView::m_ShowPlateEdge;
  using CKRX_SheetView::m_ShowPressSheetEdge;
  using CKRX_SheetView::m_ShowTypeSafety;
  using CKRX_SheetView::m_UnitOriginX;
  using CKRX_SheetView::m_UnitOriginY;
  using CKRX_SheetView::m_ZoomLevel;
};
