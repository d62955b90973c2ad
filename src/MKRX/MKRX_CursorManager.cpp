#include "MKRX/MKRX_CursorManager.h"

CCrsrHandle MKRX_CursorManager::sm_MagnifyingGlassPlus = nullptr;
CCrsrHandle MKRX_CursorManager::sm_MagnifyingGlassMinus = nullptr;
CCrsrHandle MKRX_CursorManager::sm_MagnifyingGlassLimit = nullptr;
CCrsrHandle MKRX_CursorManager::sm_Eyedropper = nullptr;
CursHandle MKRX_CursorManager::sm_ShiftLeftRight = nullptr;
CursHandle MKRX_CursorManager::sm_ShiftUpDown = nullptr;
CursHandle MKRX_CursorManager::sm_MoveOrthogonal = nullptr;
CursHandle MKRX_CursorManager::sm_ResizeLeftRight = nullptr;
CursHandle MKRX_CursorManager::sm_ResizeUpDown = nullptr;
CursHandle MKRX_CursorManager::sm_BrokenCross = nullptr;

namespace {

// Resource numbers of the program's own cursors.
constexpr SInt16 kZoomInCursor = 2001;
constexpr SInt16 kZoomOutCursor = 2002;
constexpr SInt16 kZoomLimitCursor = 2003;
constexpr SInt16 kEyedropperCursor = 2004;
constexpr SInt16 kPlaceGuideVertCursor = 2011;
constexpr SInt16 kPlaceGuideHorzCursor = 2012;
constexpr SInt16 kSetOriginCursor = 2013;
constexpr SInt16 kMoveCursor = 2014;
constexpr SInt16 kResizeLeftRightCursor = 2021;
constexpr SInt16 kResizeUpDownCursor = 2022;

void ShowColorCursor(CCrsrHandle& cache, SInt16 id) {
  if (cache == nullptr)
    cache = GetCCursor(id);
  if (cache != nullptr)
    SetCCursor(cache);
}

void ShowCursor(CursHandle& cache, SInt16 id) {
  if (cache == nullptr)
    cache = GetCursor(id);
  if (cache != nullptr && *cache != nullptr)
    SetCursor(*cache);
}

}  // namespace

void MKRX_CursorManager::SetArrowCursor() {
  SetThemeCursor(kThemeArrowCursor);
}

void MKRX_CursorManager::SetOpenHandCursor() {
  SetThemeCursor(kThemeOpenHandCursor);
}

void MKRX_CursorManager::SetClosedHandCursor() {
  SetThemeCursor(kThemeClosedHandCursor);
}

void MKRX_CursorManager::SetCrossCursor() {
  SetThemeCursor(kThemeCrossCursor);
}

void MKRX_CursorManager::SetZoomInCursor() {
  ShowColorCursor(sm_MagnifyingGlassPlus, kZoomInCursor);
}

void MKRX_CursorManager::SetZoomOutCursor() {
  ShowColorCursor(sm_MagnifyingGlassMinus, kZoomOutCursor);
}

void MKRX_CursorManager::SetZoomLimitCursor() {
  ShowColorCursor(sm_MagnifyingGlassLimit, kZoomLimitCursor);
}

void MKRX_CursorManager::SetEyedropperCursor() {
  ShowColorCursor(sm_Eyedropper, kEyedropperCursor);
}

void MKRX_CursorManager::SetResizeLeftRightCursor() {
  ShowCursor(sm_ShiftLeftRight, kResizeLeftRightCursor);
}

void MKRX_CursorManager::SetResizeUpDownCursor() {
  ShowCursor(sm_ShiftUpDown, kResizeUpDownCursor);
}

void MKRX_CursorManager::SetMoveCursor() {
  ShowCursor(sm_MoveOrthogonal, kMoveCursor);
}

void MKRX_CursorManager::SetPlaceGuideHorzCursor() {
  ShowCursor(sm_ResizeLeftRight, kPlaceGuideHorzCursor);
}

void MKRX_CursorManager::SetPlaceGuideVertCursor() {
  ShowCursor(sm_ResizeUpDown, kPlaceGuideVertCursor);
}

// Shifting a guide looks like resizing across it.
void MKRX_CursorManager::SetShiftGuideHorzCursor() {
  SetResizeUpDownCursor();
}

void MKRX_CursorManager::SetShiftGuideVertCursor() {
  SetResizeLeftRightCursor();
}

void MKRX_CursorManager::SetSetOriginCursor() {
  ShowCursor(sm_BrokenCross, kSetOriginCursor);
}
