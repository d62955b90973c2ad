// QuickDraw window ports of the Mac stand-in (see QD/QuickDraw.h).
#include "iStandInRegions.h"

#include "../CoreGraphics/iStandInCG.h"
#include "../Files/iStandInFiles.h"
#include "../HIToolbox/iStandInRedraw.h"
#include "../HIToolbox/iStandInToolbox.h"

#include <algorithm>

namespace {

CGrafPtr g_CurrentPort = nullptr;
Point g_Mouse{0, 0};

}  // namespace

class StandIn_GrafPort {
public:
  explicit StandIn_GrafPort(WindowRef window) : m_Window(window) {
    m_Clip.rects.push_back(Rect{-32767, -32767, 32767, 32767});
  }
  ~StandIn_GrafPort() {
    if (g_CurrentPort == this)
      g_CurrentPort = nullptr;
  }
  StandIn_GrafPort(const StandIn_GrafPort&) = delete;
  StandIn_GrafPort& operator=(const StandIn_GrafPort&) = delete;

  WindowRef m_Window;
  MacRegion m_Clip;
  RGBColor m_ForeColor{0, 0, 0};
  Point m_Origin{0, 0};  // the local coordinates of the content's top left
};

namespace {

StandIn_ViewImpl* RootOf(CGrafPtr port) {
  return port ? standin_tb::View(HIViewGetRoot(port->m_Window)) : nullptr;
}

// The port's content rectangle in the backing store.
CGRect ContentOf(CGrafPtr port) {
  return standin_tb::ContentInStructure(port->m_Window);
}

}  // namespace

CGrafPtr GetWindowPort(WindowRef window) {
  StandIn_ViewImpl* root = window ? standin_tb::View(HIViewGetRoot(window)) : nullptr;
  if (root == nullptr)
    return nullptr;
  if (!root->m_Port)
    root->m_Port = std::make_shared<StandIn_GrafPort>(window);
  return root->m_Port.get();
}

WindowRef GetWindowFromPort(CGrafPtr port) {
  return port ? port->m_Window : nullptr;
}

void SetPort(GrafPtr port) {
  g_CurrentPort = port;
}

void GetPort(GrafPtr* port) {
  if (port)
    *port = g_CurrentPort;
}

Boolean QDSwapPort(CGrafPtr inNewPort, CGrafPtr* outOldPort) {
  const CGrafPtr old = g_CurrentPort;
  if (outOldPort)
    *outOldPort = old;
  g_CurrentPort = inNewPort;
  return old != inNewPort;
}

Rect* GetPortBounds(CGrafPtr port, Rect* rect) {
  Rect bounds{0, 0, 0, 0};
  if (port) {
    const CGRect content = ContentOf(port);
    bounds.top = port->m_Origin.v;
    bounds.left = port->m_Origin.h;
    bounds.bottom = static_cast<short>(port->m_Origin.v + content.size.height);
    bounds.right = static_cast<short>(port->m_Origin.h + content.size.width);
  }
  *rect = bounds;
  return rect;
}

void SetOrigin(short h, short v) {
  if (g_CurrentPort)
    g_CurrentPort->m_Origin = Point{v, h};
}

short GetPixDepth(CGrafPtr port) {
  return port ? 32 : 0;
}

void GetClip(RgnHandle rgn) {
  if (rgn && g_CurrentPort)
    (*rgn)->rects = g_CurrentPort->m_Clip.rects;
}

void SetClip(RgnHandle rgn) {
  if (rgn && g_CurrentPort)
    g_CurrentPort->m_Clip.rects = (*rgn)->rects;
}

void ClipRect(const Rect* r) {
  if (r && g_CurrentPort) {
    g_CurrentPort->m_Clip.rects.clear();
    if (!EmptyRect(r))
      g_CurrentPort->m_Clip.rects.push_back(*r);
  }
}

OSStatus QDBeginCGContext(CGrafPtr inPort, CGContextRef* outContext) {
  if (OSStatus err = standin_files::EnterCall("QDBeginCGContext"))
    return err;
  StandIn_ViewImpl* root = RootOf(inPort);
  if (root == nullptr || outContext == nullptr)
    return paramErr;
  cairo_surface_t* store = standin_tb::EnsureBackingStore(root);
  if (store == nullptr)
    return memFullErr;
  const CGRect content = ContentOf(inPort);
  cairo_matrix_t base;  // y up from the port's bottom left
  cairo_matrix_init(&base, 1, 0, 0, -1, content.origin.x,
                    double(content.origin.y) + content.size.height);
  *outContext = standin_cg::NewSurfaceContext(store, base, content,
                                              standin_tb::PixelChangeCounter(inPort->m_Window));
  return noErr;
}

OSStatus QDEndCGContext(CGrafPtr inPort, CGContextRef* inoutContext) {
  if (OSStatus err = standin_files::EnterCall("QDEndCGContext"))
    return err;
  if (inPort == nullptr || inoutContext == nullptr)
    return paramErr;
  CGContextRelease(*inoutContext);
  *inoutContext = nullptr;
  return noErr;
}

