// Draws what the program's sheet window shows of a sheet, for the screen test to find on the
// screen: the same frame at the same place with the same preferences, and the view's picture once
// every tile is drawn. Writes the view's client area as a binary PPM and prints the view's size,
// its scroll position and where the sheet's top left corner lies in it.
//
//   WKRX_SheetViewReference.exe OUT.ppm LEFT TOP RIGHT BOTTOM FILE...
#include "CKRX/CKRX_Context.h"
#include "GFIL/GFIL_Utils.h"
#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Registry.h"
#include "WKRX/WKRX_Preferences.h"
#include "WKRX/WKRX_SheetWindow.h"
#include "WKRX/WKRX_Startup.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 7)
    return 2;
  OleInitialize(nullptr);
  // The colours, the preferences and the spot colour, in the order the program takes them.
  WKRX_Startup::Steps::Program().loadColorDatabases();
  WKRX_Preferences::LoadPreferences();
  WKRX_Preferences::ApplyDefaultSpotColor();

  GFIL_FileSpecVector files;
  for (int i = 6; i < argc; ++i)
    files.push_back(GFIL_SpecFromPlatformPath(argv[i]));
  IMPN_Registry registry;
  registry.RegisterFiles(files, false);
  std::vector<IMPN_Sheet*> found;
  registry.GetAllSheets(found);
  if (found.empty())
    return 3;
  std::vector<IMPN_SheetReference> sheets(found.begin(), found.end());

  RECT area = {_wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5])};
  auto* frame = new WKRX_SheetWindow(0xA001);
  if (frame->CreateEx(nullptr, area) == nullptr)
    return 4;
  RECT created = {};
  frame->GetWindowRect(&created);
  if (!EqualRect(&created, &area))
    frame->SetWindowPos(nullptr, &area, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  frame->ShowSheet(sheets[0]);
  frame->ShowWindow(SW_SHOW);
  Pump(3000);

  WKRX_SheetView& view = frame->Viewer().View();
  RECT client;
  view.GetClientRect(&client);
  const int width = client.right;
  const int height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = CreateCompatibleDC(nullptr);
  std::uint32_t* bits = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  view.EraseAndRefreshView();
  view.SendMessageW(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const POINT scroll = view.ScrollPosition();
  SetViewportOrgEx(dc, -scroll.x, -scroll.y, nullptr);
  CKRX_Context context(dc);
  view.DrawImage(context);
  GdiFlush();

  FILE* out = _wfopen(argv[1], L"wb");
  if (out == nullptr)
    return 5;
  std::fprintf(out, "P6\n%d %d\n255\n", width, height);
  for (int i = 0; i < width * height; ++i) {
    const std::uint32_t v = bits[i];
    const unsigned char rgb[3] = {static_cast<unsigned char>(v >> 16),
                                  static_cast<unsigned char>(v >> 8),
                                  static_cast<unsigned char>(v)};
    std::fwrite(rgb, 1, 3, out);
  }
  std::fclose(out);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);

  const IMPN_RectT<long> corner = view.ImageRectToViewFrameRect(IMPN_RectT<long>(0, 0, 0, 0));
  std::printf("view %d %d scroll %ld %ld corner %ld %ld level %d fit %d\n", width, height, scroll.x,
              scroll.y, corner.left - scroll.x, corner.top - scroll.y,
              static_cast<int>(view.ZoomLevel()),
              IMPN_Preferences::sm_ZoomToFitWindowOnOpen ? 1 : 0);
  std::fflush(stdout);
  frame->DestroyWindow();
  return 0;
}
