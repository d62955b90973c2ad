// What the mouse does at a point, guide lines under the cursor, overlay switches and the title.
#include "CKRX/CKRX_SheetView.h"

#include "USTR/USTR_LocalizedString.h"

#include <cstdlib>
#include <string>

IMPN_ToolMode CKRX_SheetView::DetermineActiveTool(IMPN_PointT<long> const& point, bool zoomKey,
                                                  bool measureKey, bool panKey,
                                                  long& guidePosition) {
  if (zoomKey)
    return kIMPN_ToolZoom;
  if (measureKey)
    return kIMPN_ToolMeasure;

  if (!panKey && m_ActiveTool != kIMPN_ToolPan) {
    if (m_ActiveTool != kIMPN_ToolDensitometer)
      return m_ActiveTool;
    if (m_DensitometerFrame.width == 0 && m_DensitometerFrame.height == 0)
      return kIMPN_ToolDensitometerNoFrame;

    // The frame's outline lies one pixel outside its rectangle.
    IMPN_RectT<long> const r = ImageRectToViewFrameRect(m_DensitometerFrame);
    long const top = r.top - 1;
    long const bottom = r.top + r.height + 1;
    long const left = r.left - 1;
    long const right = r.left + r.width + 1;
    if (point.x < left || point.x > right || point.y < top || point.y > bottom)
      return kIMPN_ToolDensitometer;
    if (std::labs(point.y - top) <= 1)
      return kIMPN_ToolFrameTop;
    if (std::labs(point.y - bottom) <= 1)
      return kIMPN_ToolFrameBottom;
    if (std::labs(point.x - left) <= 1)
      return kIMPN_ToolFrameLeft;
    if (std::labs(point.x - right) <= 1)
      return kIMPN_ToolFrameRight;
    return kIMPN_ToolFrameInside;
  }

  if (NearHorizontalGuideLine(point, guidePosition))
    return kIMPN_ToolHorizontalGuide;
  if (NearVerticalGuideLine(point, guidePosition))
    return kIMPN_ToolVerticalGuide;
  return kIMPN_ToolPan;
}

bool CKRX_SheetView::NearGuideLine(IMPN_PointT<long> const& point, std::set<long> const& positions,
                                   bool horizontal, long& position) {
  position = -1;
  // A horizontal line runs across the view upright, and down it when turned sideways.
  bool const acrossY = horizontal != IsSideways();
  for (long p : positions) {
    IMPN_RectT<long> const base =
        horizontal ? IMPN_RectT<long>(p, 0, 0, 0) : IMPN_RectT<long>(0, p, 0, 0);
    IMPN_RectT<long> const r = ImageRectToViewFrameRect(base);
    long const distance = acrossY ? point.y - r.top : point.x - r.left;
    if (std::labs(distance) <= 1) {
      position = p;
      break;
    }
  }
  return position != -1;
}

bool CKRX_SheetView::NearHorizontalGuideLine(IMPN_PointT<long> const& point, long& position) {
  return NearGuideLine(point, ViewedGuideLines().horizontal, true, position);
}

bool CKRX_SheetView::NearVerticalGuideLine(IMPN_PointT<long> const& point, long& position) {
  return NearGuideLine(point, ViewedGuideLines().vertical, false, position);
}

bool CKRX_SheetView::AnyGuideLinesPresent() const {
  return !m_FrontGuideLines.horizontal.empty() || !m_FrontGuideLines.vertical.empty() ||
         !m_BackGuideLines.horizontal.empty() || !m_BackGuideLines.vertical.empty();
}

void CKRX_SheetView::ClearGuideLines() {
  m_FrontGuideLines = IMPN_GuideLines();
  m_BackGuideLines = IMPN_GuideLines();
  RefreshView();
}

bool* CKRX_SheetView::EdgeInfoSwitch(int index) {
  bool* const switches[kEdgeInfoCount] = {&m_ShowPressSheetEdge,  &m_ShowBleed,
                                          &m_ShowPageEdges,       &m_ShowPageNumbers,
                                          &m_ShowSourceClipPaths, &m_ShowTypeSafety};
  return switches[index];
}

void CKRX_SheetView::ShowEdgeInfo() {
  for (int i = 0; i < kEdgeInfoCount; ++i)
    *EdgeInfoSwitch(i) = m_SavedEdgeInfo[i];
  RefreshView();
}

void CKRX_SheetView::HideEdgeInfo() {
  for (int i = 0; i < kEdgeInfoCount; ++i) {
    m_SavedEdgeInfo[i] = *EdgeInfoSwitch(i);
    *EdgeInfoSwitch(i) = false;
  }
  RefreshView();
}

bool CKRX_SheetView::AnyEdgeInfoVisible() const {
  return m_ShowPressSheetEdge || m_ShowBleed || m_ShowPageEdges || m_ShowPageNumbers ||
         (m_ShowSourceClipPaths && m_ClipPathsAvailable) ||
         (m_ShowTypeSafety && m_TypeSafetyAvailable);
}

void CKRX_SheetView::ToggleShowPageEdges() {
  m_ShowPageEdges = !m_ShowPageEdges;
  RefreshView();
}

void CKRX_SheetView::ToggleShowPageNumbers() {
  m_ShowPageNumbers = !m_ShowPageNumbers;
  RefreshView();
}

void CKRX_SheetView::ResetDensitometerFrame() {
  m_DensitometerFrame = IMPN_RectT<long>(0, 0, 0, 0);
}

USTR_String CKRX_SheetView::GetWindowTitle() {
  if (m_Sheet == nullptr)
    return USTR_String();
  USTR_String const title =
      iUSTR_GetLocalizedString(USTR_LOCALIZED_KEY("CKRX_SheetWindowTitleInfo", 10107));
  USTR_StringVector parameters;
  parameters.push_back(USTR_NStringToUString(m_Sheet->GetTitle()));
  parameters.push_back(
      USTR_NStringToUString(std::to_string(static_cast<int>(m_Sheet->GetSignature()))));
  parameters.push_back(USTR_NStringToUString(std::to_string(static_cast<int>(m_Sheet->GetWeb()))));
  parameters.push_back(
      m_PageFlipped
          ? iUSTR_GetLocalizedString(USTR_LOCALIZED_KEY("CKRX_SurfaceShortNameBack", 10061))
          : iUSTR_GetLocalizedString(USTR_LOCALIZED_KEY("CKRX_SurfaceShortNameFront", 10070)));
  return USTR_InstantiateParameters(title, parameters);
}
