// The data browser and its rows: life of the rows, queries, drags and the drop indicator, custom
// drawing and the selection highlight.
#include "PPXA/PPXA_DataBrowser.h"
#include "PPXA/PPXA_Window.h"

#include "support/PPXA_Fixture.h"

#include "GLIB/GLIB_LogMessage.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr DataBrowserPropertyID kName = 0x6e616d65;  // 'name'
constexpr DataBrowserPropertyID kDraw = 0x64726177;  // 'draw'
constexpr FlavorType kFlavor = 0x74657374;           // 'test'
constexpr UInt32 kWhite = 0xFFFFFFFF;
constexpr UInt32 kFocusBlue = 0xFF7DA7D9;    // brush -5
constexpr UInt32 kPrimaryBlue = 0xFFB5D5FF;  // brush -3

// The browser 260 wide, rows 20 high: the name column 0-100, the custom column 100-250.
std::string BrowserNib() {
  return "window \"List\"\n  class document\n  attributes compositing\n  bounds 100 50 300 400\n"
         "  view browser\n    id 'brow' 1\n    frame 0 0 260 100\n"
         "    column 'name' \"Name\" text 100\n    column 'draw' \"Drawn\" custom 150\n  end\n"
         "end\n"
         "window \"Plain\"\n  class document\n  bounds 100 50 300 400\n"
         "  view browser\n    id 'brow' 2\n    frame 0 0 260 100\n  end\nend\n";
}

// What the rows lived through, in order: "<key> <event>".
struct Log {
  std::vector<std::string> events;
  std::vector<int> deleted;
  DragItemRef refuse = 0;                  // the drag item rows refuse
  OSStatus cgAnswer = eventNotHandledErr;  // what the CoreGraphics custom draw answers
  bool hilite = false;                     // custom draw paints the highlight
  bool text = false;                       // custom draw paints the highlight and its text
  bool throws = false;
  std::vector<DragItemRef> asked;

  long Count(std::string const& event) const {
    return std::count(events.begin(), events.end(), event);
  }
};

class Row : public PPXA::DataBrowserItem {
public:
  Row(Log& log, int key, bool container = false) : m_Log(log), m_Key(key), m_Container(container) {}
  ~Row() override { m_Log.deleted.push_back(m_Key); }

  OSStatus GetSetData(DataBrowserPropertyID property, DataBrowserItemDataRef data,
                      Boolean) override {
    Throw();
    if (property == kDataBrowserItemIsContainerProperty)
      return SetDataBrowserItemDataBooleanValue(data, m_Container);
    if (property != kName)
      return errDataBrowserPropertyNotSupported;
    const std::string text = "row " + std::to_string(m_Key);
    CFStringRef string = CFStringCreateWithCString(nullptr, text.c_str(), kCFStringEncodingUTF8);
    SetDataBrowserItemDataText(data, string);
    CFRelease(string);
    return noErr;
  }
  bool CompareToItem(DataBrowserItem const* other, DataBrowserPropertyID) const override {
    return m_Key < static_cast<Row const*>(other)->m_Key;
  }
  void HandleNotification(DataBrowserItemNotification message,
                          DataBrowserItemDataRef data) override {
    Record(std::to_string(message));
    DataBrowserItem::HandleNotification(message, data);
  }
  bool ItemIsAcceptable(DragRef, DragItemRef itemRef) override {
    m_Log.asked.push_back(itemRef);
    return itemRef != m_Log.refuse;
  }
  bool ReceiveDragItem(DragRef, DragItemRef) override { return true; }
  void CustomDrawItem(DataBrowserPropertyID, DataBrowserItemState, Rect const* rect, SInt16 depth,
                      Boolean colorDevice) override {
    Record("qd");
    if (m_Log.hilite)
      DrawHilite(rect, depth, colorDevice);
  }
  OSStatus CustomDrawItem(DataBrowserPropertyID, DataBrowserItemState state, CGRect const& rect,
                          CGContextRef context) override {
    Record("cg");
    Throw();
    if (m_Log.hilite && m_Log.cgAnswer == noErr)
      DrawHilite(rect, context);
    if (m_Log.text)
      DrawHiliteAndText(state, rect, context, CFSTR("row text"), 0);
    return m_Log.cgAnswer;
  }
  bool CustomEditItem(DataBrowserPropertyID, CFStringRef, Rect*, Boolean*) override {
    Throw();
    return true;
  }
  bool CustomHitTest(DataBrowserPropertyID, Rect const*, Rect const*) override {
    Throw();
    return true;
  }
  DataBrowserTrackingResult CustomTrack(DataBrowserPropertyID, Rect const*, Point,
                                        EventModifiers) override {
    Throw();
    return kDataBrowserNothingHit;
  }
  void CustomDragRgn(DataBrowserPropertyID, Rect const*, RgnHandle) override { Throw(); }
  void SetKey(int key) { m_Key = key; }

private:
  void Record(std::string const& event) {
    m_Log.events.push_back(std::to_string(m_Key) + " " + event);
  }
  void Throw() const {
    if (m_Log.throws)
      throw std::runtime_error("row failed");
  }

