#include "WKRX/WKRX_CursorManager.h"

#include "WKRX/WKRX_CommandIds.h"

#include <atlbase.h>

namespace {

enum Slot {
  kArrow,
  kOpenHand,
  kClosedHand,
  kCross,
  kZoomIn,
  kZoomOut,
  kZoomLimit,
  kEyedropper,
  kResizeLeftRight,
  kResizeUpDown,
  kMove,
  kPlaceGuideHorz,
  kPlaceGuideVert,
  kShiftGuideHorz,
  kShiftGuideVert,
  kSetOrigin,
  kResizeDiagonalDown,
  kResizeDiagonalUp,
  kMoveAll,
  kSlotCount
};

HCURSOR& Cached(Slot slot) {
  static HCURSOR cursors[kSlotCount] = {};
  return cursors[slot];
}

bool SetLoaded(HCURSOR cursor) {
  if (cursor == nullptr)
    return false;
  SetCursor(cursor);
  return true;
}

bool System(LPCWSTR id, Slot slot) {
  return WKRX_CursorManager::SetSystemCursor(id, Cached(slot));
}

bool Resource(UINT id, Slot slot) {
  return WKRX_CursorManager::SetResourceCursor(id, Cached(slot));
}

}  // namespace

bool WKRX_CursorManager::SetSystemCursor(LPCWSTR id, HCURSOR& slot) {
  if (slot == nullptr)
    slot = LoadCursorW(nullptr, id);
  return SetLoaded(slot);
}

bool WKRX_CursorManager::SetResourceCursor(UINT id, HCURSOR& slot) {
  if (slot == nullptr)
    slot = ATL::AtlLoadCursor(MAKEINTRESOURCEW(id));
  return SetLoaded(slot);
}

void WKRX_CursorManager::ForgetLoadedCursors() {
  for (int slot = 0; slot < kSlotCount; ++slot)
    Cached(static_cast<Slot>(slot)) = nullptr;
}

bool WKRX_CursorManager::SetArrowCursor() {
  return System(IDC_ARROW, kArrow);
}
bool WKRX_CursorManager::SetOpenHandCursor() {
  return Resource(WKRX_Ids::kCursorOpenHand, kOpenHand);
}
bool WKRX_CursorManager::SetClosedHandCursor() {
  return Resource(WKRX_Ids::kCursorClosedHand, kClosedHand);
}
bool WKRX_CursorManager::SetCrossCursor() {
  return Resource(WKRX_Ids::kCursorCross, kCross);
}
bool WKRX_CursorManager::SetZoomInCursor() {
  return Resource(WKRX_Ids::kCursorZoomIn, kZoomIn);
}
bool WKRX_CursorManager::SetZoomOutCursor() {
  return Resource(WKRX_Ids::kCursorZoomOut, kZoomOut);
}
bool WKRX_CursorManager::SetZoomLimitCursor() {
  return Resource(WKRX_Ids::kCursorZoomLimit, kZoomLimit);
}
bool WKRX_CursorManager::SetEyedropperCursor() {
  return Resource(WKRX_Ids::kCursorEyedropper, kEyedropper);
}
bool WKRX_CursorManager::SetResizeLeftRightCursor() {
  return System(IDC_SIZEWE, kResizeLeftRight);
}
bool WKRX_CursorManager::SetResizeUpDownCursor() {
  return System(IDC_SIZENS, kResizeUpDown);
}
bool WKRX_CursorManager::SetMoveCursor() {
  return System(IDC_SIZEALL, kMove);
}
bool WKRX_CursorManager::SetPlaceGuideHorzCursor() {
  return Resource(WKRX_Ids::kCursorPlaceGuideHorz, kPlaceGuideHorz);
}
bool WKRX_CursorManager::SetPlaceGuideVertCursor() {
  return Resource(WKRX_Ids::kCursorPlaceGuideVert, kPlaceGuideVert);
}
bool WKRX_CursorManager::SetShiftGuideHorzCursor() {
  return Resource(WKRX_Ids::kCursorShiftGuideHorz, kShiftGuideHorz);
}
bool WKRX_CursorManager::SetShiftGuideVertCursor() {
  return Resource(WKRX_Ids::kCursorShiftGuideVert, kShiftGuideVert);
}
bool WKRX_CursorManager::SetSetOriginCursor() {
  return Resource(WKRX_Ids::kCursorSetOrigin, kSetOrigin);
}
bool WKRX_CursorManager::SetResizeDiagonalDownCursor() {
  return System(IDC_SIZENWSE, kResizeDiagonalDown);
}
bool WKRX_CursorManager::SetResizeDiagonalUpCursor() {
  return System(IDC_SIZENESW, kResizeDiagonalUp);
}
bool WKRX_CursorManager::SetMoveAllCursor() {
  return System(IDC_SIZEALL, kMoveAll);
}
