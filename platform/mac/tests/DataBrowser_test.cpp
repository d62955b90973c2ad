// The Data Browser of the stand-in: columns from the nib, rows and their bounds, sorting,
// notifications, selection by scripted clicks, drags and the callbacks' boundary.
#include "StandInToolboxTest.h"

#include <map>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

const char kNib[] = R"(window "List"
  class document
  attributes compositing
  bounds 100 50 300 450
  view browser
    id 'brow' 1
    frame 0 0 300 60
    column 'name' "Name" icontext 120
    column 'chek' "On" check 20
    column 'draw' "Custom" custom 50
    column 'when' "Modified" time
  end
end
)";

constexpr DataBrowserPropertyID kName = 0x6e616d65;  // 'name'
constexpr DataBrowserPropertyID kDraw = 0x64726177;  // 'draw'
constexpr DataBrowserPropertyID kWhen = 0x7768656e;  // 'when'

// What the callbacks saw; items are small numbers whose sort key is kept here.
struct Recorder {
  std::vector<std::pair<DataBrowserItemID, DataBrowserItemNotification>> notifications;
  std::map<DataBrowserItemID, int> keys;
  std::set<DataBrowserItemID> containers;
  std::vector<DataBrowserItemID> drawn;
  std::vector<DataBrowserItemID> accepted;
  std::vector<DataBrowserItemID> received;
  std::vector<OSStatus> postProcessed;
  DataBrowserItemID throwFor = 0;
  DataBrowserItemID removeDuringWalk = 0;
  ControlRef browser = nullptr;
  std::vector<DataBrowserItemID> walked;
};
Recorder* g_Recorder = nullptr;

OSStatus ItemData(ControlRef, DataBrowserItemID item, DataBrowserPropertyID property,
                  DataBrowserItemDataRef data, Boolean) {
  if (item == g_Recorder->throwFor)
    throw std::runtime_error("row failed");
  if (property == kDataBrowserItemIsContainerProperty)
    return SetDataBrowserItemDataBooleanValue(data, g_Recorder->containers.count(item) != 0);
  if (property != kName)
    return errDataBrowserPropertyNotSupported;
  const std::string row = "row " + std::to_string(item);
  CFStringRef text = CFStringCreateWithCString(nullptr, row.c_str(), kCFStringEncodingUTF8);
  SetDataBrowserItemDataText(data, text);
  CFRelease(text);
  return noErr;
}

Boolean Compare(ControlRef, DataBrowserItemID a, DataBrowserItemID b, DataBrowserPropertyID) {
  return g_Recorder->keys[a] < g_Recorder->keys[b];
}

void Notification(ControlRef, DataBrowserItemID item, DataBrowserItemNotification message,
                  DataBrowserItemDataRef) {
  g_Recorder->notifications.emplace_back(item, message);
}

void Draw(ControlRef, DataBrowserItemID item, DataBrowserPropertyID, DataBrowserItemState,
          const Rect*, SInt16, Boolean) {
  g_Recorder->drawn.push_back(item);
}

Boolean Accept(ControlRef, DragRef, DataBrowserItemID item) {
  g_Recorder->accepted.push_back(item);
  return item != 3;
}

Boolean Receive(ControlRef, DragRef, DataBrowserItemID item) {
  g_Recorder->received.push_back(item);
  return true;
}

void PostProcess(ControlRef, DragRef, OSStatus result) {
  g_Recorder->postProcessed.push_back(result);
}

void Walk(DataBrowserItemID item, DataBrowserItemState, void*) {
  g_Recorder->walked.push_back(item);
  if (g_Recorder->removeDuringWalk != 0) {
    const DataBrowserItemID going = g_Recorder->removeDuringWalk;
    g_Recorder->removeDuringWalk = 0;
    RemoveDataBrowserItems(g_Recorder->browser, kDataBrowserNoItem, 1, &going, 0);
  }
}

