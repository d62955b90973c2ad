// The cells of the multi-column tree control: one draws one column of one row. A row owns one cell
// per column, cloned from the prototype its column's factory makes. Cells draw only the
// foreground; the control has painted the background and the selection before. UI thread only.
//
// Cell states follow the row states: 0 normal, 1 disabled, 3 selected with focus, 4 selected
// without focus, 5 selected while disabled (2 is accepted, never set).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "GLIB/GLIB_String.h"

class WMCT_CellBase {
public:
  WMCT_CellBase() = default;
  virtual ~WMCT_CellBase() = default;

  // A new cell of the same class and content; null when none could be made.
  virtual std::unique_ptr<WMCT_CellBase> Clone() const = 0;
  virtual void Draw(HDC dc, const RECT& rect) = 0;
  virtual void SetText(const GLIB_WString& text);
  virtual SIZE GetExtent(HDC dc) const;

  // A cell draws only while both its visible and enabled flags are set.
  bool IsDrawable() const { return m_Visible && m_Enabled; }
  std::uint32_t SetState(std::uint32_t state);
  std::uint32_t GetState() const { return m_State; }
  void SetVisible() { m_Visible = true; }
  void ClearVisible() { m_Visible = false; }
  void SetEnabled() { m_Enabled = true; }
  void ClearEnabled() { m_Enabled = false; }
  bool IsVisible() const { return m_Visible; }
  bool IsEnabled() const { return m_Enabled; }

  void FillBackground(HDC dc, const RECT& rect) const;

  // The text colour of a state; a state above 5 is logged FATAL.
  static COLORREF TextColour(std::uint32_t state);

protected:
  WMCT_CellBase(const WMCT_CellBase&) = default;
  WMCT_CellBase& operator=(const WMCT_CellBase&) = default;

private:
  std::uint32_t m_State = 0;
  bool m_Visible = true;
  bool m_Enabled = true;
};

// The small-icon size the icon cells and the check boxes use, read once per process.
int WMCT_SmallIconWidth();
int WMCT_SmallIconHeight();

class WMCT_CellString : public WMCT_CellBase {
public:
  WMCT_CellString() = default;
  WMCT_CellString(const WMCT_CellString&) = default;

  std::unique_ptr<WMCT_CellBase> Clone() const override;
  void Draw(HDC dc, const RECT& rect) override;
  void SetText(const GLIB_WString& text) override { m_Text = text; }
  SIZE GetExtent(HDC dc) const override;

  GLIB_WString GetText() const { return m_Text; }
  void SetFormat(UINT format) { m_Format = format; }
  UINT GetFormat() const { return m_Format; }
  bool IsEmpty() const { return m_Text.empty(); }

  static std::unique_ptr<WMCT_CellBase> Create();

private:
  GLIB_WString m_Text;
  UINT m_Format = DT_END_ELLIPSIS | DT_NOPREFIX;
};

// A small icon before the text. An icon loaded from the resources is the system's shared icon
// and is never destroyed; an icon given by handle is the cell's own, and a copy of the cell gets a
// copy of it.
class WMCT_CellIconAndString : public WMCT_CellBase {
public:
  WMCT_CellIconAndString() = default;
  WMCT_CellIconAndString(const WMCT_CellIconAndString& other);
  WMCT_CellIconAndString& operator=(const WMCT_CellIconAndString&) = delete;
  ~WMCT_CellIconAndString() override;

  std::unique_ptr<WMCT_CellBase> Clone() const override;
  void Draw(HDC dc, const RECT& rect) override;
  void SetText(const GLIB_WString& text) override { m_Text = text; }
  SIZE GetExtent(HDC dc) const override;

  GLIB_WString GetText() const { return m_Text; }
  void SetFormat(UINT format) { m_Format = format; }
  bool IsEmpty() const { return m_Text.empty(); }

  // The 16 x 16 icon resource of the program's resource module (none when it fails to load).
  void SetIcon(UINT resourceId);
  // Takes ownership of icon.
  void SetIconHandle(HICON icon);
  HICON GetIcon() const { return m_Icon; }
  bool OwnsIcon() const { return m_OwnsIcon; }

  static std::unique_ptr<WMCT_CellBase> Create();

private:
  void ReplaceIcon(HICON icon, bool owned);

  GLIB_WString m_Text;
  UINT m_Format = DT_END_ELLIPSIS | DT_NOPREFIX;
  HICON m_Icon = nullptr;
  bool m_OwnsIcon = false;
};

// A date and time in the user's locale, in long form when it fits and short form when not;
// "----" while unset.
class WMCT_CellDateTime : public WMCT_CellBase {
public:
  WMCT_CellDateTime() = default;
  WMCT_CellDateTime(const WMCT_CellDateTime&) = default;

  std::unique_ptr<WMCT_CellBase> Clone() const override;
  void Draw(HDC dc, const RECT& rect) override;

  void SetDateTime(const SYSTEMTIME& value) { m_Value = value; }
  void SetDateTime(const FILETIME& value);
  const SYSTEMTIME& GetDateTime() const { return m_Value; }

  // The text and format Draw chooses for a cell width; measured on dc.
  struct Choice {
    GLIB_WString m_Text;
    UINT m_Format;
  };
  Choice ChooseText(HDC dc, const RECT& rect) const;
  // "long date  time" and "short date  time" of the user's locale; empty when value is invalid.
  static GLIB_WString LongText(const SYSTEMTIME& value);
  static GLIB_WString ShortText(const SYSTEMTIME& value);

  static std::unique_ptr<WMCT_CellBase> Create();

private:
  SYSTEMTIME m_Value = {};
};
