// What the tree-control tests share: a hidden top-level window holding a control, rows whose
// label is a number they sort by, a recorder of the control's messages, 32-bit DIB sections to
// read pixels from and a fixture that captures log lines and guard exits.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atlbase.h>
#include <atlwin.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_Message.h"
#include "GLIB/win/GLIB_WinGuard.h"
#include "win/GuardCapture.h"
#include "WMCT/WMCT_Messages.h"
#include "WMCT/WMCT_MultiColumnTreeCtrl.h"

class TestFrame : public ATL::CWindowImpl<TestFrame, ATL::CWindow, ATL::CFrameWinTraits> {
public:
  BEGIN_MSG_MAP(TestFrame)
  END_MSG_MAP()
};

// Sorts by the number in its label; column 1 sorts the other way round.
class NumberRow : public WMCT_RowBase {
public:
  int Compare(const WMCT_RowBase& other, int column) const override {
    const int difference = std::stoi(GetLabel()) - std::stoi(other.GetLabel());
    return column == 1 ? -difference : difference;
  }
  static std::unique_ptr<WMCT_RowBase> Create() { return std::make_unique<NumberRow>(); }
};

// Every message the control broadcasts, in order.
class MessageRecorder : public GLIB_MessageTarget {
public:
  struct Entry {
    std::string m_Kind;
    WMCT_TreeItemVector m_Items;
  };

  explicit MessageRecorder(const GLIB_MessageDispatcher& dispatcher) {
    dispatcher.Register(new GLIB_Callback<MessageRecorder, WMCT_SelectionChangedMessage>(
        this, &MessageRecorder::OnItems<WMCT_SelectionChangedMessage>));
    dispatcher.Register(new GLIB_Callback<MessageRecorder, WMCT_DoubleClickMessage>(
        this, &MessageRecorder::OnItems<WMCT_DoubleClickMessage>));
    dispatcher.Register(new GLIB_Callback<MessageRecorder, WMCT_DisplayDebugInfoMessage>(
        this, &MessageRecorder::OnItems<WMCT_DisplayDebugInfoMessage>));
    dispatcher.Register(new GLIB_Callback<MessageRecorder, WMCT_ItemsHaveBeenDeletedMessage>(
        this, &MessageRecorder::OnDeleted));
    dispatcher.Register(new GLIB_Callback<MessageRecorder, WMCT_CheckboxClickMessage>(
        this, &MessageRecorder::OnCheckbox));
  }

  template <class Message>
  void OnItems(const Message& message) {
    m_Entries.push_back({message.AsString(), message.GetItems()});
  }
  void OnDeleted(const WMCT_ItemsHaveBeenDeletedMessage& message) {
    m_Entries.push_back({message.AsString(), {}});
  }
  void OnCheckbox(const WMCT_CheckboxClickMessage& message) {
    m_Entries.push_back({message.AsString(), {message.GetItem()}});
  }

  std::size_t Count(const std::string& kind) const {
    std::size_t count = 0;
    for (const Entry& entry : m_Entries) {
      count += entry.m_Kind == kind ? 1 : 0;
    }
    return count;
  }

  std::vector<Entry> m_Entries;
};

// A 32-bit DIB section selected into a memory context, filled white.
class DibCanvas {
public:
  DibCanvas(int width, int height) : m_Width(width), m_Height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_Dc = CreateCompatibleDC(nullptr);
    m_Bitmap = CreateDIBSection(m_Dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_Bits),
                                nullptr, 0);
    m_Old = SelectObject(m_Dc, m_Bitmap);
    SelectObject(m_Dc, GetStockObject(DEFAULT_GUI_FONT));
    Fill(RGB(255, 255, 255));
  }
  ~DibCanvas() {
    SelectObject(m_Dc, m_Old);
    DeleteObject(m_Bitmap);
    DeleteDC(m_Dc);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC Dc() const { return m_Dc; }
  void Fill(COLORREF colour) {
    GdiFlush();
    const std::uint32_t value =
        (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; i < m_Width * m_Height; ++i) {
      m_Bits[i] = value;
    }
  }
  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    const std::uint32_t value = m_Bits[y * m_Width + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
  }
  // Whether any pixel of the rectangle differs from background.
  bool AnyPixelOtherThan(COLORREF background, const RECT& area) const {
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (Pixel(x, y) != background) {
          return true;
        }
      }
    }
    return false;
  }
  bool HasPixel(COLORREF colour) const { return CountPixels(colour) > 0; }
  int CountPixels(COLORREF colour) const {
    int count = 0;
    for (int y = 0; y < m_Height; ++y) {
      for (int x = 0; x < m_Width; ++x) {
        count += Pixel(x, y) == colour ? 1 : 0;
      }
    }
    return count;
  }
  // The leftmost column with a pixel other than background, or -1.
  int FirstInkColumn(COLORREF background) const {
    for (int x = 0; x < m_Width; ++x) {
      for (int y = 0; y < m_Height; ++y) {
        if (Pixel(x, y) != background) {
          return x;
        }
      }
    }
    return -1;
  }

