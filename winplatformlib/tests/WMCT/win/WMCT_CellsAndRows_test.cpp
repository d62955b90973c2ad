#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "GLIB/GLIB_Exception.h"
#include "WMCT/WMCT_Cells.h"
#include "WMCT/WMCT_Resources.h"
#include "WMCT/WMCT_RowBase.h"
#include "support/WMCT_TestSupport.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

class CellTest : public ListControlsCapturingTest {};

std::unique_ptr<WMCT_CellString> TextCell(const wchar_t* text) {
  auto cell = std::make_unique<WMCT_CellString>();
  cell->SetText(text);
  return cell;
}

TEST_F(CellTest, TextColourFollowsTheState) {
  // System colours differ from white in the default scheme except the highlight text; draw on
  // black for that one.
  struct Case {
    std::uint32_t m_State;
    int m_SystemColour;
  };
  const Case cases[] = {{0, COLOR_WINDOWTEXT},    {1, COLOR_GRAYTEXT},   {2, COLOR_WINDOWTEXT},
                        {3, COLOR_HIGHLIGHTTEXT}, {4, COLOR_WINDOWTEXT}, {5, COLOR_WINDOWTEXT}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.m_State);
    const COLORREF expected = GetSysColor(c.m_SystemColour);
    const COLORREF background = expected == RGB(0, 0, 0) ? kWhite : RGB(0, 0, 0);
    DibCanvas canvas(120, 20);
    canvas.Fill(background);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    auto cell = TextCell(L"HHHH");
    cell->SetState(c.m_State);
    cell->Draw(canvas.Dc(), RECT{0, 0, 120, 20});
    EXPECT_TRUE(canvas.HasPixel(expected));
  }
}

TEST_F(CellTest, StateAboveFiveIsFatalBeforeDrawing) {
  DibCanvas canvas(60, 20);
  auto cell = TextCell(L"HH");
  cell->SetState(6);
  EXPECT_THROW(cell->Draw(canvas.Dc(), RECT{0, 0, 60, 20}), GLIB_FatalException);
  EXPECT_FALSE(canvas.AnyPixelOtherThan(kWhite, RECT{0, 0, 60, 20}));
  ASSERT_EQ(sm_Logged.size(), 1u);
  EXPECT_EQ(sm_Logged[0].m_Text, L"Unsupported cell state code = 6");
}

TEST_F(CellTest, ACellThatIsHiddenOrDisabledDrawsNothingInEveryClass) {
  std::vector<std::unique_ptr<WMCT_CellBase>> cells;
  cells.push_back(TextCell(L"HH"));
  auto icon = std::make_unique<WMCT_CellIconAndString>();
  icon->SetText(L"HH");
  icon->SetIcon(IDI_WMCT_CHECKBOX_ON);
  cells.push_back(std::move(icon));
  cells.push_back(std::make_unique<WMCT_CellDateTime>());
  for (auto& cell : cells) {
    for (int hidden = 0; hidden < 2; ++hidden) {
      DibCanvas canvas(200, 20);
      cell->SetVisible();
      cell->SetEnabled();
      if (hidden) {
        cell->ClearVisible();
      } else {
        cell->ClearEnabled();
      }
      EXPECT_FALSE(cell->IsDrawable());
      cell->Draw(canvas.Dc(), RECT{0, 0, 200, 20});
      EXPECT_FALSE(canvas.AnyPixelOtherThan(kWhite, RECT{0, 0, 200, 20}));
    }
    cell->SetEnabled();
    cell->SetVisible();
    DibCanvas canvas(200, 20);
    cell->Draw(canvas.Dc(), RECT{0, 0, 200, 20});
    EXPECT_TRUE(canvas.AnyPixelOtherThan(kWhite, RECT{0, 0, 200, 20}));
  }
}

TEST_F(CellTest, CopiesKeepStateFlagsAndContent) {
  WMCT_CellString cell;
  cell.SetText(L"text");
  cell.SetFormat(DT_LEFT);
  cell.SetState(4);
  cell.ClearVisible();
  const std::unique_ptr<WMCT_CellBase> copy = cell.Clone();
  const auto& text = dynamic_cast<const WMCT_CellString&>(*copy);
  EXPECT_EQ(text.GetText(), L"text");
  EXPECT_EQ(text.GetFormat(), static_cast<UINT>(DT_LEFT));
  EXPECT_EQ(text.GetState(), 4u);
  EXPECT_FALSE(text.IsVisible());
  EXPECT_TRUE(text.IsEnabled());
  EXPECT_EQ(WMCT_CellString().GetFormat(), static_cast<UINT>(DT_END_ELLIPSIS | DT_NOPREFIX));
}