  Log& m_Log;
  int m_Key;
  bool m_Container;
};

class TestBrowser : public PPXA::DataBrowser {
public:
  using PPXA::DataBrowser::GetSetItemData;
};

class PPXA_DataBrowserTest : public PPXA_FixtureTest {
protected:
  void SetUp() override {
    PPXA_FixtureTest::SetUp();
    m_Bundle->AddResource("Browser.nib", BrowserNib());
    m_Window = std::make_unique<PPXA::Window>();
    ASSERT_EQ(noErr, m_Window->Initialize(CFSTR("Browser"), CFSTR("List")));
    m_Control = m_Window->FindViewByID(ControlID{0x62726f77, 1});
    m_Browser = std::make_unique<TestBrowser>();
    m_Browser->Attach(m_Control);
    SetDataBrowserTableViewRowHeight(m_Control, 20);
  }
  void TearDown() override {
    m_Browser.reset();
    m_Window.reset();
    PPXA_FixtureTest::TearDown();
  }

  // Rows 1..count under the root, in order.
  std::vector<Row*> InsertRows(int count) {
    std::vector<Row*> rows;
    for (int key = 1; key <= count; ++key) {
      rows.push_back(new Row(m_Log, key));
      EXPECT_EQ(noErr, m_Browser->InsertItem(rows.back(), nullptr));
    }
    return rows;
  }
  // The window pixel at a point of the browser's own coordinates.
  UInt32 Pixel(CGFloat x, CGFloat y) const {
    HIPoint point = CGPointMake(x, y);
    HIViewConvertPoint(&point, m_Control, nullptr);
    return StandIn_WindowPixel(m_Window->GetSysWindow(), int(point.x), int(point.y));
  }
  DragRef NewDragOf(int items) const {
    DragRef drag = nullptr;
    NewDrag(&drag);
    for (int i = 1; i <= items; ++i)
      AddDragItemFlavor(drag, DragItemRef(i), kFlavor, "x", 1, 0);
    return drag;
  }

  Log m_Log;
  std::unique_ptr<PPXA::Window> m_Window;
  ControlRef m_Control = nullptr;
  std::unique_ptr<TestBrowser> m_Browser;
};

// --- browser life

TEST_F(PPXA_DataBrowserTest, EveryRemovalDeletesEachRowOnceAndNothingReachesItAfterwards) {
  std::vector<Row*> rows = InsertRows(6);
  EXPECT_EQ(1, m_Log.Count("1 1"));  // added, with its browser set
  EXPECT_EQ(m_Browser.get(), rows[0]->GetBrowser());

  EXPECT_EQ(noErr, m_Browser->RemoveItem(rows[0]));
  EXPECT_EQ(noErr, m_Browser->RemoveItems(nullptr, {rows[1], rows[2]}, 0));
  EXPECT_EQ((std::vector<int>{1, 2, 3}), m_Log.deleted);
  m_Browser->RemoveAllRows();
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), m_Log.deleted);
  EXPECT_EQ(0u, m_Browser->GetItemCount(kDataBrowserItemAnyState, nullptr, true));

  // Rows left when the browser goes are deleted by it, once.
  InsertRows(2);
  m_Browser.reset();
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 1, 2}), m_Log.deleted);

  // Afterwards the control's callbacks reach no row: data requests and its own tear-down.
  Row stray(m_Log, 9);
  const DataBrowserItemID id = stray.GetID();
  ASSERT_EQ(noErr, AddDataBrowserItems(m_Control, 0, 1, &id, 0));
  StandIn_DataBrowserAskShownCells(m_Control);
  EXPECT_EQ(errDataBrowserPropertyNotSupported,
            StandIn_DataBrowserCellStatus(m_Control, id, kName));
  m_Window.reset();
  for (std::string const& event : m_Log.events)
    EXPECT_NE('9', event[0]) << event;
}

