#include "WKRX/WKRX_Utils.h"

#include "GFIL/GFIL_Utils.h"
#include "GLIB/GLIB_StringUtils.h"

namespace WKRX_Utils {

namespace {

// The colour's bytes in memory order: blue, green, red on Windows.
COLORREF BytesToColorRef(std::uint8_t byte0, std::uint8_t byte1, std::uint8_t byte2) {
  return (static_cast<COLORREF>(byte0) << 16) | (static_cast<COLORREF>(byte1) << 8) | byte2;
}

bool IsStockGuiFont(HFONT font) {
  return font == static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ReplaceFont(HFONT& font, HFONT replacement) {
  if (font != nullptr && font != replacement && !IsStockGuiFont(font))
    DeleteObject(font);
  font = replacement;
}

}  // namespace

COLORREF RGB8ToColorRef(const IMPN_RGBColor8& color) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&color);
  return BytesToColorRef(bytes[0], bytes[1], bytes[2]);
}

COLORREF RGBA8ToColorRef(const IMPN_RGBAColor8& color) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&color);
  return BytesToColorRef(bytes[0], bytes[1], bytes[2]);
}

COLORREF DarkenColorRef(COLORREF color) {
  return (color >> 1) & 0x007F7F7F;
}

IMPN_RGBColor8 ColorRefToRGB8(COLORREF color) {
  IMPN_RGBColor8 result;
  auto* bytes = reinterpret_cast<std::uint8_t*>(&result);
  bytes[0] = static_cast<std::uint8_t>((color >> 16) & 0xFF);
  bytes[1] = static_cast<std::uint8_t>((color >> 8) & 0xFF);
  bytes[2] = static_cast<std::uint8_t>(color & 0xFF);
  return result;
}

IMPN_RGBAColor8 ColorRefToRGBA8(COLORREF color) {
  const IMPN_RGBColor8 rgb = ColorRefToRGB8(color);
  return IMPN_RGBAColor8(rgb.red, rgb.green, rgb.blue, 255);
}

RECT RectToWinRect(const IMPN_RectT<long>& rect) {
  return RECT{rect.left, rect.top, rect.left + rect.width, rect.top + rect.height};
}

IMPN_RectT<long> WinRectToRect(const RECT& rect) {
  return IMPN_RectT<long>(rect.top, rect.left, rect.right - rect.left, rect.bottom - rect.top);
}

SYSTEMTIME DateTimeToSystemTime(const IMPN_DateTime& dateTime) {
  SYSTEMTIME result{};
  result.wYear = dateTime.year;
  result.wMonth = dateTime.month;
  result.wDay = dateTime.day;
  result.wHour = dateTime.hour;
  result.wMinute = dateTime.minute;
  result.wSecond = dateTime.second;
  return result;
}

int CheckStateToStateImage(int checkState) {
  switch (checkState) {
    case 1:
      return 2;
    case 2:
      return 3;
    default:
      return 1;
  }
}

void CreatePointFont(HDC dc, HFONT& font, int points) {
  const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  LOGFONTW logFont{};
  HFONT created = nullptr;
  if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont) != 0) {
    logFont.lfHeight = height;
    created = CreateFontIndirectW(&logFont);
  } else {
    LOGFONTW iconFont{};
    if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(iconFont), &iconFont, 0)) {
      lstrcpynW(logFont.lfFaceName, iconFont.lfFaceName, LF_FACESIZE);
      logFont.lfWeight = iconFont.lfWeight;
      logFont.lfCharSet = iconFont.lfCharSet;
      logFont.lfHeight = height;
      created = CreateFontIndirectW(&logFont);
    }
  }
  // Without a font of that size the stock one still shows the text.
  ReplaceFont(font,
              created != nullptr ? created : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

void CreateDirectories(const GFIL_FileSpec& folder) {
  if (folder.Exists() && folder.IsAFolder())
    return;
  if (!folder.IsTheRoot())
    CreateDirectories(folder.Parent());
  GFIL_CreateDir(folder);
}

bool IsPreviewFileName(const GFIL_FileSpec& file) {
  const GLIB_WString name = file.Name();
  const std::size_t dot = name.rfind(L'.');
  if (dot == GLIB_WString::npos)
    return false;
  const GLIB_WString extension = name.substr(dot);
  for (const wchar_t* known : {L".KRX", L".PRV", L".TIF"}) {
    if (GLIB_stricmp(extension, GLIB_WString(known)) == 0)
      return true;
  }
  return false;
}

}  // namespace WKRX_Utils