class DataBrowserTest : public StandInNibTest {
protected:
  void SetUp() override {
    StandInNibTest::SetUp();
    g_Recorder = &m_Recorder;
    WriteNib("List", kNib);
    IBNibRef nib = nullptr;
    ASSERT_EQ(noErr, CreateNibReference(CFSTR("List"), &nib));
    ASSERT_EQ(noErr, CreateWindowFromNib(nib, CFSTR("List"), &m_Window));
    DisposeNibReference(nib);
    const ControlID id = {0x62726f77, 1};
    ASSERT_EQ(noErr, GetControlByID(m_Window, &id, &m_Browser));
    m_Recorder.browser = m_Browser;
    DataBrowserCallbacks callbacks{};
    InitDataBrowserCallbacks(&callbacks);
    callbacks.u.v1.itemDataCallback = ItemData;
    callbacks.u.v1.itemCompareCallback = Compare;
    callbacks.u.v1.itemNotificationCallback = Notification;
    callbacks.u.v1.acceptDragCallback = Accept;
    callbacks.u.v1.receiveDragCallback = Receive;
    callbacks.u.v1.postProcessDragCallback = PostProcess;
    ASSERT_EQ(noErr, SetDataBrowserCallbacks(m_Browser, &callbacks));
    DataBrowserCustomCallbacks custom{};
    InitDataBrowserCustomCallbacks(&custom);
    custom.u.v1.drawItemCallback = Draw;
    ASSERT_EQ(noErr, SetDataBrowserCustomCallbacks(m_Browser, &custom));
    SetDataBrowserTableViewRowHeight(m_Browser, 20);
  }
  void TearDown() override {
    DisposeWindow(m_Window);
    g_Recorder = nullptr;
    StandInNibTest::TearDown();
  }

  void Add(std::vector<DataBrowserItemID> const& items, DataBrowserItemID container = 0) {
    ASSERT_EQ(noErr, AddDataBrowserItems(m_Browser, container, items.size(), items.data(), 0));
  }
  std::vector<DataBrowserItemID> Rows() const {
    std::vector<DataBrowserItemID> rows;
    DataBrowserItemID item = 0;
    for (UInt32 row = 0; GetDataBrowserTableViewItemID(m_Browser, row, &item) == noErr; ++row)
      rows.push_back(item);
    return rows;
  }
  using Notices = std::vector<std::pair<DataBrowserItemID, DataBrowserItemNotification>>;
  Notices TakeNotifications() {
    Notices taken;
    taken.swap(m_Recorder.notifications);
    return taken;
  }

  Recorder m_Recorder;
  WindowRef m_Window = nullptr;
  ControlRef m_Browser = nullptr;
};