TEST_F(PPXA_DataBrowserTest, ADoubleClickReachesEverySelectedRow) {
  std::vector<Row*> rows = InsertRows(4);
  StandIn_DataBrowserClick(m_Control, {10, 5}, 0, 1);
  StandIn_DataBrowserClick(m_Control, {10, 45}, cmdKey, 1);
  StandIn_DataBrowserClick(m_Control, {10, 65}, cmdKey, 1);
  EXPECT_EQ(rows[0], m_Browser->GetCurrentSelection());
  StandIn_DataBrowserClick(m_Control, {10, 45}, 0, 2);
  EXPECT_EQ(1, m_Log.Count("1 7"));
  EXPECT_EQ(0, m_Log.Count("2 7"));
  EXPECT_EQ(1, m_Log.Count("3 7"));
  EXPECT_EQ(1, m_Log.Count("4 7"));
}

TEST_F(PPXA_DataBrowserTest, TheLastBrowserDisposesTheProceduresAndTheNextMakesThemAgain) {
  const long outside = StandIn_DataBrowserUPPLiveCount() - 15;
  EXPECT_EQ(1, PPXA::DataBrowser::GetInstanceCount());
  {
    PPXA::DataBrowser second;
    EXPECT_EQ(outside + 15, StandIn_DataBrowserUPPLiveCount());
  }
  EXPECT_EQ(outside + 15, StandIn_DataBrowserUPPLiveCount());
  m_Browser.reset();
  EXPECT_EQ(outside, StandIn_DataBrowserUPPLiveCount());
  EXPECT_EQ(0, PPXA::DataBrowser::GetInstanceCount());
  m_Browser = std::make_unique<TestBrowser>();
  m_Browser->Attach(m_Control);
  EXPECT_EQ(outside + 15, StandIn_DataBrowserUPPLiveCount());
  InsertRows(1);
  StandIn_DataBrowserAskShownCells(m_Control);
  EXPECT_EQ("row 1",
            StandIn_DataBrowserCellText(m_Control, m_Browser->FindItemForRow(1)->GetID(), kName));
}

// --- queries and drags