OSStatus SyncCGContextOriginWithPort(CGContextRef inContext, CGrafPtr port) {
  if (OSStatus err = standin_files::EnterCall("SyncCGContextOriginWithPort"))
    return err;
  return inContext && port ? OSStatus(noErr) : OSStatus(paramErr);
}

OSStatus ClipCGContextToRegion(CGContextRef gc, const Rect* portRect, RgnHandle region) {
  if (OSStatus err = standin_files::EnterCall("ClipCGContextToRegion"))
    return err;
  if (gc == nullptr || portRect == nullptr || region == nullptr)
    return paramErr;
  // Region coordinates run down from the port rectangle's top; the context's base space up from
  // its bottom. The CTM plays no part.
  std::vector<CGRect> rects;
  for (const Rect& r : (*region)->rects)
    rects.push_back(CGRectMake(r.left - portRect->left, portRect->bottom - r.bottom,
                               r.right - r.left, r.bottom - r.top));
  standin_cg::ClipInBaseSpace(gc, rects);
  return noErr;
}

void RGBForeColor(const RGBColor* color) {
  if (color && g_CurrentPort)
    g_CurrentPort->m_ForeColor = *color;
}

void GetForeColor(RGBColor* color) {
  if (color)
    *color = g_CurrentPort ? g_CurrentPort->m_ForeColor : RGBColor{0, 0, 0};
}

void PaintRect(const Rect* r) {
  StandIn_ViewImpl* root = RootOf(g_CurrentPort);
  if (r == nullptr || root == nullptr)
    return;
  cairo_surface_t* store = standin_tb::EnsureBackingStore(root);
  if (store == nullptr)
    return;
  const CGRect content = ContentOf(g_CurrentPort);
  standin_cg::CairoPtr cr(cairo_create(store));
  cairo_rectangle(cr.get(), content.origin.x, content.origin.y, content.size.width,
                  content.size.height);
  cairo_clip(cr.get());
  cairo_translate(cr.get(), content.origin.x - g_CurrentPort->m_Origin.h,
                  content.origin.y - g_CurrentPort->m_Origin.v);
  for (const Rect& clip : g_CurrentPort->m_Clip.rects) {
    Rect part;
    if (SectRect(&clip, r, &part))
      cairo_rectangle(cr.get(), part.left, part.top, part.right - part.left,
                      part.bottom - part.top);
  }
  const RGBColor& c = g_CurrentPort->m_ForeColor;
  cairo_set_source_rgb(cr.get(), c.red / 65535.0, c.green / 65535.0, c.blue / 65535.0);
  cairo_fill(cr.get());
  cairo_surface_flush(store);
  standin_tb::CountPixelChange(g_CurrentPort->m_Window);
}

void GetMouse(Point* mouseLoc) {
  if (mouseLoc == nullptr)
    return;
  *mouseLoc = g_Mouse;
  GlobalToLocal(mouseLoc);
}

void GetGlobalMouse(Point* globalMouse) {
  if (globalMouse)
    *globalMouse = g_Mouse;
}

void GlobalToLocal(Point* pt) {
  if (pt == nullptr || g_CurrentPort == nullptr)
    return;
  Rect content;
  GetWindowBounds(g_CurrentPort->m_Window, kWindowContentRgn, &content);
  pt->h = static_cast<short>(pt->h - content.left + g_CurrentPort->m_Origin.h);
  pt->v = static_cast<short>(pt->v - content.top + g_CurrentPort->m_Origin.v);
}

void LocalToGlobal(Point* pt) {
  if (pt == nullptr || g_CurrentPort == nullptr)
    return;
  Rect content;
  GetWindowBounds(g_CurrentPort->m_Window, kWindowContentRgn, &content);
  pt->h = static_cast<short>(pt->h + content.left - g_CurrentPort->m_Origin.h);
  pt->v = static_cast<short>(pt->v + content.top - g_CurrentPort->m_Origin.v);
}

void StandIn_SetMouse(Point global) {
  g_Mouse = global;
}

namespace standin_qd {

ViewPortScope::ViewPortScope(WindowRef window, CGPoint viewOrigin, CGRect clip)
    : m_Port(GetWindowPort(window)) {
  QDSwapPort(m_Port, &m_OldPort);
  if (m_Port == nullptr)
    return;
  m_OldOrigin = m_Port->m_Origin;
  m_OldClip = m_Port->m_Clip.rects;
  const CGRect content = ContentOf(m_Port);
  const Point origin{static_cast<short>(content.origin.y - viewOrigin.y),
                     static_cast<short>(content.origin.x - viewOrigin.x)};
  m_Port->m_Origin = origin;
  const Rect local{static_cast<short>(clip.origin.y - viewOrigin.y),
                   static_cast<short>(clip.origin.x - viewOrigin.x),
                   static_cast<short>(CGRectGetMaxY(clip) - viewOrigin.y),
                   static_cast<short>(CGRectGetMaxX(clip) - viewOrigin.x)};
  m_Port->m_Clip.rects.assign(1, local);
}

ViewPortScope::~ViewPortScope() {
  if (m_Port) {
    m_Port->m_Origin = m_OldOrigin;
    m_Port->m_Clip.rects = m_OldClip;
  }
  SetPort(m_OldPort);
}

}  // namespace standin_qd

Point StandIn_GlobalMouse() {
  return g_Mouse;
}
