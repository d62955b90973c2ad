#include "WTLU/WTLU_ColorButton.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kTextBorder = 3;
constexpr int kTextMargin = 2;
constexpr int kCellBorder = 2;
constexpr wchar_t kPickerClass[] = L"ColorPicker";
constexpr UINT kPickerClassStyle = CS_VREDRAW | CS_HREDRAW | CS_CLASSDC | CS_SAVEBITS;

bool IsText(int entry) {
  return entry == WTLU_ColorPickerLayout::kAutomatic ||
         entry == WTLU_ColorPickerLayout::kMoreColors;
}

void FillSolid(HDC dc, const RECT& rc, COLORREF color) {
  HBRUSH brush = ::CreateSolidBrush(color);
  ::FillRect(dc, &rc, brush);
  ::DeleteObject(brush);
}

void FrameSolid(HDC dc, const RECT& rc, COLORREF color) {
  HBRUSH brush = ::CreateSolidBrush(color);
  ::FrameRect(dc, &rc, brush);
  ::DeleteObject(brush);
}

// A failing call means the system has no flat menus.
bool FlatMenus() {
  BOOL flat = FALSE;
  return ::SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0) && flat;
}

// A function looked up at run time, as its own type.
template <class Fn>
Fn ProcAddress(HMODULE module, const char* name) {
  const FARPROC proc = ::GetProcAddress(module, name);
  Fn fn = nullptr;
  static_assert(sizeof(fn) == sizeof(proc));
  std::memcpy(&fn, &proc, sizeof(fn));
  return fn;
}

}  // namespace

const WTLU_ColorPickerLayout::Entry WTLU_ColorPickerLayout::sm_Colors[kColorCount] = {
    {0x000000, L"Black"},
    {0x002AA5, L"Brown"},
    {0x404000, L"Dark Olive Green"},
    {0x005500, L"Dark Green"},
    {0x5E0000, L"Dark Teal"},
    {0x8B0000, L"Dark blue"},
    {0x82004B, L"Indigo"},
    {0x282828, L"Dark grey"},
    {0x00008B, L"Dark red"},
    {0x2068FF, L"Orange"},
    {0x008B8B, L"Dark yellow"},
    {0x009300, L"Green"},
    {0x8E8E38, L"Teal"},
    {0xFF0000, L"Blue"},
    {0xC07B7B, L"Blue-grey"},
    {0x666666, L"Grey - 40"},
    {0x0000FF, L"Red"},
    {0x5BADFF, L"Light orange"},
    {0x32CD32, L"Lime"},
    {0x71B33C, L"Sea green"},
    {0xD4FF7F, L"Aqua"},
    {0xC09E7D, L"Light blue"},
    {0x800080, L"Violet"},
    {0x7F7F7F, L"Grey - 50"},
    {0xCBC0FF, L"Pink"},
    {0x00D7FF, L"Gold"},
    {0x00FFFF, L"Yellow"},
    {0x00FF00, L"Bright green"},
    {0xD0E040, L"Turquoise"},
    {0xFFFFC0, L"Skyblue"},
    {0x480048, L"Plum"},
    {0xC0C0C0, L"Light grey"},
    {0xE1E4FF, L"Rose"},
    {0x8CB4D2, L"Tan"},
    {0xE0FFFF, L"Light yellow"},
    {0x98FB98, L"Pale green "},
    {0xEEEEAF, L"Pale turquoise"},
    {0x8B8368, L"Pale blue"},
    {0xFAE6E6, L"Lavender"},
    {0xFFFFFF, L"White"},
};