// Shared icons from the resources are never destroyed; an icon given by handle is the cell's own
// and a copy of the cell holds a copy of it.
TEST_F(CellTest, IconOwnership) {
  WMCT_CellIconAndString cell;
  cell.SetIcon(IDI_WMCT_CHECKBOX_ON);
  const HICON shared = cell.GetIcon();
  ASSERT_NE(shared, nullptr);
  EXPECT_FALSE(cell.OwnsIcon());
  {
    const std::unique_ptr<WMCT_CellBase> copy = cell.Clone();
    EXPECT_EQ(dynamic_cast<WMCT_CellIconAndString&>(*copy).GetIcon(), shared);
  }
  cell.SetIcon(IDI_WMCT_CHECKBOX_OFF);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(shared, &info)) << "a shared icon survives its cells";
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);

  const HICON own = CopyIcon(shared);
  cell.SetIconHandle(own);
  EXPECT_TRUE(cell.OwnsIcon());
  HICON copied = nullptr;
  {
    const std::unique_ptr<WMCT_CellBase> copy = cell.Clone();
    auto& iconCopy = dynamic_cast<WMCT_CellIconAndString&>(*copy);
    copied = iconCopy.GetIcon();
    EXPECT_NE(copied, own);
    EXPECT_TRUE(iconCopy.OwnsIcon());
  }
  EXPECT_FALSE(DestroyIcon(copied)) << "the copy destroyed its own icon";
  cell.SetIcon(0xFFFF);
  EXPECT_EQ(cell.GetIcon(), nullptr);
  EXPECT_FALSE(DestroyIcon(own)) << "the cell destroyed the icon it owned when it was replaced";
}

TEST_F(CellTest, IconCellPlacesItsTextAfterTheIcon) {
  DibCanvas canvas(200, 20);
  SetBkMode(canvas.Dc(), TRANSPARENT);
  WMCT_CellIconAndString cell;
  cell.SetText(L"H");
  cell.Draw(canvas.Dc(), RECT{10, 0, 200, 20});
  const int plain = canvas.FirstInkColumn(kWhite);
  EXPECT_GE(plain, 10);
  EXPECT_LT(plain, 13);

  canvas.Fill(kWhite);
  cell.SetIcon(IDI_WMCT_CHECKBOX_OFF);
  cell.Draw(canvas.Dc(), RECT{10, 0, 200, 20});
  // Ink right of the icon starts where the text was, moved by the icon width and 4.
  DibCanvas textOnly(200, 20);
  SetBkMode(textOnly.Dc(), TRANSPARENT);
  WMCT_CellString text;
  text.SetText(L"H");
  text.Draw(textOnly.Dc(), RECT{10 + WMCT_SmallIconWidth() + 4, 0, 200, 20});
  for (int x = 10 + WMCT_SmallIconWidth(); x < 200; ++x) {
    for (int y = 0; y < 20; ++y) {
      ASSERT_EQ(canvas.Pixel(x, y), textOnly.Pixel(x, y)) << x << "," << y;
    }
  }
}

TEST_F(CellTest, ExtentOfIconCellAddsTheIconHeightAlways) {
  DibCanvas canvas(10, 10);
  WMCT_CellString text;
  text.SetText(L"Text");
  const SIZE textSize = text.GetExtent(canvas.Dc());
  EXPECT_GT(textSize.cx, 0);
  WMCT_CellIconAndString cell;
  cell.SetText(L"Text");
  SIZE size = cell.GetExtent(canvas.Dc());
  EXPECT_EQ(size.cx, textSize.cx);
  EXPECT_EQ(size.cy, textSize.cy + WMCT_SmallIconHeight());
  cell.SetIcon(IDI_WMCT_CHECKBOX_OFF);
  size = cell.GetExtent(canvas.Dc());
  EXPECT_EQ(size.cx, textSize.cx + WMCT_SmallIconWidth() + 4);
  EXPECT_EQ(size.cy, textSize.cy + WMCT_SmallIconHeight());
  EXPECT_EQ(WMCT_CellDateTime().GetExtent(canvas.Dc()).cx, 0);
}

LONG Width(HDC dc, const std::wstring& text) {
  RECT bounds = {0, 0, 1000, 20};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
            DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
  return bounds.right - bounds.left;
}

