// The pages of a surface as the sheet view and the navigation palette draw them: each page's
// outline with a folded corner at its top right, a bar for its number and the number itself,
// turned with the page. Shapes are mapped through the caller's transform and drawn untransformed.
#pragma once

#include "IMPN/IMPN_SurfaceRecords.h"
#include "WKRX/WKRX_ViewTransform.h"

#include <windows.h>

#include <vector>

// scale takes the pages' 1:1 rectangles to the picture the transform places on dc.
void WKRX_DrawPageEdges(HDC dc, const std::vector<IMPN_PageEdge>& pages,
                        const WKRX_ViewTransform& transform, double scale, COLORREF colour,
                        bool dashed, bool showEdges, bool showNumbers);