TEST_F(DataBrowserTest, ColumnsFromTheNibGiveViewLocalPartBoundsOfShownRows) {
  Add({1, 2, 3, 4});
  UInt32 columns = 0;
  GetDataBrowserTableViewColumnCount(m_Browser, &columns);
  EXPECT_EQ(4u, columns);
  DataBrowserTableViewColumnID property = 0;
  EXPECT_EQ(noErr, GetDataBrowserTableViewColumnProperty(m_Browser, 2, &property));
  EXPECT_EQ(kDraw, property);
  EXPECT_EQ(errDataBrowserPropertyNotFound,
            GetDataBrowserTableViewColumnProperty(m_Browser, 4, &property));

  struct Case {
    DataBrowserItemID item;
    DataBrowserPropertyID property;
    DataBrowserPropertyPart part;
    OSStatus status;
    Rect bounds;
  };
  const Case cases[] = {
      {1, kName, kDataBrowserPropertyEnclosingPart, noErr, {0, 0, 20, 120}},
      {2, kDraw, kDataBrowserPropertyContentPart, noErr, {20, 140, 40, 190}},
      {3, kWhen, kDataBrowserPropertyEnclosingPart, noErr, {40, 190, 60, 290}},  // default width
      {4, kName, kDataBrowserPropertyEnclosingPart, errDataBrowserItemNotFound, {}},  // below
      {9, kName, kDataBrowserPropertyEnclosingPart, errDataBrowserItemNotFound, {}},
      {1, 0x6e6f6e65, kDataBrowserPropertyEnclosingPart, errDataBrowserPropertyNotFound, {}},
      {1, kWhen, kDataBrowserPropertyDisclosurePart, errDataBrowserInvalidPropertyPart, {}}};
  for (Case const& c : cases) {
    Rect bounds{};
    EXPECT_EQ(c.status,
              GetDataBrowserItemPartBounds(m_Browser, c.item, c.property, c.part, &bounds))
        << c.item;
    if (c.status == noErr) {
      EXPECT_TRUE(EqualRect(&c.bounds, &bounds)) << c.item;
    }
  }

  // A render asks the data of each shown cell once, and draws the shown custom cells.
  ASSERT_EQ(noErr, StandIn_WindowRender(m_Window));
  EXPECT_EQ(1, StandIn_DataBrowserCellAskCount(m_Browser, 2, kName));
  EXPECT_EQ("row 2", StandIn_DataBrowserCellText(m_Browser, 2, kName));
  EXPECT_EQ(errDataBrowserPropertyNotSupported, StandIn_DataBrowserCellStatus(m_Browser, 2, kWhen));
  EXPECT_EQ(0, StandIn_DataBrowserCellAskCount(m_Browser, 2, kDraw));
  EXPECT_EQ(0, StandIn_DataBrowserCellAskCount(m_Browser, 4, kName));
  EXPECT_EQ((std::vector<DataBrowserItemID>{1, 2, 3}), m_Recorder.drawn);
}

TEST_F(DataBrowserTest, ChildrenSortStablyAndShowOnlyInOpenContainers) {
  m_Recorder.keys = {{1, 2}, {2, 1}, {3, 2}, {4, 1}, {10, 0}, {11, 5}, {12, 0}};
  m_Recorder.containers = {3};
  SetDataBrowserSortProperty(m_Browser, kName);
  Add({1, 2, 3, 4});
  EXPECT_EQ((std::vector<DataBrowserItemID>{2, 4, 1, 3}), Rows());  // equal keys keep their order
  SetDataBrowserSortOrder(m_Browser, kDataBrowserOrderDecreasing);
  EXPECT_EQ((std::vector<DataBrowserItemID>{1, 3, 2, 4}), Rows());

  EXPECT_EQ(noErr, OpenDataBrowserContainer(m_Browser, 3));
  Add({11, 10, 12}, 3);
  EXPECT_EQ((std::vector<DataBrowserItemID>{1, 3, 11, 10, 12, 2, 4}), Rows());
  ItemCount count = 0;
  GetDataBrowserItemCount(m_Browser, 0, true, kDataBrowserItemAnyState, &count);
  EXPECT_EQ(7u, count);
  GetDataBrowserItemCount(m_Browser, 0, false, kDataBrowserItemAnyState, &count);
  EXPECT_EQ(4u, count);
  EXPECT_EQ(errDataBrowserItemNotAdded, AddDataBrowserItems(m_Browser, 0, 1, Rows().data(), 0));
  const DataBrowserItemID stray = 77;
  EXPECT_EQ(errDataBrowserItemNotFound, AddDataBrowserItems(m_Browser, 99, 1, &stray, 0));

  // Closing a container tells it first, then removes its children.
  TakeNotifications();
  EXPECT_EQ(noErr, CloseDataBrowserContainer(m_Browser, 3));
  EXPECT_EQ((Notices{{3, kDataBrowserContainerClosing},
                     {11, kDataBrowserItemRemoved},
                     {10, kDataBrowserItemRemoved},
                     {12, kDataBrowserItemRemoved}}),
            TakeNotifications());
  EXPECT_EQ((std::vector<DataBrowserItemID>{1, 3, 2, 4}), Rows());
}

