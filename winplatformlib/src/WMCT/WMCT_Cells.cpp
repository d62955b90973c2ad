#include "WMCT/WMCT_Cells.h"

#include <atlbase.h>

#include <string>

#include "GLIB/GLIB_LogMessage.h"
#include "UWIN/UWIN_WinCallError.h"

namespace {

struct SmallIconSize {
  int m_Width = ::GetSystemMetrics(SM_CXSMICON);
  int m_Height = ::GetSystemMetrics(SM_CYSMICON);
};

const SmallIconSize& SmallIcon() {
  static const SmallIconSize size;
  return size;
}

// Moves the rectangle down so that one line of the context's font sits in its middle.
RECT CentredVertically(HDC dc, RECT rect) {
  TEXTMETRICW metrics = {};
  ::GetTextMetricsW(dc, &metrics);
  const LONG offset = ((rect.bottom - rect.top) - metrics.tmHeight) / 2;
  rect.top += offset;
  rect.bottom += offset;
  return rect;
}

SIZE MeasureText(HDC dc, const GLIB_WString& text, UINT format) {
  RECT bounds = {0, 0, 0x7FFFFFFF, 0x7FFFFFFF};
  ::SetLastError(0);
  if (::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, format | DT_CALCRECT) ==
      0) {
    UWIN_RaiseIfWinCallFailed("0", __FILE__, __LINE__);
  }
  return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

}  // namespace

int WMCT_SmallIconWidth() {
  return SmallIcon().m_Width;
}

int WMCT_SmallIconHeight() {
  return SmallIcon().m_Height;
}

void WMCT_CellBase::SetText(const GLIB_WString&) {}

SIZE WMCT_CellBase::GetExtent(HDC) const {
  return {0, 0};
}

std::uint32_t WMCT_CellBase::SetState(std::uint32_t state) {
  const std::uint32_t previous = m_State;
  m_State = state;
  return previous;
}

void WMCT_CellBase::FillBackground(HDC dc, const RECT& rect) const {
  ::SetLastError(0);
  if (::FillRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH))) == 0) {
    UWIN_RaiseIfWinCallFailed("false", __FILE__, __LINE__);
  }
}

COLORREF WMCT_CellBase::TextColour(std::uint32_t state) {
  switch (state) {
    case 1:
      return ::GetSysColor(COLOR_GRAYTEXT);
    case 3:
      return ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    case 0:
    case 2:
    case 4:
    case 5:
      return ::GetSysColor(COLOR_WINDOWTEXT);
    default:
      break;
  }
  GLIB_LogMessage::Log(GLIB_SEVERITY_FATAL,
                       (L"Unsupported cell state code = " + std::to_wstring(state)).c_str(),
                       __FILE__, __LINE__);
  return ::GetSysColor(COLOR_WINDOWTEXT);
}

// Text cell.

std::unique_ptr<WMCT_CellBase> WMCT_CellString::Clone() const {
  return std::make_unique<WMCT_CellString>(*this);
}

void WMCT_CellString::Draw(HDC dc, const RECT& rect) {
  if (!IsDrawable()) {
    return;
  }
  const COLORREF colour = TextColour(GetState());
  RECT textRect = CentredVertically(dc, rect);
  ::SetTextColor(dc, colour);
  ::DrawTextW(dc, m_Text.c_str(), static_cast<int>(m_Text.size()), &textRect, m_Format);
}

SIZE WMCT_CellString::GetExtent(HDC dc) const {
  return MeasureText(dc, m_Text, m_Format);
}

std::unique_ptr<WMCT_CellBase> WMCT_CellString::Create() {
  return std::make_unique<WMCT_CellString>();
}

// Icon and text cell.

WMCT_CellIconAndString::WMCT_CellIconAndString(const WMCT_CellIconAndString& other)
    : WMCT_CellBase(other),
      m_Text(other.m_Text),
      m_Format(other.m_Format) {
  if (other.m_OwnsIcon && other.m_Icon) {
    m_Icon = ::CopyIcon(other.m_Icon);
    m_OwnsIcon = m_Icon != nullptr;
  } else {
    m_Icon = other.m_Icon;
  }
}

WMCT_CellIconAndString::~WMCT_CellIconAndString() {
  ReplaceIcon(nullptr, false);
}

std::unique_ptr<WMCT_CellBase> WMCT_CellIconAndString::Clone() const {
  return std::make_unique<WMCT_CellIconAndString>(*this);
}

void WMCT_CellIconAndString::ReplaceIcon(HICON icon, bool owned) {
  if (m_OwnsIcon && m_Icon && m_Icon != icon) {
    ::DestroyIcon(m_Icon);
  }
  m_Icon = icon;
  m_OwnsIcon = icon != nullptr && owned;
}

void WMCT_CellIconAndString::SetIcon(UINT resourceId) {
  const HANDLE icon =
      ATL::AtlLoadImage(MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 16, 16, LR_SHARED);
  ReplaceIcon(static_cast<HICON>(icon), false);
}