TEST_F(PPXA_DataBrowserTest, QueriesAnswerRowsCountsAndTheirErrors) {
  std::vector<Row*> rows = InsertRows(3);
  auto* folder = new Row(m_Log, 0, true);
  m_Browser->InsertItem(folder, nullptr);
  OpenDataBrowserContainer(m_Control, folder->GetID());
  m_Browser->InsertItems({new Row(m_Log, 7), new Row(m_Log, 8)}, folder);

  const long blocks = StandIn_MemoryLiveBlockCount();
  EXPECT_EQ(errDataBrowserInvalidPropertyData,
            m_Browser->GetItems(nullptr, kDataBrowserItemAnyState, nullptr, true));
  std::vector<PPXA::DataBrowserItem*> found{nullptr};
  EXPECT_EQ(noErr, m_Browser->GetItems(&found, kDataBrowserItemAnyState, folder, false));
  EXPECT_EQ(3u, found.size());  // appended
  StandIn_FilesFailNext("GetDataBrowserItems", errDataBrowserNotConfigured);
  EXPECT_EQ(errDataBrowserNotConfigured,
            m_Browser->GetItems(&found, kDataBrowserItemAnyState, nullptr, true));
  EXPECT_EQ(blocks, StandIn_MemoryLiveBlockCount());

  EXPECT_EQ(6u, m_Browser->GetItemCount(kDataBrowserItemAnyState, nullptr, true));
  EXPECT_EQ(4u, m_Browser->GetItemCount(kDataBrowserItemAnyState, nullptr, false));
  EXPECT_EQ(rows[0], m_Browser->FindItemForRow(1));
  EXPECT_EQ(nullptr, m_Browser->FindItemForRow(0));
  EXPECT_EQ(nullptr, m_Browser->FindItemForRow(7));
  EXPECT_EQ(2u, m_Browser->GetColumnCount());
  m_Browser->SelectItem(rows[1]);
  EXPECT_EQ(rows[1], m_Browser->GetCurrentSelection());
  StandIn_FilesFailNext("GetDataBrowserSelectionAnchor", paramErr);
  EXPECT_THROW(m_Browser->GetCurrentSelection(), PPx::OSError);

  // A row's own bounds: hidden rows are not visible, other errors throw.
  Rect bounds;
  bool visible = true;
  rows[2]->GetItemPartBounds(kName, kDataBrowserPropertyEnclosingPart, &bounds, &visible);
  EXPECT_TRUE(visible);
  EXPECT_EQ(40, bounds.top);
  CloseDataBrowserContainer(m_Control, folder->GetID());
  auto* hidden = new Row(m_Log, 5);
  m_Browser->InsertItem(hidden, nullptr);
  m_Browser->SetSortProperty(kName);  // the hidden row sorts last, below the view
  SetDataBrowserTableViewRowHeight(m_Control, 40);
  hidden->GetItemPartBounds(kName, kDataBrowserPropertyEnclosingPart, &bounds, &visible);
  EXPECT_FALSE(visible);
  EXPECT_THROW(hidden->GetItemPartBounds(0x6e6f6e65, 0, &bounds, &visible), PPx::OSError);
}

TEST_F(PPXA_DataBrowserTest, UpdatingARowResortsItsSiblings) {
  std::vector<Row*> rows = InsertRows(3);
  m_Browser->SetSortProperty(kName);
  m_Browser->SetSortOrder(kDataBrowserOrderDecreasing);
  EXPECT_EQ(rows[2], m_Browser->FindItemForRow(1));
  const long updates = StandIn_DataBrowserUpdateCount(m_Control);
  rows[0]->SetKey(10);
  EXPECT_EQ(rows[2], m_Browser->FindItemForRow(1));  // not yet told
  rows[0]->UpdateItem(kName);
  EXPECT_EQ(rows[0], m_Browser->FindItemForRow(1));
  EXPECT_EQ(updates + 1, StandIn_DataBrowserUpdateCount(m_Control));
  StandIn_FilesFailNext("SortDataBrowserContainer", paramErr);
  EXPECT_THROW(rows[0]->UpdateItem(kName), PPx::OSError);
}