void WTLU_ColorPickerLayout::Layout(bool hasDefault, bool hasCustom, SIZE textSize, SIZE margins) {
  m_HasDefault = hasDefault;
  m_HasCustom = hasCustom;
  const int textWidth = static_cast<int>(textSize.cx) + 2 * (kTextBorder + kTextMargin);
  const int textHeight = static_cast<int>(textSize.cy) + 2 * (kTextBorder + kTextMargin);
  const int gridWidth = kColumns * kCellSize;
  const int width = std::max(gridWidth, hasDefault || hasCustom ? textWidth : 0);
  const int left = static_cast<int>(margins.cx);
  int y = static_cast<int>(margins.cy);
  m_DefaultRect = {left, y, left + width, y + (hasDefault ? textHeight : 0)};
  y = m_DefaultRect.bottom;
  const int gridLeft = left + (width - gridWidth) / 2;
  m_Grid = {gridLeft, y, gridLeft + gridWidth, y + kRows * kCellSize};
  y = m_Grid.bottom;
  m_CustomRect = {left, y, left + width, y + (hasCustom ? textHeight : 0)};
  y = m_CustomRect.bottom;
  m_WindowSize = {width + 2 * margins.cx, y + margins.cy};
}

int WTLU_ColorPickerLayout::HitTest(POINT point) const {
  if (m_HasCustom && ::PtInRect(&m_CustomRect, point)) {
    return kMoreColors;
  }
  if (m_HasDefault && ::PtInRect(&m_DefaultRect, point)) {
    return kAutomatic;
  }
  // The capture delivers points outside the window: a negative offset must not round into the
  // first row or column.
  if (point.x < m_Grid.left || point.y < m_Grid.top) {
    return kNone;
  }
  const int row = static_cast<int>(point.y - m_Grid.top) / kCellSize;
  const int column = static_cast<int>(point.x - m_Grid.left) / kCellSize;
  const int index = row * kColumns + column;
  if (row < kRows && column < kColumns && index < kColorCount) {
    return index;
  }
  return kNone;
}

int WTLU_ColorPickerLayout::Skip(int entry, int direction) const {
  for (int i = 0; i < 2; ++i) {
    if (entry == kAutomatic && !m_HasDefault) {
      entry = direction > 0 ? 0 : kMoreColors;
    } else if (entry == kMoreColors && !m_HasCustom) {
      entry = direction > 0 ? kAutomatic : kColorCount - 1;
    }
  }
  return entry;
}

int WTLU_ColorPickerLayout::Step(int from, int delta) const {
  const bool forward = delta > 0;
  int next;
  if (from == kNone) {
    next = forward ? kAutomatic : kMoreColors;
  } else if (from == kAutomatic) {
    next = forward ? 0 : kMoreColors;
  } else if (from == kMoreColors) {
    next = forward ? kAutomatic : kColorCount - 1;
  } else {
    const int n = from + delta;
    next = n < 0 ? kAutomatic : n >= kColorCount ? kMoreColors : n;
  }
  return Skip(next, forward ? 1 : -1);
}

int WTLU_ColorPickerLayout::ChosenFor(COLORREF color) const {
  if (color == kColorButtonAutomatic && m_HasDefault) {
    return kAutomatic;
  }
  for (int i = 0; i < kColorCount; ++i) {
    if (sm_Colors[i].m_Color == color) {
      return i;
    }
  }
  return m_HasCustom ? kMoreColors : kNone;
}

RECT WTLU_ColorPickerLayout::EntryRect(int entry) const {
  if (entry == kAutomatic) {
    return m_DefaultRect;
  }
  if (entry == kMoreColors) {
    return m_CustomRect;
  }
  if (entry < 0 || entry >= kColorCount) {
    return RECT{};
  }
  const int left = static_cast<int>(m_Grid.left) + (entry % kColumns) * kCellSize;
  const int top = static_cast<int>(m_Grid.top) + (entry / kColumns) * kCellSize;
  return RECT{left, top, left + kCellSize, top + kCellSize};
}

RECT WTLU_PlaceColorPicker(RECT picker, const RECT& button, const RECT& workArea) {
  if (picker.right > workArea.right) {
    ::OffsetRect(&picker, workArea.right - picker.right, 0);
  }
  if (picker.left < workArea.left) {
    ::OffsetRect(&picker, workArea.left - picker.left, 0);
  }
  if (picker.bottom > workArea.bottom) {
    ::OffsetRect(&picker, 0, -((picker.bottom - picker.top) + (button.bottom - button.top)));
  }
  return picker;
}

COLORREF CColorButton::sm_CustomColors[16] = {
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
};

