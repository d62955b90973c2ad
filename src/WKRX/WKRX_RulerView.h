// One ruler beside the sheet view, drawn with GDI in the preferred linear unit. The portable base
// lays out the ticks and labels; this class turns its calls into lines and text. It is not a
// window: the viewer asks it to draw into a rectangle of its own buffer.
#pragma once

#include "CKRX/CKRX_RulerView.h"
#include "IMPN/IMPN_Geometry.h"

#include <windows.h>

class WKRX_SheetView;

// The face of a ruler and of the corner box: button face with a three-dimensional edge.
void WKRX_FillRulerBox(HDC dc, const RECT& rect);

// The first labelled value at or before the visible start.
float WKRX_FirstRulerLabel(float first, float step);

class WKRX_RulerView : public CKRX_RulerView {
public:
  void SetView(WKRX_SheetView* view) { m_View = view; }
  // Both coordinates in units; the top ruler shows x, the left ruler y.
  void SetCursorPosition(const IMPN_PointT<double>& position) { m_Cursor = position; }
  const IMPN_PointT<double>& CursorPosition() const { return m_Cursor; }

  // Draws the ruler into the rectangle: wider than tall is the top ruler, else the left one.
  void Draw(HDC dc, const RECT& rect);

protected:
  void DrawGraduations(IMPN_Units units, CKRX_Context& context, float first, float last, float step,
                       float scale, float* tickLengths, long tickCount) override;
  void DrawCursorPosition(CKRX_Context& context, float position, float scale) override;

private:
  WKRX_SheetView* m_View = nullptr;
  IMPN_PointT<double> m_Cursor;
};