TEST_F(PPXA_DataBrowserTest, OnlyAnAcceptedDragHasADropTargetAndItsIndicator) {
  std::vector<Row*> rows = InsertRows(4);
  // The second of three drag items is refused: asking stops there, no target, no line.
  m_Log.refuse = 2;
  DragRef drag = NewDragOf(3);
  EXPECT_FALSE(StandIn_DataBrowserDragOver(m_Control, drag, {50, 30}));
  EXPECT_EQ((std::vector<DragItemRef>{1, 2}), m_Log.asked);
  EXPECT_EQ(nullptr, m_Browser->GetDropTarget());
  StandIn_WindowRender(m_Window->GetSysWindow());
  EXPECT_EQ(kWhite, Pixel(150, 20));
  // The empty area is refused by the base browser.
  m_Log.refuse = 0;
  EXPECT_FALSE(StandIn_DataBrowserDragOver(m_Control, drag, {50, 90}));
  EXPECT_EQ(nullptr, m_Browser->GetDropTarget());

  struct Case {
    CGFloat y;
    bool above;
    CGFloat line;
  };
  // Row 2 spans 20 to 40: its middle (30) counts as the upper half.
  const Case cases[] = {{30, true, 20}, {35, false, 41}, {20, true, 20}};
  for (Case const& c : cases) {
    EXPECT_TRUE(StandIn_DataBrowserDragOver(m_Control, drag, {50, c.y}));
    EXPECT_EQ(rows[1], m_Browser->GetDropTarget());
    StandIn_WindowRender(m_Window->GetSysWindow());
    EXPECT_EQ(c.above, m_Browser->IsDropAbove()) << c.y;
    EXPECT_EQ(kFocusBlue, Pixel(150, c.line)) << c.y;
    EXPECT_EQ(kWhite, Pixel(150, c.above ? 41 : 20)) << c.y;
    EXPECT_EQ(kWhite, Pixel(150, 0)) << c.y;  // measured from the row, not the view's origin
  }

  // The target row removed mid-drag: no target left.
  m_Browser->RemoveItem(rows[1]);
  EXPECT_EQ(nullptr, m_Browser->GetDropTarget());
  StandIn_WindowRender(m_Window->GetSysWindow());
  // A drag refused after an accepted one clears the target.
  EXPECT_TRUE(StandIn_DataBrowserDragOver(m_Control, drag, {50, 30}));
  m_Log.refuse = 1;
  EXPECT_FALSE(StandIn_DataBrowserDragOver(m_Control, drag, {50, 30}));
  EXPECT_EQ(nullptr, m_Browser->GetDropTarget());
  // Post-processing clears the target and redraws.
  m_Log.refuse = 0;
  EXPECT_TRUE(StandIn_DataBrowserDragOver(m_Control, drag, {50, 30}));
  const long updates = StandIn_DataBrowserUpdateCount(m_Control);
  EXPECT_TRUE(StandIn_DataBrowserEndDrag(m_Control, drag, {50, 30}, true));
  EXPECT_EQ(nullptr, m_Browser->GetDropTarget());
  EXPECT_LT(updates, StandIn_DataBrowserUpdateCount(m_Control));
  DisposeDrag(drag);
}

TEST_F(PPXA_DataBrowserTest, RefreshRedrawsTheViewOrAsksTheWindowToDrawItsContent) {
  StandIn_EventLogRecord(true);
  // Compositing: the view is marked and its rows updated, when it has any.
  const long requests = StandIn_HIViewDisplayRequests(m_Control);
  const long updates = StandIn_DataBrowserUpdateCount(m_Control);
  m_Browser->Refresh();
  EXPECT_EQ(requests + 1, StandIn_HIViewDisplayRequests(m_Control));
  EXPECT_EQ(updates, StandIn_DataBrowserUpdateCount(m_Control));
  InsertRows(1);
  m_Browser->Refresh();
  EXPECT_EQ(updates + 1, StandIn_DataBrowserUpdateCount(m_Control));
  EXPECT_EQ(0, StandIn_EventLogCountOf(kEventClassWindow, kEventWindowDrawContent));

  // Not compositing: a draw-content event is posted to the window.
  PPXA::Window plain;
  ASSERT_EQ(noErr, plain.Initialize(CFSTR("Browser"), CFSTR("Plain")));
  PPXA::DataBrowser browser;
  browser.Attach(plain.FindViewByID(ControlID{0x62726f77, 2}));
  const long queued = StandIn_QueuedEventCount();
  browser.Refresh();
  EXPECT_EQ(queued + 1, StandIn_QueuedEventCount());
  EXPECT_EQ(1, StandIn_EventLogCountOf(kEventClassWindow, kEventWindowDrawContent));
  StandIn_RunUntilIdle();
  StandIn_EventLogRecord(false);
}

TEST_F(PPXA_DataBrowserTest, ItemBoundsStartFromTheFirstColumnAndKeepInsideTheContent) {
  std::vector<Row*> rows = InsertRows(3);
  Rect bounds;
  m_Browser->GetItemBounds(rows[2], &bounds);
  const Rect expected{40, 0, 60, 250};
  EXPECT_TRUE(EqualRect(&expected, &bounds));
  Rect insets{0, 5, 0, 15};
  SetDataBrowserScrollBarInset(m_Control, &insets);
  m_Browser->GetItemBounds(rows[2], &bounds);
  const Rect clipped{40, 5, 60, 242};  // 260 - 15 - 3
  EXPECT_TRUE(EqualRect(&clipped, &bounds));
}

// --- drawing