CColorButton::Hooks& CColorButton::SystemHooks() {
  static Hooks hooks = [] {
    HMODULE user = ::GetModuleHandleW(L"USER32.DLL");
    Hooks h{::ChooseColorW, nullptr, nullptr};
    if (user != nullptr) {
      h.m_MonitorFromWindow = ProcAddress<MonitorFromWindowFn>(user, "MonitorFromWindow");
      h.m_GetMonitorInfo = ProcAddress<GetMonitorInfoFn>(user, "GetMonitorInfoA");
    }
    return h;
  }();
  return hooks;
}

CColorButton::CColorButton() : m_DefaultColor(::GetSysColor(COLOR_APPWORKSPACE)) {}

BOOL CColorButton::AttachToButton(HWND hWnd) {
  if (!SubclassWindow(hWnd)) {
    return FALSE;
  }
  const LONG_PTR style = ::GetWindowLongPtrW(hWnd, GWL_STYLE);
  if ((style & BS_OWNERDRAW) != BS_OWNERDRAW) {
    ::SetWindowLongPtrW(hWnd, GWL_STYLE, style | BS_OWNERDRAW);
  }
  return TRUE;
}

void CColorButton::SetColor(COLORREF color) {
  m_Color = color;
  if (m_hWnd != nullptr) {
    Invalidate();
  }
}

void CColorButton::DrawFace(HDC dc, RECT rc, UINT state) {
  const bool selected = (state & ODS_SELECTED) != 0;
  const bool disabled = (state & ODS_DISABLED) != 0;
  const bool focused = (state & ODS_FOCUS) != 0;
  UINT frame = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
  if (selected) {
    frame |= DFCS_PUSHED;
  }
  if (disabled) {
    frame |= DFCS_INACTIVE;
  }
  ::DrawFrameControl(dc, &rc, DFC_BUTTON, frame);
  if (selected || m_PopupActive) {
    ::OffsetRect(&rc, 1, 1);
  }
  if (focused || m_PopupActive) {
    RECT focus = rc;
    focus.right -= 1;
    ::DrawFocusRect(dc, &focus);
  }
  const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
  ::InflateRect(&rc, -cxEdge, -::GetSystemMetrics(SM_CYEDGE));

  const int r = static_cast<int>(rc.right) - cxEdge / 2;
  const int m = static_cast<int>(rc.top + rc.bottom) / 2;
  const POINT arrow[3] = {{r - 4, m - 1}, {r, m - 1}, {r - 2, m + 1}};
  const COLORREF arrowColor = disabled ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0);
  HBRUSH arrowBrush = ::CreateSolidBrush(arrowColor);
  HPEN arrowPen = ::CreatePen(PS_SOLID, 1, arrowColor);
  HGDIOBJ oldBrush = ::SelectObject(dc, arrowBrush);
  HGDIOBJ oldPen = ::SelectObject(dc, arrowPen);
  ::Polygon(dc, arrow, 3);
  ::SelectObject(dc, oldPen);
  ::SelectObject(dc, oldBrush);
  ::DeleteObject(arrowPen);
  ::DeleteObject(arrowBrush);

  RECT line = rc;
  line.right = r - cxEdge / 2 - 4;
  ::DrawEdge(dc, &line, EDGE_ETCHED, BF_RIGHT);
  RECT swatch = rc;
  swatch.right = line.right - (2 * cxEdge + 1);
  if (!disabled) {
    FillSolid(dc, swatch, m_Color == kColorButtonAutomatic ? m_DefaultColor : m_Color);
    ::FrameRect(dc, &swatch, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }
}

LRESULT CColorButton::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  DrawFace(item->hDC, item->rcItem, item->itemState);
  return TRUE;
}

LRESULT CColorButton::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (HIWORD(wParam) != BN_CLICKED) {
    bHandled = FALSE;
    return 0;
  }
  OnClicked();
  return 0;
}

LRESULT CColorButton::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (!m_MouseOver) {
    m_MouseOver = true;
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
    Invalidate();
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CColorButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (m_MouseOver) {
    m_MouseOver = false;
    Invalidate();
  }
  bHandled = FALSE;
  return 0;
}