private:
  int m_Width;
  int m_Height;
  HDC m_Dc = nullptr;
  HBITMAP m_Bitmap = nullptr;
  HGDIOBJ m_Old = nullptr;
  std::uint32_t* m_Bits = nullptr;
};

// A control in a hidden frame: columns of ids 0, 1, 2 and 4 (100 pixels each, 40..300 wide),
// number rows of kind 7.
class TreeControlTest : public ListControlsCapturingTest {
protected:
  static constexpr int kControlId = 700;
  static constexpr int kRowKind = 7;

  void MakeControl(bool multiple = true, bool dragAndDrop = false, bool autoScroll = false,
                   bool autoExpand = false, int width = 400, int height = 300) {
    m_Control = std::make_unique<WMCT_MultiColumnTreeCtrl>(multiple, true, dragAndDrop, autoScroll,
                                                           autoExpand);
    RECT frame = {0, 0, 600, 500};
    m_Frame.Create(nullptr, frame, ProcessUniqueName(L"WMCT test ").c_str(), WS_OVERLAPPEDWINDOW);
    RECT place = {0, 0, width, height};
    m_Control->Create(m_Frame, place, nullptr,
                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TVS_HASBUTTONS |
                          TVS_HASLINES | TVS_LINESATROOT,
                      0, static_cast<UINT>(kControlId));
    m_Control->SetRowFactories({{kRowKind, &NumberRow::Create}});
    m_Control->SetCellFactories({{0, &WMCT_CellString::Create},
                                 {1, &WMCT_CellString::Create},
                                 {2, &WMCT_CellString::Create},
                                 {4, &WMCT_CellString::Create}});
  }

  void AddColumns(int count = 4, int width = 100, bool sortable = true) {
    static const int ids[] = {0, 1, 2, 4};
    for (int i = 0; i < count; ++i) {
      m_Control->AddColumn(WMCT_HeaderItem::Create(L"Column " + std::to_wstring(i), 0, ids[i % 4],
                                                   width, 300, 40, i == 2, false, i, sortable, 6, 2,
                                                   0, 0));
    }
  }

  void TearDown() override {
    if (m_Frame.IsWindow()) {
      m_Frame.DestroyWindow();
    }
    m_Control.reset();
    ListControlsCapturingTest::TearDown();
  }

  HWND Tree() const { return m_Control->GetTreeCtrl(); }
  HTREEITEM Row(const wchar_t* label) { return m_Control->InsertRow(label, kRowKind).GetItem(); }
  HTREEITEM Child(HTREEITEM parent, const wchar_t* label) {
    return m_Control->InsertChildRow(label, m_Control->MakeItem(parent), kRowKind).GetItem();
  }
  HTREEITEM Next(HTREEITEM item, UINT code) const {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(Tree(), TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
  }
  std::wstring Label(HTREEITEM item) const { return m_Control->GetItemText(item); }
  // The labels of item and its following siblings.
  std::vector<std::wstring> Labels(HTREEITEM first) const {
    std::vector<std::wstring> labels;
    for (HTREEITEM item = first; item; item = Next(item, TVGN_NEXT)) {
      labels.push_back(Label(item));
    }
    return labels;
  }
  std::vector<std::wstring> TopLabels() const { return Labels(Next(nullptr, TVGN_ROOT)); }
  std::vector<std::wstring> SelectedLabels() const {
    std::vector<std::wstring> labels;
    for (const WMCT_TreeItem& item : m_Control->GetSelectedItems()) {
      labels.push_back(Label(item.GetItem()));
    }
    return labels;
  }
  bool IsSelected(HTREEITEM item) const { return m_Control->IsSelected(item); }
  RECT ItemRect(HTREEITEM item) const {
    RECT rect = {};
    WMCT_GetItemRect(Tree(), item, false, &rect);
    return rect;
  }
  // The tree's notification as the user's expansion or collapse sends it (TVM_EXPAND sends none).
  LRESULT NotifyTree(UINT code, HTREEITEM item, UINT action = 0) {
    NMTREEVIEWW notice = {};
    notice.hdr.hwndFrom = Tree();
    notice.hdr.idFrom = kControlId;
    notice.hdr.code = code;
    notice.action = action;
    notice.itemNew.hItem = item;
    notice.itemNew.mask = TVIF_HANDLE | TVIF_PARAM;
    notice.itemNew.lParam = reinterpret_cast<LPARAM>(m_Control->GetRow(item));
    return SendMessageW(*m_Control, WM_NOTIFY, kControlId, reinterpret_cast<LPARAM>(&notice));
  }
  LRESULT NotifyExpanding(HTREEITEM item, UINT action) {
    return NotifyTree(TVN_ITEMEXPANDINGW, item, action);
  }
  void SetKeys(bool shift, bool control) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys['I'] = 0;
    SetKeyboardState(keys);
  }
  void PressKeys(std::initializer_list<int> keys) {
    BYTE state[256] = {};
    for (int key : keys) {
      state[key] = 0x80;
    }
    SetKeyboardState(state);
  }

  TestFrame m_Frame;
  std::unique_ptr<WMCT_MultiColumnTreeCtrl> m_Control;
};