TEST_F(PPXA_DataBrowserTest, CustomCellsDrawOnceAndThrowingRowsGiveNeutralAnswers) {
  InsertRows(1);
  m_Log.cgAnswer = noErr;
  StandIn_WindowRender(m_Window->GetSysWindow());
  EXPECT_EQ((std::vector<std::string>{"1 1", "1 cg"}), m_Log.events);
  m_Log.cgAnswer = eventNotHandledErr;
  m_Log.events.clear();
  HIViewSetNeedsDisplay(m_Control, true);  // the rows draw otherwise now
  StandIn_WindowRender(m_Window->GetSysWindow());
  EXPECT_EQ((std::vector<std::string>{"1 cg", "1 qd"}), m_Log.events);
  m_Log.events.clear();
  StandIn_DataBrowserAskShownCells(m_Control);  // outside a draw: QuickDraw only
  EXPECT_EQ((std::vector<std::string>{"1 qd"}), m_Log.events);

  // A row that throws: no drawing, no edit, no hit, the click goes to the content, and each
  // exception stopped at the browser's boundary is logged.
  static std::vector<std::wstring> logged;
  logged.clear();
  GLIB_LogHandlerPtr const previous = GLIB_LogMessage::SetHandler(
      +[](GLIB_SEVERITY, const wchar_t* message, const char*, int) { logged.push_back(message); });
  m_Log.throws = true;
  m_Log.events.clear();
  const long exceptions = StandIn_DataBrowserCallbackExceptionCount();
  HIViewSetNeedsDisplay(m_Control, true);
  StandIn_WindowRender(m_Window->GetSysWindow());
  EXPECT_EQ((std::vector<std::string>{"1 cg"}), m_Log.events);
  EXPECT_FALSE(StandIn_DataBrowserEditCell(m_Control, m_Browser->FindItemForRow(1)->GetID(), kDraw,
                                           CFSTR("new")));
  EXPECT_EQ(kDataBrowserNoItem, StandIn_DataBrowserClick(m_Control, {150, 5}, 0, 1));
  RgnHandle region = NewRgn();
  m_Browser->SelectItem(m_Browser->FindItemForRow(1));
  StandIn_DataBrowserStartDrag(m_Control, nullptr, region);
  EXPECT_TRUE(EmptyRgn(region));
  DisposeRgn(region);
  EXPECT_EQ(errDataBrowserPropertyNotSupported,
            StandIn_DataBrowserCellStatus(m_Control, m_Browser->FindItemForRow(1)->GetID(), kName));
  EXPECT_EQ(exceptions, StandIn_DataBrowserCallbackExceptionCount());  // none left the browser
  GLIB_LogMessage::SetHandler(previous);
  ASSERT_FALSE(logged.empty());
  for (const std::wstring& line : logged)
    EXPECT_NE(std::wstring::npos, line.find(L"row failed"))
        << std::string(line.begin(), line.end());

  // No row to answer for: the browser says the property is not supported.
  EXPECT_EQ(errDataBrowserPropertyNotSupported,
            m_Browser->GetSetItemData(nullptr, kName, nullptr, false));
}

TEST_F(PPXA_DataBrowserTest, TheHighlightFillsTheCellOrTheWidenedRowInsideTheContent) {
  InsertRows(1);
  m_Browser->SelectItem(m_Browser->FindItemForRow(1));
  m_Log.hilite = true;
  m_Log.cgAnswer = noErr;
  struct Case {
    DataBrowserTableViewHiliteStyle style;
    CGFloat firstIn, firstOut, lastIn, lastOut;
    UInt32 colour;
  };
  // The custom cell spans 100 to 250 of a 260-wide view; fill style: 88 to 262, clipped at 257.
  const Case cases[] = {{kDataBrowserTableViewMinimalHilite, 100, 99, 249, 250, kPrimaryBlue},
                        {kDataBrowserTableViewFillHilite, 88, 87, 256, 257, kFocusBlue}};
  for (Case const& c : cases) {
    SetDataBrowserTableViewHiliteStyle(m_Control, c.style);
    StandIn_WindowRender(m_Window->GetSysWindow());
    EXPECT_EQ(c.colour, Pixel(c.firstIn, 10)) << c.style;
    EXPECT_EQ(kWhite, Pixel(c.firstOut, 10)) << c.style;
    EXPECT_EQ(c.colour, Pixel(c.lastIn, 10)) << c.style;
    EXPECT_EQ(kWhite, Pixel(c.lastOut, 10)) << c.style;
  }

  // QuickDraw paints the same into the window's port.
  m_Log.cgAnswer = eventNotHandledErr;
  HIViewSetNeedsDisplay(m_Control, true);
  StandIn_WindowRender(m_Window->GetSysWindow());
  EXPECT_EQ(kFocusBlue, Pixel(88, 10));
  EXPECT_EQ(kWhite, Pixel(87, 10));
  EXPECT_EQ(kFocusBlue, Pixel(256, 10));
  EXPECT_EQ(kWhite, Pixel(257, 10));
}