void CColorButton::Notify(UINT code, COLORREF color, BOOL valid) {
  const int id = GetDlgCtrlID();
  NMCOLORBUTTON nm{};
  nm.hdr.hwndFrom = m_hWnd;
  nm.hdr.idFrom = static_cast<UINT_PTR>(id);
  nm.hdr.code = code;
  nm.clr = color;
  nm.fColorValid = valid;
  ::SendMessageW(GetParent(), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&nm));
}

// What one opening of the palette holds: the font, the logical palette, the class registration,
// the palette window and its tool tip. Every road out of the opening
// frees them, a fatal exception out of the palette's loop too.
class CColorButton::PickerResources {
public:
  explicit PickerResources(CColorButton& button) : m_Button(button) {}
  PickerResources(const PickerResources&) = delete;
  PickerResources& operator=(const PickerResources&) = delete;
  ~PickerResources() {
    CloseWindows();
    DeleteObjectOf(m_Button.m_Font);
    DeleteObjectOf(m_Button.m_Palette);
    if (m_ClassRegistered) {
      ::UnregisterClassW(kPickerClass, ::GetModuleHandleW(nullptr));
    }
  }

  void ClassRegistered(bool registered) { m_ClassRegistered = registered; }

  // The palette closes before the system colour dialog opens.
  void CloseWindows() {
    if (m_Button.m_Picker != nullptr && ::GetCapture() == m_Button.m_Picker) {
      ::ReleaseCapture();
    }
    DestroyWindowOf(m_Button.m_ToolTip);
    DestroyWindowOf(m_Button.m_Picker);
  }

private:
  static void DestroyWindowOf(HWND& hWnd) {
    if (hWnd != nullptr) {
      ::DestroyWindow(hWnd);
      hWnd = nullptr;
    }
  }
  template <class Handle>
  static void DeleteObjectOf(Handle& object) {
    if (object != nullptr) {
      ::DeleteObject(object);
      object = nullptr;
    }
  }

  CColorButton& m_Button;
  bool m_ClassRegistered = false;
};

void CColorButton::OnClicked() {
  // Cleared on every road, a fatal exception out of the palette's loop too.
  struct ActiveFlag {
    bool& m_Flag;
    ~ActiveFlag() { m_Flag = false; }
  } active{m_PopupActive};
  m_PopupActive = true;
  Invalidate();
  Notify(kColorButtonDropDown, m_Color);
  const COLORREF before = m_Color;
  const bool ok = ShowPicker();
  m_PopupActive = false;
  if (ok) {
    if (m_Color != before) {
      Notify(kColorButtonSelChange, m_Color);
    }
    Notify(kColorButtonCloseUp, m_Color);
    Notify(kColorButtonSelEndOK, m_Color);
  } else {
    if (m_TrackSelection && m_Color != before) {
      m_Color = before;
      Notify(kColorButtonSelChange, m_Color);
    }
    Notify(kColorButtonCloseUp, m_Color);
    Notify(kColorButtonSelEndCancel, m_Color);
  }
  Invalidate();
}

