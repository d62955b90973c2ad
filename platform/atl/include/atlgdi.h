#pragma once
// WTL's GDI holders: device contexts, pens, brushes, fonts and bitmaps. A managed holder (the
// plain names) owns its handle and frees it; a Handle holder only names one. Device-context
// holders remember what each first selection replaced and select it back before they let the
// context go, so a drawing never leaves its objects selected in a context it was lent. Objects
// selected into a context are declared before it, so that the context lets go of them first.
// Written from WTL's documented behaviour.
#include <windows.h>

#include "atlwin.h"

namespace WTL {

// What every GDI object holder shares: the handle, and for a managed holder its deletion. A
// creation that fails keeps the object held until then.
template <class THandle, bool t_bManaged>
class CGdiObjectT {
public:
  CGdiObjectT(THandle handle = nullptr) : m_Handle(handle) {}
  ~CGdiObjectT() {
    if (t_bManaged && m_Handle != nullptr) {
      ::DeleteObject(m_Handle);
    }
  }
  CGdiObjectT(const CGdiObjectT&) = delete;
  CGdiObjectT& operator=(const CGdiObjectT&) = delete;
  operator THandle() const { return m_Handle; }
  bool IsNull() const { return m_Handle == nullptr; }

  void Attach(THandle handle) {
    if (t_bManaged && m_Handle != nullptr && m_Handle != handle) {
      ::DeleteObject(m_Handle);
    }
    m_Handle = handle;
  }
  THandle Detach() {
    THandle handle = m_Handle;
    m_Handle = nullptr;
    return handle;
  }

protected:
  THandle m_Handle;

  THandle Replace(THandle made) {
    if (made != nullptr) {
      Attach(made);
    }
    return made;
  }
};

template <bool t_bManaged>
class CPenT : public CGdiObjectT<HPEN, t_bManaged> {
public:
  using CGdiObjectT<HPEN, t_bManaged>::CGdiObjectT;
  HPEN CreatePen(int style, int width, COLORREF color) {
    return this->Replace(::CreatePen(style, width, color));
  }
};
using CPen = CPenT<true>;
using CPenHandle = CPenT<false>;

template <bool t_bManaged>
class CBrushT : public CGdiObjectT<HBRUSH, t_bManaged> {
public:
  using CGdiObjectT<HBRUSH, t_bManaged>::CGdiObjectT;
  HBRUSH CreateSolidBrush(COLORREF color) { return this->Replace(::CreateSolidBrush(color)); }
};
using CBrush = CBrushT<true>;
using CBrushHandle = CBrushT<false>;

template <bool t_bManaged>
class CFontT : public CGdiObjectT<HFONT, t_bManaged> {
public:
  using CGdiObjectT<HFONT, t_bManaged>::CGdiObjectT;
  HFONT CreateFontIndirect(const LOGFONTW* logFont) {
    return this->Replace(::CreateFontIndirectW(logFont));
  }
  int GetLogFont(LOGFONTW* logFont) const {
    return ::GetObjectW(this->m_Handle, sizeof(LOGFONTW), logFont);
  }
};
using CFont = CFontT<true>;
using CFontHandle = CFontT<false>;

template <bool t_bManaged>
class CBitmapT : public CGdiObjectT<HBITMAP, t_bManaged> {
public:
  using CGdiObjectT<HBITMAP, t_bManaged>::CGdiObjectT;
  HBITMAP LoadBitmap(HINSTANCE instance, UINT id) {
    return this->Replace(::LoadBitmapW(instance, MAKEINTRESOURCEW(id)));
  }
  HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    return this->Replace(::CreateCompatibleBitmap(dc, width, height));
  }
  HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                           HANDLE section = nullptr, DWORD offset = 0) {
    return this->Replace(::CreateDIBSection(dc, info, usage, bits, section, offset));
  }
  BOOL GetSize(SIZE& size) const {
    BITMAP bitmap = {};
    if (::GetObjectW(this->m_Handle, sizeof(bitmap), &bitmap) == 0) {
      return FALSE;
    }
    size.cx = bitmap.bmWidth;
    size.cy = bitmap.bmHeight;
    return TRUE;
  }
};
using CBitmap = CBitmapT<true>;
using CBitmapHandle = CBitmapT<false>;