TEST_F(CellTest, DateTimeTextByCellWidth) {
  DibCanvas canvas(10, 10);
  WMCT_CellDateTime cell;
  EXPECT_EQ(cell.ChooseText(canvas.Dc(), RECT{0, 0, 500, 20}).m_Text, L"----");
  SYSTEMTIME value = {};
  value.wYear = 2024;
  value.wMonth = 2;
  value.wDay = 29;
  value.wHour = 13;
  value.wMinute = 5;
  value.wSecond = 9;
  cell.SetDateTime(value);

  wchar_t date[128] = {};
  wchar_t time[128] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &value, nullptr, date, 128);
  GetTimeFormatW(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, &value, nullptr, time, 128);
  const std::wstring longText = std::wstring(date) + L"  " + time;
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &value, nullptr, date, 128);
  const std::wstring shortText = std::wstring(date) + L"  " + time;
  const LONG longWidth = Width(canvas.Dc(), longText);
  const LONG shortWidth = Width(canvas.Dc(), shortText);
  ASSERT_GT(longWidth - 10, shortWidth * 12 / 10) << "the locale's long form is long enough";

  struct Case {
    LONG m_Width;
    std::wstring m_Text;
    UINT m_Format;
  };
  const UINT plain = DT_SINGLELINE | DT_VCENTER;
  const UINT cut = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
  const Case cases[] = {{longWidth + 1, longText, plain},
                        {longWidth, longText, cut},
                        {longWidth - 10, longText, cut},
                        {shortWidth * 12 / 10 + 1, longText, cut},
                        {shortWidth * 12 / 10, shortText, plain},
                        {shortWidth + 1, shortText, plain},
                        {shortWidth, shortText, cut},
                        {5, shortText, cut}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.m_Width);
    const auto choice = cell.ChooseText(canvas.Dc(), RECT{0, 0, c.m_Width, 20});
    EXPECT_EQ(choice.m_Text, c.m_Text);
    EXPECT_EQ(choice.m_Format, c.m_Format);
  }

  FILETIME fileTime = {};
  SystemTimeToFileTime(&value, &fileTime);
  WMCT_CellDateTime fromFileTime;
  fromFileTime.SetDateTime(fileTime);
  EXPECT_EQ(fromFileTime.GetDateTime().wDay, 29);
  EXPECT_EQ(fromFileTime.GetDateTime().wMinute, 5);
}

// Rows.

class RowTest : public TreeControlTest {};

// A cell that cannot be copied.
class UncopyableCell : public WMCT_CellString {
public:
  std::unique_ptr<WMCT_CellBase> Clone() const override { return nullptr; }
  static std::unique_ptr<WMCT_CellBase> Create() { return std::make_unique<UncopyableCell>(); }
};

// Counts draws and the states it was given.
class CountingCell : public WMCT_CellString {
public:
  std::unique_ptr<WMCT_CellBase> Clone() const override {
    return std::make_unique<CountingCell>(*this);
  }
  void Draw(HDC, const RECT&) override { ++sm_Draws; }
  static std::unique_ptr<WMCT_CellBase> Create() { return std::make_unique<CountingCell>(); }
  static inline int sm_Draws = 0;
};

TEST_F(RowTest, CellsAreKeyedByColumnIdWhateverTheirPositions) {
  MakeControl();
  AddColumns();
  const HTREEITEM item = Row(L"1");
  WMCT_RowBase* row = m_Control->GetRow(item);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->GetCellCount(), 4u);
  for (int id : {0, 1, 2, 4}) {
    EXPECT_NE(row->Cell(id), nullptr) << id;
  }
  EXPECT_EQ(row->Cell(3), nullptr);
  EXPECT_EQ(row->GetLabel(), L"1");
  EXPECT_EQ(row->GetOwner(), m_Control.get());
  EXPECT_EQ(row->GetTreeItem(), m_Control->MakeItem(item));
  // A column added later gives existing rows no cell.
  m_Control->AddColumn(
      WMCT_HeaderItem::Create(L"Late", 0, 9, 50, 300, 40, false, false, 4, true, 0, 0, 0, 0));
  EXPECT_EQ(row->GetCellCount(), 4u);
}

TEST_F(RowTest, CellCreationFailures) {
  MakeControl();
  AddColumns(2);
  m_Control->SetCellFactories({{0, &WMCT_CellString::Create}, {1, &UncopyableCell::Create}});
  try {
    Row(L"1");
    FAIL() << "no exception";
  } catch (const GLIB_Exception& e) {
    EXPECT_EQ(e.code(), kWMCT_CellCreationFailed);
    EXPECT_EQ(std::wstring(e.message()),
              L"An Error occured during the creation of cells for a row in the              "
              L"Windows multi-column tree control - unsuccessful Clone()");
  }
  EXPECT_EQ(Next(nullptr, TVGN_ROOT), nullptr) << "the half-made row's item went";

  NumberRow row;
  row.CellAdd(3, WMCT_CellString());
  try {
    row.CellAdd(3, WMCT_CellString());
    FAIL() << "no exception";
  } catch (const GLIB_Exception& e) {
    EXPECT_EQ(e.code(), kWMCT_CellCreationFailed);
    EXPECT_EQ(std::wstring(e.message()),
              L"An Error occured during the creation of cells for a row in the             "
              L"Windows multi-column tree control - unsuccessful insert()");
  }
  EXPECT_EQ(row.GetCellCount(), 1u);
}

