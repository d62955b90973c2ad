#include "support/MKRX_SheetViewFixture.h"

#include "GFIL/mac/GFIL_FileSpecMacOS.h"
#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_TiledImage.h"
#include "PreviewFileWriter.h"

#include <Carbon/Carbon.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool Inked(std::vector<MKRX_Mark> const& marks, std::uint32_t x, std::uint32_t y) {
  for (MKRX_Mark const& m : marks)
    if (x >= m.left && x < m.right && y >= m.top && y < m.bottom)
      return true;
  return false;
}

std::string WriteSide(std::filesystem::path const& folder, MKRX_TestSheetSpec const& spec,
                      bool front) {
  PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(spec.width, spec.length, 8);
  file.image.tileWidth = spec.tileSize;
  file.image.tileLength = spec.tileSize;
  file.image.compression = PreviewFixture::Compression::Deflate;
  file.job.surface = front ? 0 : 1;
  file.job.workStyle = 1;
  file.job.orientation = spec.orientation;
  file.job.inkName = front ? "Black" : "Cyan";
  file.job.color = front ? 4 : 1;
  PreviewFixture::Page page;
  page.number = 0;
  page.position = {100, 100, spec.length - 101, spec.width - 101};
  page.bleed = {90, 90, spec.length - 91, spec.width - 91};
  page.maxBleed = page.bleed;
  file.job.pages = {page};
  std::vector<MKRX_Mark> const marks = front ? spec.frontMarks : spec.backMarks;
  file.image.bits = [marks](std::uint32_t x, std::uint32_t y) { return Inked(marks, x, y); };
  // The thumbnail shows the same marks, one pixel for eight.
  file.thumbnail.grey = [marks](std::uint32_t x, std::uint32_t y) {
    return Inked(marks, x * 8 + 4, y * 8 + 4) ? std::uint8_t(255) : std::uint8_t(0);
  };
  static int written = 0;
  std::string const path =
      (folder / ("view" + std::to_string(++written) + (front ? "f" : "b") + ".krx")).string();
  PreviewFixture::Write(path, file);
  return path;
}

long Channel(std::uint32_t pixel, int shift) {
  return static_cast<long>((pixel >> shift) & 0xFF);
}

}  // namespace

MKRX_Canvas::MKRX_Canvas(long width, long height)
    : m_Width(width),
      m_Height(height),
      m_Pixels(static_cast<std::size_t>(width * height)) {
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  m_Context = CGBitmapContextCreate(m_Pixels.data(), static_cast<std::size_t>(width),
                                    static_cast<std::size_t>(height), 8,
                                    static_cast<std::size_t>(width) * 4, space,
                                    kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little);
  CGColorSpaceRelease(space);
}

MKRX_Canvas::~MKRX_Canvas() {
  CGContextRelease(m_Context);
}

void MKRX_Canvas::Fill(std::uint32_t pixel) {
  CGContextSaveGState(m_Context);
  CGContextSetRGBFillColor(m_Context, Channel(pixel, 16) / 255.0f, Channel(pixel, 8) / 255.0f,
                           Channel(pixel, 0) / 255.0f, 1);
  CGContextFillRect(m_Context, CGRectMake(0, 0, m_Width, m_Height));
  CGContextRestoreGState(m_Context);
}

void MKRX_Canvas::Paint(MKRX_SheetView& view) {
  CGContextSaveGState(m_Context);
  CGContextTranslateCTM(m_Context, 0, static_cast<CGFloat>(m_Height));
  CGContextScaleCTM(m_Context, 1, -1);
  CGPoint const origin = view.ImageOrigin();
  CGContextTranslateCTM(m_Context, -origin.x, -origin.y);
  view.Draw(m_Context);
  CGContextRestoreGState(m_Context);
}

void MKRX_SheetViewFixture::SetUp() {
  MKRX_Fixture::SetUp();
  IMPN_Preferences::SetToDefaultValues();
}

void MKRX_SheetViewFixture::TearDown() {
  m_Views.clear();
  m_Sheets.clear();
  MKRX_Fixture::TearDown();
}

IMPN_Sheet* MKRX_SheetViewFixture::MakeSheet(MKRX_TestSheetSpec const& spec) {
  std::vector<std::string> paths{WriteSide(FilesFolder(), spec, true)};
  if (spec.back)
    paths.push_back(WriteSide(FilesFolder(), spec, false));
  GFIL_FileSpecVector files;
  for (std::string const& path : paths) {
    FSRef ref;
    EXPECT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr));
    files.push_back(GFIL_FileSpecMacOS(ref));
  }
  IMPN_Registry registry;
  EXPECT_EQ(static_cast<int>(paths.size()), registry.RegisterFiles(files, false));
  std::vector<IMPN_Sheet*> sheets;
  registry.GetAllSheets(sheets);
  EXPECT_EQ(1u, sheets.size());
  if (sheets.empty())
    return nullptr;
  m_Sheets.emplace_back(sheets.front());
  return sheets.front();
}

IMPN_Sheet* MKRX_SheetViewFixture::MakeSheetWithoutSize() {
  std::string const path = (FilesFolder() / "gone.krx").string();
  PreviewFixture::Write(path, PreviewFixture::PreviewFile::Make(512, 512));
  FSRef ref;
  EXPECT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr));
  GFIL_FileSpecVector front{GFIL_FileSpecMacOS(ref)};
  GFIL_FileSpecVector back;
  std::filesystem::remove(path);
  IMPN_Sheet* sheet = new IMPN_Sheet(front, back);
  m_Sheets.emplace_back(sheet);
  return sheet;
}

MKRX_ProbeView& MKRX_SheetViewFixture::MakeView(IMPN_Sheet* sheet, long width, long height) {
  m_Views.push_back(std::make_unique<MKRX_ProbeView>());
  MKRX_ProbeView& view = *m_Views.back();
  view.Initialize(CGRectMake(0, 0, static_cast<CGFloat>(width), static_cast<CGFloat>(height)));
  if (sheet)
    view.SetSheet(sheet);
  return view;
}

long MKRX_SheetViewFixture::TileColor(IMPN_Surface& surface, IMPN_ZoomLevel level, long x, long y) {
  return MKRX_TileColor(surface, level, x, y);
}

std::uint32_t MKRX_SheetViewFixture::Expected(MKRX_SheetView& view, long x, long y) {
  return MKRX_ExpectedViewPixel(view, x, y);
}