// The calls on a device context. t_bManaged: the holder deletes the context (a memory context it
// made); either way it selects back what its selections replaced when it lets the context go.
template <bool t_bManaged>
class CDCT {
public:
  HDC m_hDC = nullptr;

  CDCT(HDC hDC = nullptr) : m_hDC(hDC) {}
  ~CDCT() {
    if (t_bManaged && m_hDC != nullptr) {
      RestoreSelections();
      ::DeleteDC(m_hDC);
    }
  }
  CDCT(const CDCT&) = delete;
  CDCT& operator=(const CDCT&) = delete;
  operator HDC() const { return m_hDC; }
  bool IsNull() const { return m_hDC == nullptr; }

  void Attach(HDC hDC) {
    if (t_bManaged && m_hDC != nullptr && m_hDC != hDC) {
      RestoreSelections();
      ::DeleteDC(m_hDC);
    }
    m_hDC = hDC;
    ForgetSelections();
  }
  // Hands the context over as it is, with whatever is selected in it.
  HDC Detach() {
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    ForgetSelections();
    return hDC;
  }

  HDC CreateCompatibleDC(HDC hDC = nullptr) {
    HDC made = ::CreateCompatibleDC(hDC);
    if (made != nullptr) {
      Attach(made);
    }
    return made;
  }

  // Selects back, in each kind, the object the first selection replaced.
  void RestoreSelections() {
    for (HGDIOBJ& original : m_Originals) {
      if (original != nullptr) {
        ::SelectObject(m_hDC, original);
        original = nullptr;
      }
    }
  }

  HPEN SelectPen(HPEN pen) { return static_cast<HPEN>(Select(kPen, pen)); }
  HBRUSH SelectBrush(HBRUSH brush) { return static_cast<HBRUSH>(Select(kBrush, brush)); }
  HFONT SelectFont(HFONT font) { return static_cast<HFONT>(Select(kFont, font)); }
  HBITMAP SelectBitmap(HBITMAP bitmap) { return static_cast<HBITMAP>(Select(kBitmap, bitmap)); }
  HGDIOBJ SelectStockPen(int index) {
    return SelectPen(static_cast<HPEN>(::GetStockObject(index)));
  }
  HGDIOBJ SelectStockBrush(int index) {
    return SelectBrush(static_cast<HBRUSH>(::GetStockObject(index)));
  }
  HGDIOBJ SelectStockFont(int index) {
    return SelectFont(static_cast<HFONT>(::GetStockObject(index)));
  }

  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int savedDC) { return ::RestoreDC(m_hDC, savedDC); }

  COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
  COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
  COLORREF SetDCPenColor(COLORREF color) { return ::SetDCPenColor(m_hDC, color); }
  int SetGraphicsMode(int mode) { return ::SetGraphicsMode(m_hDC, mode); }
  BOOL SetWorldTransform(const XFORM* xform) { return ::SetWorldTransform(m_hDC, xform); }
  BOOL GetWorldTransform(XFORM* xform) const { return ::GetWorldTransform(m_hDC, xform); }
  BOOL ModifyWorldTransform(const XFORM* xform, DWORD mode) {
    return ::ModifyWorldTransform(m_hDC, xform, mode);
  }
  BOOL SetViewportOrg(int x, int y, LPPOINT previous = nullptr) {
    return ::SetViewportOrgEx(m_hDC, x, y, previous);
  }
  BOOL GetViewportOrg(LPPOINT point) const { return ::GetViewportOrgEx(m_hDC, point); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

  BOOL MoveTo(int x, int y, LPPOINT previous = nullptr) {
    return ::MoveToEx(m_hDC, x, y, previous);
  }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL Rectangle(int left, int top, int right, int bottom) {
    return ::Rectangle(m_hDC, left, top, right, bottom);
  }
  BOOL RoundRect(int left, int top, int right, int bottom, int width, int height) {
    return ::RoundRect(m_hDC, left, top, right, bottom, width, height);
  }
  BOOL Ellipse(int left, int top, int right, int bottom) {
    return ::Ellipse(m_hDC, left, top, right, bottom);
  }
  BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
  int FillRect(LPCRECT rect, HBRUSH brush) { return ::FillRect(m_hDC, rect, brush); }
  // Fills with a colour through the background colour, which it leaves as it found it.
  void FillSolidRect(LPCRECT rect, COLORREF color) {
    const COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
  }
  BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count,
                  const INT* widths = nullptr) {
    return ::ExtTextOutW(m_hDC, x, y, options, rect, text, count, widths);
  }
  int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format) {
    return ::DrawTextW(m_hDC, text, count, rect, format);
  }
  BOOL GetTextExtent(LPCWSTR text, int count, LPSIZE size) const {
    return ::GetTextExtentPoint32W(m_hDC, text, count, size);
  }
  BOOL GetTextMetrics(LPTEXTMETRICW metrics) const { return ::GetTextMetricsW(m_hDC, metrics); }
  BOOL BitBlt(int x, int y, int width, int height, HDC source, int xSource, int ySource,
              DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source, xSource, ySource, rop);
  }
  BOOL DrawIconEx(int x, int y, HICON icon, int width, int height, UINT step = 0,
                  HBRUSH flickerFree = nullptr, UINT flags = DI_NORMAL) {
    return ::DrawIconEx(m_hDC, x, y, icon, width, height, step, flickerFree, flags);
  }