TEST_F(RowTest, DrawCellOnlyForHeightsFromZeroToThousand) {
  NumberRow row;
  row.CellAdd(0, CountingCell());
  struct Case {
    LONG m_Top;
    LONG m_Bottom;
    int m_Draws;
  };
  const Case cases[] = {{10, 9, 0}, {10, 10, 1}, {0, 1000, 1}, {0, 1001, 0}, {5, 25, 1}};
  DibCanvas canvas(10, 10);
  for (const Case& c : cases) {
    CountingCell::sm_Draws = 0;
    row.DrawCell(0, canvas.Dc(), RECT{0, c.m_Top, 10, c.m_Bottom});
    EXPECT_EQ(CountingCell::sm_Draws, c.m_Draws) << c.m_Top << ".." << c.m_Bottom;
  }
  CountingCell::sm_Draws = 0;
  row.DrawCell(5, canvas.Dc(), RECT{0, 0, 10, 10});
  EXPECT_EQ(CountingCell::sm_Draws, 0) << "a column without a cell";
}

TEST_F(RowTest, RowStatesReachEveryCell) {
  NumberRow empty;
  EXPECT_EQ(empty.SetRowState(9), 0u) << "a row without cells takes any state";
  NumberRow row;
  row.CellAdd(0, WMCT_CellString());
  row.CellAdd(4, WMCT_CellString());
  EXPECT_EQ(row.SetRowState(2), 0u);
  EXPECT_EQ(row.Cell(0)->GetState(), 2u);
  EXPECT_EQ(row.Cell(4)->GetState(), 2u);
  EXPECT_THROW(row.SetRowState(6), GLIB_FatalException);
  EXPECT_EQ(row.GetRowState(), 6u);
  ASSERT_FALSE(sm_Logged.empty());
  EXPECT_EQ(sm_Logged[0].m_Text, L"Unsupported ROWSTATE code = 6");
  EXPECT_EQ(WMCT_RowBase().Compare(row, 0), 0);
}

TEST_F(RowTest, DeleteChildrenBroadcastsPerChild) {
  for (int selectOne = 0; selectOne < 2; ++selectOne) {
    SCOPED_TRACE(selectOne);
    MakeControl();
    AddColumns();
    const HTREEITEM parent = Row(L"1");
    const HTREEITEM first = Child(parent, L"2");
    Child(parent, L"3");
    Child(parent, L"4");
    SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    if (selectOne) {
      m_Control->UpdateSelection(first, 0);
    }
    MessageRecorder recorder(*m_Control);
    m_Control->GetRow(parent)->DeleteChildren();
    EXPECT_EQ(recorder.Count("TreeView items have been deleted"), 3u);
    EXPECT_EQ(recorder.Count("TreeView selection changed"), selectOne ? 1u : 0u);
    EXPECT_EQ(Next(parent, TVGN_CHILD), nullptr);
    TearDown();
    SetUp();
  }
}

TEST_F(RowTest, ExpansionHidesTheMarkedColumnsAndCollapseShowsThem) {
  MakeControl();
  AddColumns();
  const HTREEITEM parent = Row(L"1");
  Child(parent, L"2");
  WMCT_RowBase* row = m_Control->GetRow(parent);
  SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
  EXPECT_TRUE(row->IsExpanded());
  NotifyExpanding(parent, TVE_EXPAND);
  EXPECT_FALSE(row->Cell(2)->IsVisible()) << "column 2 hides when expanded";
  EXPECT_TRUE(row->Cell(1)->IsVisible());
  NotifyExpanding(parent, TVE_COLLAPSE);
  EXPECT_TRUE(row->Cell(2)->IsVisible());
}

TEST_F(RowTest, PlaceholderChildHasNoRow) {
  MakeControl();
  AddColumns();
  const HTREEITEM parent = Row(L"1");
  m_Control->GetRow(parent)->InsertPlaceholderChild();
  const HTREEITEM child = Next(parent, TVGN_CHILD);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(m_Control->GetRow(child), nullptr);
  EXPECT_EQ(Label(child), L"WMCT_RowBase: Placeholder label");
}

}  // namespace