bool CColorButton::ShowPicker() {
  m_FlatMenus = FlatMenus();
  const COLORREF menu = ::GetSysColor(COLOR_MENU);
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  auto blend = [](COLORREF a, COLORREF b, int shift) {
    return static_cast<BYTE>(((((a >> shift) & 0xFF) * 207) + (((b >> shift) & 0xFF) * 48)) >> 8);
  };
  m_Colors = {
      menu,
      highlight,
      ::GetSysColor(m_FlatMenus ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT),
      ::GetSysColor(COLOR_HIGHLIGHTTEXT),
      ::GetSysColor(COLOR_MENUTEXT),
      RGB(blend(menu, highlight, 0), blend(menu, highlight, 8), blend(menu, highlight, 16))};
  m_Hot = WTLU_ColorPickerLayout::kNone;
  m_Chosen = WTLU_ColorPickerLayout::kNone;
  m_Picked = m_Color;
  m_PickerOK = false;
  PickerResources resources(*this);

  // The structure size the message font is asked with (the system's own, without the padding
  // newer headers add).
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = 500;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 500, &metrics, 0)) {
    m_Font = ::CreateFontIndirectW(&metrics.lfMessageFont);
  }
  std::vector<BYTE> paletteMemory(sizeof(LOGPALETTE) +
                                  sizeof(PALETTEENTRY) * WTLU_ColorPickerLayout::kColorCount);
  auto* logPalette = reinterpret_cast<LOGPALETTE*>(paletteMemory.data());
  logPalette->palVersion = 0x300;
  logPalette->palNumEntries = WTLU_ColorPickerLayout::kColorCount;
  for (int i = 0; i < WTLU_ColorPickerLayout::kColorCount; ++i) {
    const COLORREF c = WTLU_ColorPickerLayout::sm_Colors[i].m_Color;
    logPalette->palPalEntry[i] = {GetRValue(c), GetGValue(c), GetBValue(c), 0};
  }
  m_Palette = ::CreatePalette(logPalette);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = kPickerClassStyle;
  BOOL shadow = FALSE;
  if (m_FlatMenus && ::SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &shadow, 0) && shadow) {
    wc.style |= CS_DROPSHADOW;
  }
  wc.lpfnWndProc = PickerWindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
  wc.lpszClassName = kPickerClass;
  resources.ClassRegistered(::RegisterClassExW(&wc) != 0);

  RECT button{};
  GetWindowRect(&button);
  m_Picker = ::CreateWindowExW(0, kPickerClass, L"", WS_POPUP, button.left, button.bottom, 100, 100,
                               GetParent(), nullptr, wc.hInstance, this);
  if (m_Picker != nullptr) {
    LayoutPicker();
    AddPickerToolTips();
    m_Chosen = m_Layout.ChosenFor(m_Color);
    ::ShowWindow(m_Picker, SW_SHOWNA);
    ::UpdateWindow(m_Picker);
    ::SetCapture(m_Picker);
    RunPickerLoop();
  }
  resources.CloseWindows();

  bool ok = m_PickerOK;
  if (ok) {
    if (m_Hot == WTLU_ColorPickerLayout::kMoreColors) {
      ok = ChooseCustomColor();
    } else {
      m_Color = m_Picked;
    }
  }
  return ok;
}