protected:
  void ForgetSelections() {
    for (HGDIOBJ& original : m_Originals) {
      original = nullptr;
    }
  }

private:
  enum Kind {
    kPen,
    kBrush,
    kFont,
    kBitmap,
    kKinds
  };
  HGDIOBJ m_Originals[kKinds] = {};

  HGDIOBJ Select(Kind kind, HGDIOBJ object) {
    const HGDIOBJ previous = ::SelectObject(m_hDC, object);
    if (previous != nullptr && previous != HGDI_ERROR && m_Originals[kind] == nullptr) {
      m_Originals[kind] = previous;
    }
    return previous;
  }
};
using CDC = CDCT<true>;
using CDCHandle = CDCT<false>;

// The context of a WM_PAINT: BeginPaint at construction, EndPaint at destruction, so the window
// is validated on every road out of a paint handler, a throwing one too.
class CPaintDC : public CDCHandle {
public:
  HWND m_hWnd;
  PAINTSTRUCT m_ps = {};

  explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
  ~CPaintDC() {
    RestoreSelections();
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
  }
};

// A window's client-area context, released at destruction.
class CClientDC : public CDCHandle {
public:
  HWND m_hWnd;

  explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
  ~CClientDC() {
    if (m_hDC != nullptr) {
      RestoreSelections();
      ::ReleaseDC(m_hWnd, m_hDC);
      m_hDC = nullptr;
    }
  }
};

// Double buffering: a memory context over a bitmap the size of rect, with rect's top left as its
// origin, copied onto the original context when the holder goes.
class CMemoryDC : public CDC {
public:
  HDC m_hDCOriginal;
  RECT m_rcPaint;
  CBitmap m_bmp;

  CMemoryDC(HDC hDC, const RECT& rcPaint) : m_hDCOriginal(hDC), m_rcPaint(rcPaint) {
    CreateCompatibleDC(hDC);
    m_bmp.CreateCompatibleBitmap(hDC, Width(), Height());
    SelectBitmap(m_bmp);
    SetViewportOrg(-m_rcPaint.left, -m_rcPaint.top);
  }
  ~CMemoryDC() {
    ::BitBlt(m_hDCOriginal, m_rcPaint.left, m_rcPaint.top, Width(), Height(), m_hDC, m_rcPaint.left,
             m_rcPaint.top, SRCCOPY);
    // The bitmap goes out of the context before either is deleted.
    RestoreSelections();
  }

private:
  int Width() const { return m_rcPaint.right - m_rcPaint.left; }
  int Height() const { return m_rcPaint.bottom - m_rcPaint.top; }
};

}  // namespace WTL

using namespace WTL;