TEST_F(DataBrowserTest, RemovalTellsSelectedRowsFirstAndTakesChildrenAlong) {
  m_Recorder.containers = {2};
  Add({1, 2, 3});
  EXPECT_EQ(
      (Notices{{1, kDataBrowserItemAdded}, {2, kDataBrowserItemAdded}, {3, kDataBrowserItemAdded}}),
      TakeNotifications());
  OpenDataBrowserContainer(m_Browser, 2);
  Add({20}, 2);
  const DataBrowserItemID selection[] = {2, 20};
  SetDataBrowserSelectedItems(m_Browser, 2, selection, kDataBrowserItemsAssign);
  TakeNotifications();

  const DataBrowserItemID two = 2;
  EXPECT_EQ(noErr, RemoveDataBrowserItems(m_Browser, 0, 1, &two, 0));
  EXPECT_EQ((Notices{{20, kDataBrowserItemDeselected},
                     {20, kDataBrowserItemRemoved},
                     {2, kDataBrowserItemDeselected},
                     {2, kDataBrowserItemRemoved}}),
            TakeNotifications());

  // No container and no list: every row goes.
  EXPECT_EQ(noErr, RemoveDataBrowserItems(m_Browser, 0, 0, nullptr, 0));
  EXPECT_EQ((Notices{{1, kDataBrowserItemRemoved}, {3, kDataBrowserItemRemoved}}),
            TakeNotifications());
  EXPECT_TRUE(Rows().empty());
}

TEST_F(DataBrowserTest, ForEachWalksASnapshotAndItemIdsArePointerSized) {
  const DataBrowserItemID wide = DataBrowserItemID(&m_Recorder);
  Add({1, 2, wide});
  m_Recorder.removeDuringWalk = 2;
  EXPECT_EQ(noErr,
            ForEachDataBrowserItem(m_Browser, 0, true, kDataBrowserItemAnyState, Walk, nullptr));
  EXPECT_EQ((std::vector<DataBrowserItemID>{1, 2, wide}), m_Recorder.walked);

  Handle items = NewHandle(0);
  ASSERT_EQ(noErr, GetDataBrowserItems(m_Browser, 0, true, kDataBrowserItemAnyState, items));
  ASSERT_EQ(Size(2 * sizeof(DataBrowserItemID)), GetHandleSize(items));
  EXPECT_EQ(wide, reinterpret_cast<DataBrowserItemID*>(*items)[1]);
  DisposeHandle(items);
}

TEST_F(DataBrowserTest, ScriptedClicksSelectExtendToggleAndDoubleClick) {
  m_Recorder.containers = {4};
  Add({1, 2, 3, 4});  // rows at 0, 20, 40 and (not shown) 60
  SetDataBrowserListViewDisclosureColumn(m_Browser, kName, true);
  struct Case {
    HIPoint where;
    UInt32 modifiers;
    std::set<DataBrowserItemID> selected;
  };
  const Case cases[] = {{{50, 25}, 0, {2}},
                        {{50, 45}, shiftKey, {2, 3}},
                        {{50, 5}, shiftKey, {1, 2, 3}},
                        {{50, 25}, cmdKey, {1, 3}},
                        {{50, 5}, 0, {1}},
                        {{50, 250}, 0, {}}};
  for (Case const& c : cases) {
    StandIn_DataBrowserClick(m_Browser, c.where, c.modifiers, 1);
    std::set<DataBrowserItemID> selected;
    for (DataBrowserItemID item : {1, 2, 3, 4})
      if (IsDataBrowserItemSelected(m_Browser, item))
        selected.insert(item);
    EXPECT_EQ(c.selected, selected) << c.where.y << " " << c.modifiers;
  }
  StandIn_DataBrowserClick(m_Browser, {50, 25}, 0, 1);
  TakeNotifications();
  EXPECT_EQ(DataBrowserItemID(2), StandIn_DataBrowserClick(m_Browser, {50, 25}, 0, 2));
  EXPECT_EQ((Notices{{2, kDataBrowserItemDoubleClicked}}), TakeNotifications());

  // Containers open from their disclosure part, and from a double-click when the column says so.
  m_Recorder.containers = {1, 2};
  EXPECT_EQ(DataBrowserItemID(1), StandIn_DataBrowserClick(m_Browser, {4, 5}, 0, 1));
  EXPECT_EQ((Notices{{1, kDataBrowserContainerOpened}}), TakeNotifications());
  StandIn_DataBrowserClick(m_Browser, {50, 25}, 0, 2);
  EXPECT_EQ((Notices{{2, kDataBrowserItemDoubleClicked}, {2, kDataBrowserContainerOpened}}),
            TakeNotifications());
  StandIn_DataBrowserClick(m_Browser, {4, 5}, 0, 1);
  EXPECT_EQ((Notices{{1, kDataBrowserContainerClosing}}), TakeNotifications());
}