void CColorButton::LayoutPicker() {
  SIZE text{0, 0};
  HDC dc = ::GetDC(m_Picker);
  HGDIOBJ old = m_Font ? ::SelectObject(dc, m_Font) : nullptr;
  for (const std::wstring* t : {&m_DefaultText, &m_CustomText}) {
    SIZE size{0, 0};
    if (!t->empty() &&
        ::GetTextExtentPoint32W(dc, t->c_str(), static_cast<int>(t->size()), &size)) {
      text.cx = std::max(text.cx, size.cx);
      text.cy = std::max(text.cy, size.cy);
    }
  }
  if (old != nullptr) {
    ::SelectObject(dc, old);
  }
  ::ReleaseDC(m_Picker, dc);
  m_Layout.Layout(!m_DefaultText.empty(), !m_CustomText.empty(), text,
                  SIZE{::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CYEDGE)});

  RECT button{};
  GetWindowRect(&button);
  const SIZE size = m_Layout.WindowSize();
  const RECT picker{button.left, button.bottom, button.left + size.cx, button.bottom + size.cy};
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  const Hooks& hooks = SystemHooks();
  if (hooks.m_MonitorFromWindow != nullptr && hooks.m_GetMonitorInfo != nullptr) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = hooks.m_MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && hooks.m_GetMonitorInfo(monitor, &info)) {
      work = info.rcWork;
    }
  }
  const RECT placed = WTLU_PlaceColorPicker(picker, button, work);
  ::SetWindowPos(m_Picker, nullptr, placed.left, placed.top, placed.right - placed.left,
                 placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CColorButton::AddPickerToolTips() {
  m_ToolTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                m_Picker, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (m_ToolTip == nullptr) {
    return;
  }
  for (int i = 0; i < WTLU_ColorPickerLayout::kColorCount; ++i) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_Picker;
    tool.uId = static_cast<UINT_PTR>(i + 1);
    tool.rect = m_Layout.EntryRect(i);
    tool.lpszText = const_cast<LPWSTR>(WTLU_ColorPickerLayout::sm_Colors[i].m_Name);
    ::SendMessageW(m_ToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void CColorButton::RunPickerLoop() {
  ATL::AtlRunCaptureLoop(m_Picker, [&](MSG& msg) {
    if (m_ToolTip != nullptr) {
      ::SendMessageW(m_ToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
    const POINT point{static_cast<short>(LOWORD(msg.lParam)),
                      static_cast<short>(HIWORD(msg.lParam))};
    switch (msg.message) {
      case WM_MOUSEMOVE: {
        const int hit = m_Layout.HitTest(point);
        if (hit != m_Hot) {
          SetHotCell(hit);
        }
        return true;
      }
      case WM_LBUTTONUP: {
        const int hit = m_Layout.HitTest(point);
        if (hit != m_Hot) {
          SetHotCell(hit);
        }
        ::ReleaseCapture();
        m_PickerOK = hit != WTLU_ColorPickerLayout::kNone;
        return true;
      }
      case WM_RBUTTONDOWN:
        ::ReleaseCapture();
        m_PickerOK = false;
        return true;
      case WM_KEYDOWN:
        OnPickerKey(msg.wParam);
        return true;
      case WM_KEYUP:
        return true;
      default:
        return false;
    }
  });
}

bool CColorButton::OnPickerKey(WPARAM key) {
  switch (key) {
    case VK_RETURN:
    case VK_SPACE:
      if (m_Hot == WTLU_ColorPickerLayout::kNone) {
        m_Picked = m_Color;
      }
      ::ReleaseCapture();
      m_PickerOK = m_Hot != WTLU_ColorPickerLayout::kNone;
      return true;
    case VK_ESCAPE:
      m_Picked = m_Color;
      ::ReleaseCapture();
      m_PickerOK = false;
      return true;
    case VK_LEFT:
      SetHotCell(m_Layout.Step(m_Hot, -1));
      return false;
    case VK_RIGHT:
      SetHotCell(m_Layout.Step(m_Hot, 1));
      return false;
    case VK_UP:
      SetHotCell(m_Layout.Step(m_Hot, -WTLU_ColorPickerLayout::kColumns));
      return false;
    case VK_DOWN:
      SetHotCell(m_Layout.Step(m_Hot, WTLU_ColorPickerLayout::kColumns));
      return false;
    default:
      return false;
  }
}

void CColorButton::SetHotCell(int entry) {
  if (entry >= WTLU_ColorPickerLayout::kColorCount) {
    entry = WTLU_ColorPickerLayout::kMoreColors;
  }
  const int old = m_Hot;
  m_Hot = entry;
  if (m_Picker != nullptr) {
    HDC dc = ::GetDC(m_Picker);
    DrawPickerCell(dc, old);
    DrawPickerCell(dc, entry);
    ::ReleaseDC(m_Picker, dc);
  }
  if (entry >= 0) {
    m_Picked = WTLU_ColorPickerLayout::sm_Colors[entry].m_Color;
  } else if (entry == WTLU_ColorPickerLayout::kAutomatic) {
    m_Picked = kColorButtonAutomatic;
  }
  if (m_TrackSelection) {
    if (entry >= 0) {
      m_Color = WTLU_ColorPickerLayout::sm_Colors[entry].m_Color;
    } else if (entry == WTLU_ColorPickerLayout::kAutomatic) {
      m_Color = kColorButtonAutomatic;
    } else if (entry == WTLU_ColorPickerLayout::kMoreColors) {
      m_Color = m_DefaultColor;
    }
    Invalidate();
    Notify(kColorButtonSelChange, m_Color, entry != WTLU_ColorPickerLayout::kNone);
  }
}

bool CColorButton::ChooseCustomColor() {
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = ::GetActiveWindow();
  // The automatic value is no colour: the dialog starts at the colour the face shows.
  dialog.rgbResult = m_Color == kColorButtonAutomatic ? m_DefaultColor : m_Color;
  dialog.lpCustColors = sm_CustomColors;
  dialog.Flags = CC_FULLOPEN | CC_ANYCOLOR;
  if (m_Color != 0) {
    dialog.Flags |= CC_RGBINIT;
  }
  ATL::CSystemLoopScope loop(ATL::CSystemLoopScope::kDialog);
  if (!loop.Returned(SystemHooks().m_ChooseColor(&dialog))) {
    return false;
  }
  m_Color = dialog.rgbResult;
  return true;
}

void CColorButton::DrawPickerCell(HDC dc, int entry) {
  if (entry == WTLU_ColorPickerLayout::kNone) {
    return;
  }
  const bool text = IsText(entry);
  if ((entry == WTLU_ColorPickerLayout::kAutomatic && m_DefaultText.empty()) ||
      (entry == WTLU_ColorPickerLayout::kMoreColors && m_CustomText.empty())) {
    return;
  }
  const RECT rc = m_Layout.EntryRect(entry);
  const int margin = text ? kTextMargin : 0;
  COLORREF textColor = m_Colors.m_Text;
  if (entry == m_Hot || entry == m_Chosen) {
    if (margin != 0) {
      FillSolid(dc, rc, m_Colors.m_Background);
    }
    RECT inner = rc;
    ::InflateRect(&inner, -margin, -margin);
    FrameSolid(dc, inner, m_Colors.m_HighlightBorder);
    ::InflateRect(&inner, -1, -1);
    FillSolid(dc, inner, entry == m_Hot ? m_Colors.m_Highlight : m_Colors.m_Chosen);
    if (entry == m_Hot) {
      textColor = m_Colors.m_HighlightText;
    }
  } else {
    FillSolid(dc, rc, m_Colors.m_Background);
  }
  if (text) {
    const std::wstring& label =
        entry == WTLU_ColorPickerLayout::kAutomatic ? m_DefaultText : m_CustomText;
    RECT textRect = rc;
    HGDIOBJ oldFont = m_Font ? ::SelectObject(dc, m_Font) : nullptr;
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, textColor);
    ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &textRect,
                DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
    if (oldFont != nullptr) {
      ::SelectObject(dc, oldFont);
    }
  } else {
    RECT box = rc;
    ::InflateRect(&box, -kCellBorder, -kCellBorder);
    FrameSolid(dc, box, ::GetSysColor(COLOR_BTNSHADOW));
    ::InflateRect(&box, -1, -1);
    FillSolid(dc, box, WTLU_ColorPickerLayout::sm_Colors[entry].m_Color);
  }
}

void CColorButton::OnPickerPaint(HDC dc) {
  HPALETTE oldPalette = nullptr;
  if (m_Palette != nullptr && (::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0) {
    oldPalette = ::SelectPalette(dc, m_Palette, FALSE);
    ::RealizePalette(dc);
  }
  RECT client{};
  ::GetClientRect(m_Picker, &client);
  if (m_FlatMenus) {
    FrameSolid(dc, client, ::GetSysColor(COLOR_GRAYTEXT));
  } else {
    ::DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
  }
  DrawPickerCell(dc, WTLU_ColorPickerLayout::kAutomatic);
  for (int i = 0; i < WTLU_ColorPickerLayout::kColorCount; ++i) {
    DrawPickerCell(dc, i);
  }
  DrawPickerCell(dc, WTLU_ColorPickerLayout::kMoreColors);
  if (oldPalette != nullptr) {
    ::SelectPalette(dc, oldPalette, FALSE);
  }
}

LRESULT CALLBACK CColorButton::PickerWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam,
                                                LPARAM lParam) {
  LRESULT result = 0;
  bool handled = false;
  const bool done = ATL::AtlGuardedHook("CColorButton", "WTLU_ColorButton.h", [&] {
    if (uMsg == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CColorButton*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self == nullptr) {
      return;
    }
    switch (uMsg) {
      case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(hWnd, &paint);
        self->OnPickerPaint(dc);
        ::EndPaint(hWnd, &paint);
        handled = true;
        break;
      }
      case WM_QUERYNEWPALETTE:
        ::InvalidateRect(hWnd, nullptr, FALSE);
        break;
      case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != hWnd) {
          ::InvalidateRect(hWnd, nullptr, FALSE);
        }
        break;
      default:
        break;
    }
  });
  if (!done) {
    return ATL::AtlFailedMessageResult(hWnd, uMsg);
  }
  return handled ? result : ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}