TEST_F(PPXA_DataBrowserTest, TextOfASelectedRowHasAHighlightAsWideAsTheText) {
  InsertRows(1);
  m_Log.text = true;
  m_Log.cgAnswer = noErr;
  Point size{0, 0};
  SInt16 baseline = 0;
  GetThemeTextDimensions(CFSTR("row text"), kThemeViewsFont, kThemeStateActive, false, &size,
                         &baseline);
  ASSERT_GT(size.h, 10);
  for (bool selected : {false, true}) {
    if (selected)
      m_Browser->SelectItem(m_Browser->FindItemForRow(1));
    StandIn_WindowRender(m_Window->GetSysWindow());
    EXPECT_EQ("row text", StandIn_LastThemeText().text);
    const Rect box{2, 100, 22, 250};  // the cell moved 2 down
    const Rect drawn = StandIn_LastThemeText().box;
    EXPECT_TRUE(EqualRect(&box, &drawn));
    EXPECT_EQ(selected ? kPrimaryBlue : kWhite, Pixel(100, 1));
    EXPECT_EQ(selected ? kPrimaryBlue : kWhite, Pixel(100 + size.h, 1));
    EXPECT_EQ(kWhite, Pixel(101 + size.h, 1));
  }
}

TEST_F(PPXA_DataBrowserTest, BrushesTextColoursAndIconTransformsFollowStateStyleAndSystem) {
  std::vector<Row*> rows = InsertRows(1);
  Row const& row = *rows[0];
  struct Case {
    bool active;
    bool enabled;
    DataBrowserTableViewHiliteStyle style;
    ThemeBrush brush;
    ThemeTextColor selectedText;
    ThemeTextColor otherText;
    UInt32 selectedIcon;
    UInt32 otherIcon;
  };
  const Case cases[] = {{true, true, 0, -3, 22, 22, 0x4000, 0},
                        {true, true, 1, -5, -2, 22, 0x4000, 0},
                        {false, true, 1, -4, 22, 22, 0x4001, 1},
                        {true, false, 1, -5, -2, 2, 0x4000, 0},
                        {false, false, 0, -4, 2, 2, 0x4001, 1}};
  const int sysvAsked = StandIn_GestaltCallCount(0x73797376);
  for (Case const& c : cases) {
    (c.active ? ActivateControl : DeactivateControl)(m_Control);
    (c.enabled ? EnableControl : DisableControl)(m_Control);
    SetDataBrowserTableViewHiliteStyle(m_Control, c.style);
    EXPECT_EQ(c.brush, row.GetHiliteBrush());
    EXPECT_EQ(c.selectedText, row.GetTextColor(kDataBrowserItemIsSelected));
    EXPECT_EQ(c.otherText, row.GetTextColor(kDataBrowserItemNoState));
    EXPECT_EQ(c.selectedIcon, row.GetIconTransform(kDataBrowserItemIsSelected));
    EXPECT_EQ(c.otherIcon, row.GetIconTransform(kDataBrowserItemNoState));
  }
  EXPECT_LE(StandIn_GestaltCallCount(0x73797376), sysvAsked + 1);  // read once per process

  // A hilite style that cannot be read is none.
  StandIn_FilesFailNext("GetDataBrowserTableViewHiliteStyle", paramErr);
  EXPECT_EQ(0u, m_Browser->GetHiliteStyle());
  EXPECT_EQ(32, row.GetGDDepth());
}

}  // namespace