void WMCT_CellIconAndString::SetIconHandle(HICON icon) {
  ReplaceIcon(icon, true);
}

void WMCT_CellIconAndString::Draw(HDC dc, const RECT& rect) {
  if (!IsDrawable()) {
    return;
  }
  const COLORREF colour = TextColour(GetState());
  RECT textRect = rect;
  if (m_Icon) {
    const int y = rect.top + ((rect.bottom - rect.top) - WMCT_SmallIconHeight()) / 2;
    ::SetLastError(0);
    if (!::DrawIconEx(dc, rect.left, y, m_Icon, WMCT_SmallIconWidth(), WMCT_SmallIconHeight(), 0,
                      nullptr, DI_NORMAL)) {
      UWIN_RaiseIfWinCallFailed("false", __FILE__, __LINE__);
    }
    textRect.left += WMCT_SmallIconWidth() + 4;
  }
  textRect = CentredVertically(dc, textRect);
  ::SetTextColor(dc, colour);
  ::SetLastError(0);
  if (::DrawTextW(dc, m_Text.c_str(), static_cast<int>(m_Text.size()), &textRect, m_Format) == 0) {
    UWIN_RaiseIfWinCallFailed("0", __FILE__, __LINE__);
  }
}

SIZE WMCT_CellIconAndString::GetExtent(HDC dc) const {
  SIZE size = MeasureText(dc, m_Text, m_Format);
  if (m_Icon) {
    size.cx += WMCT_SmallIconWidth() + 4;
  }
  size.cy += WMCT_SmallIconHeight();
  return size;
}

std::unique_ptr<WMCT_CellBase> WMCT_CellIconAndString::Create() {
  return std::make_unique<WMCT_CellIconAndString>();
}

// Date and time cell.

namespace {

constexpr UINT kSingleLineCentred = DT_SINGLELINE | DT_VCENTER;
constexpr UINT kSingleLineCut = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;

GLIB_WString DateTimeText(const SYSTEMTIME& value, DWORD dateFlags) {
  wchar_t date[128] = {};
  wchar_t time[128] = {};
  ::GetDateFormatW(LOCALE_USER_DEFAULT, dateFlags, &value, nullptr, date, 128);
  ::GetTimeFormatW(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, &value, nullptr, time, 128);
  GLIB_WString text(date);
  text += L"  ";
  text += time;
  return text;
}

bool IsValid(const SYSTEMTIME& value) {
  FILETIME converted;
  return ::SystemTimeToFileTime(&value, &converted) != 0;
}

LONG TextWidth(HDC dc, const GLIB_WString& text, const RECT& rect) {
  RECT bounds = rect;
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
              DT_CALCRECT | kSingleLineCentred);
  return bounds.right - bounds.left;
}

}  // namespace

std::unique_ptr<WMCT_CellBase> WMCT_CellDateTime::Clone() const {
  return std::make_unique<WMCT_CellDateTime>(*this);
}

void WMCT_CellDateTime::SetDateTime(const FILETIME& value) {
  SYSTEMTIME converted = {};
  ::FileTimeToSystemTime(&value, &converted);
  m_Value = converted;
}

GLIB_WString WMCT_CellDateTime::LongText(const SYSTEMTIME& value) {
  return IsValid(value) ? DateTimeText(value, DATE_LONGDATE) : GLIB_WString();
}

GLIB_WString WMCT_CellDateTime::ShortText(const SYSTEMTIME& value) {
  return IsValid(value) ? DateTimeText(value, DATE_SHORTDATE) : GLIB_WString();
}

WMCT_CellDateTime::Choice WMCT_CellDateTime::ChooseText(HDC dc, const RECT& rect) const {
  if (!IsValid(m_Value)) {
    return {L"----", kSingleLineCentred};
  }
  const GLIB_WString longText = LongText(m_Value);
  const GLIB_WString shortText = ShortText(m_Value);
  const LONG width = rect.right - rect.left;
  const LONG longWidth = TextWidth(dc, longText, rect);
  const LONG shortWidth = TextWidth(dc, shortText, rect);
  if (width > longWidth) {
    return {longText, kSingleLineCentred};
  }
  if (width > shortWidth * 12 / 10) {
    return {longText, kSingleLineCut};
  }
  if (width > shortWidth) {
    return {shortText, kSingleLineCentred};
  }
  return {shortText, kSingleLineCut};
}

void WMCT_CellDateTime::Draw(HDC dc, const RECT& rect) {
  if (!IsDrawable()) {
    return;
  }
  const COLORREF colour = TextColour(GetState());
  const int saved = ::SaveDC(dc);
  ::SetTextColor(dc, colour);
  const Choice choice = ChooseText(dc, rect);
  RECT textRect = rect;
  ::DrawTextW(dc, choice.m_Text.c_str(), static_cast<int>(choice.m_Text.size()), &textRect,
              choice.m_Format);
  ::RestoreDC(dc, saved ? -1 : 0);
}

std::unique_ptr<WMCT_CellBase> WMCT_CellDateTime::Create() {
  return std::make_unique<WMCT_CellDateTime>();
}