TEST_F(DataBrowserTest, DropsAskTheRowUnderThePointAndExceptionsStayInside) {
  Add({1, 2, 3});
  DragRef drag = nullptr;
  ASSERT_EQ(noErr, NewDrag(&drag));
  EXPECT_FALSE(StandIn_DataBrowserDragOver(m_Browser, drag, {10, 25}));  // tracking is off
  SetControlDragTrackingEnabled(m_Browser, true);
  EXPECT_TRUE(StandIn_DataBrowserDragOver(m_Browser, drag, {10, 25}));
  EXPECT_TRUE(StandIn_DataBrowserEndDrag(m_Browser, drag, {10, 25}, true));
  EXPECT_FALSE(StandIn_DataBrowserDragOver(m_Browser, drag, {10, 45}));
  EXPECT_FALSE(StandIn_DataBrowserEndDrag(m_Browser, drag, {10, 45}, true));
  EXPECT_FALSE(StandIn_DataBrowserDragOver(m_Browser, drag, {10, 58}));  // row 3, refused
  EXPECT_FALSE(StandIn_DataBrowserEndDrag(m_Browser, drag, {10, 58}, false));
  EXPECT_EQ((std::vector<DataBrowserItemID>{2, 3, 3}), m_Recorder.accepted);
  EXPECT_EQ((std::vector<DataBrowserItemID>{2}), m_Recorder.received);
  EXPECT_EQ((std::vector<OSStatus>{noErr, dragNotAcceptedErr, userCanceledErr}),
            m_Recorder.postProcessed);
  DisposeDrag(drag);

  const long exceptions = StandIn_DataBrowserCallbackExceptionCount();
  m_Recorder.throwFor = 2;
  EXPECT_EQ(noErr, StandIn_DataBrowserAskShownCells(m_Browser));
  EXPECT_EQ(errDataBrowserPropertyNotSupported, StandIn_DataBrowserCellStatus(m_Browser, 2, kName));
  EXPECT_EQ("row 3", StandIn_DataBrowserCellText(m_Browser, 3, kName));
  EXPECT_EQ(exceptions + 3, StandIn_DataBrowserCallbackExceptionCount());  // its asked cells
}

TEST(DataBrowserSupportTest, HandlesGrowKeepingTheirBytesAndRectanglesIntersect) {
  Handle handle = NewHandle(2);
  (*handle)[0] = 'a';
  (*handle)[1] = 'b';
  SetHandleSize(handle, 4096);
  EXPECT_EQ(noErr, MemError());
  EXPECT_EQ(4096, GetHandleSize(handle));
  EXPECT_EQ('b', (*handle)[1]);
  StandIn_MemoryFailNextAllocations(1);
  SetHandleSize(handle, 8192);
  EXPECT_EQ(memFullErr, MemError());
  EXPECT_EQ(4096, GetHandleSize(handle));
  DisposeHandle(handle);

  const CGRect a = CGRectMake(0, 0, 10, 10);
  EXPECT_TRUE(
      CGRectEqualToRect(CGRectMake(5, 5, 5, 5), CGRectIntersection(a, CGRectMake(5, 5, 20, 20))));
  EXPECT_TRUE(CGRectIsNull(CGRectIntersection(a, CGRectMake(11, 0, 5, 5))));
  EXPECT_TRUE(CGRectIsEmpty(CGRectIntersection(a, CGRectMake(10, 0, 5, 5))));
}

}  // namespace
