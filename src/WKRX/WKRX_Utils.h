// Small helpers shared by the Windows user interface: colour and rectangle conversions between
// the job model's types and GDI's, the date of a job-tree row, fonts in points, folder creation
// and the test for a preview file's name.
#pragma once

#include "GFIL/GFIL_FileSpec.h"
#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Geometry.h"
#include "IMPN/IMPN_Tools.h"

#include <windows.h>

namespace WKRX_Utils {

// A GDI colour value is 0x00BBGGRR; the model's colours hold blue, green, red on Windows.
COLORREF RGB8ToColorRef(const IMPN_RGBColor8& color);
// Alpha is dropped.
COLORREF RGBA8ToColorRef(const IMPN_RGBAColor8& color);
// Each channel halved; the top byte cleared.
COLORREF DarkenColorRef(COLORREF color);
IMPN_RGBColor8 ColorRefToRGB8(COLORREF color);
// Alpha 255.
IMPN_RGBAColor8 ColorRefToRGBA8(COLORREF color);

RECT RectToWinRect(const IMPN_RectT<long>& rect);
IMPN_RectT<long> WinRectToRect(const RECT& rect);

// Day of week and milliseconds 0.
SYSTEMTIME DateTimeToSystemTime(const IMPN_DateTime& dateTime);

// A job-tree item's check state (1 checked, 2 partly) to its state-image index (1 is unchecked).
int CheckStateToStateImage(int checkState);

// Stores in font a font of the GUI face at that size in points for dc. The caller owns what it
// gets; a font it held before is deleted once the new one exists (the stock GUI font never is).
void CreatePointFont(HDC dc, HFONT& font, int points);

// Creates the folder and every missing folder above it, outermost first; throws as the file
// layer does when one cannot be made.
void CreateDirectories(const GFIL_FileSpec& folder);

// True for names ending in ".KRX", ".PRV" or ".TIF", in any case.
bool IsPreviewFileName(const GFIL_FileSpec& file);

}  // namespace WKRX_Utils
