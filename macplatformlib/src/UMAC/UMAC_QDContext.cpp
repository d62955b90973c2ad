#include "UMAC/UMAC_QDContext.h"

#include "UMAC/UMAC_AutoRgnHandle.h"
#include "UMAC/UMAC_CoreGraphics.h"

namespace {
using CG = UMAC_CoreGraphics;
}  // namespace

UMAC_QDContext::UMAC_QDContext(CGrafPtr port) : m_Port(port) {
  if (QDBeginCGContext(m_Port, &m_Context) != noErr) {
    m_Context = nullptr;
    return;
  }
  m_Begun = true;
  if (SyncCGContextOriginWithPort(m_Context, m_Port) != noErr)
    return;
  CG::CGContextSaveGState(m_Context);
  m_Saved = true;
}

UMAC_QDContext::~UMAC_QDContext() {
  if (m_Saved)
    CG::CGContextRestoreGState(m_Context);
  if (m_Begun) {
    CG::CGContextFlush(m_Context);
    QDEndCGContext(m_Port, &m_Context);
  }
  m_Context = nullptr;  // never owned
}

void UMAC_QDContext::AlignOriginWithPortTopLeft() {
  Rect bounds;
  GetPortBounds(m_Port, &bounds);
  CG::CGContextTranslateCTM(m_Context, 0, static_cast<float>((bounds.bottom - bounds.top) - 1.0));
}

void UMAC_QDContext::SyncClipRegions(const Rect& r) {
  UMAC_AutoRgnHandle wanted;
  UMAC_AutoRgnHandle clip;
  RectRgn(wanted.Get(), &r);
  GetClip(clip.Get());
  SectRgn(wanted.Get(), clip.Get(), clip.Get());
  Rect portBounds;
  GetPortBounds(m_Port, &portBounds);
  ClipCGContextToRegion(m_Context, &portBounds, clip.Get());
}
