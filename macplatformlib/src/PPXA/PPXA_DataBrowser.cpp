#include "PPXA/PPXA_DataBrowser.h"

#include "PPXA/PPXA_ViewUtils.h"
#include "PPXA/iPPXA_Boundary.h"

#include <CoreServices/Gestalt.h>
#include <CoreServices/MacMemory.h>
#include <HIToolbox/Appearance.h>
#include <PPx/PPxExceptions.h>
#include <PPx/SysCarbonEvent.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace PPXA {

namespace {

constexpr ThemeBrush kFocusBrush = -5;
constexpr ThemeBrush kSecondaryHiliteBrush = -4;
constexpr ThemeBrush kPrimaryHiliteBrush = -3;
constexpr ThemeTextColor kWhiteText = -2;
constexpr ThemeTextColor kListViewText = 22;
constexpr ThemeTextColor kInactiveText = 2;
constexpr UInt32 kTransformNone = 0;
constexpr UInt32 kTransformDisabled = 1;
constexpr UInt32 kTransformSelected = 0x4000;
constexpr SInt16 kTruncateMiddle = 0x4000;
constexpr long kFillHiliteMargin = 12;
constexpr short kContentBoundsMargin = 3;  // below and right of the scroll-bar insets

DataBrowserItem* ItemOf(DataBrowserItemID id) {
  return reinterpret_cast<DataBrowserItem*>(id);
}

DataBrowserItemID IDOf(DataBrowserItem const* item) {
  return reinterpret_cast<DataBrowserItemID>(item);
}

// Callbacks are C boundaries: an exception that would leave one is logged and gives the neutral
// answer (iPPXA_Boundary.h).
constexpr char kCallback[] = "a data browser callback";

// A handle that the Memory Manager disposes of when it goes.
class HandleHolder {
public:
  explicit HandleHolder(Size size) : m_Handle(NewHandle(size)) {}
  ~HandleHolder() { DisposeHandle(m_Handle); }
  HandleHolder(HandleHolder const&) = delete;
  HandleHolder& operator=(HandleHolder const&) = delete;
  Handle Get() const { return m_Handle; }

private:
  Handle m_Handle;
};

Rect RectOf(CGRect const& rect) {
  return Rect{static_cast<short>(CGRectGetMinY(rect)), static_cast<short>(CGRectGetMinX(rect)),
              static_cast<short>(CGRectGetMaxY(rect)), static_cast<short>(CGRectGetMaxX(rect))};
}

CGRect CGRectOf(Rect const& rect) {
  return CGRectMake(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

SInt32 SystemVersionOnce() {
  static SInt32 const osVersion = [] {
    SInt32 version = 0;
    return Gestalt(0x73797376 /* 'sysv' */, &version) == noErr ? version : 0;
  }();
  return osVersion;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Rows

SInt16 DataBrowserItem::sm_GDDepth = 0;

OSStatus DataBrowserItem::GetSetData(DataBrowserPropertyID, DataBrowserItemDataRef, Boolean) {
  return errDataBrowserPropertyNotSupported;
}

bool DataBrowserItem::CompareToItem(DataBrowserItem const*, DataBrowserPropertyID) const {
  return false;
}

void DataBrowserItem::HandleNotification(DataBrowserItemNotification notification,
                                         DataBrowserItemDataRef) {
  if (notification == kDataBrowserItemRemoved)
    delete this;
}

bool DataBrowserItem::AddDragFlavors(DragRef, DragItemRef*) {
  return false;
}

bool DataBrowserItem::ItemIsAcceptable(DragRef, DragItemRef) {
  return false;
}

bool DataBrowserItem::ReceiveDragItem(DragRef, DragItemRef) {
  return false;
}

void DataBrowserItem::CustomDrawItem(DataBrowserPropertyID, DataBrowserItemState, Rect const*,
                                     SInt16, Boolean) {}

OSStatus DataBrowserItem::CustomDrawItem(DataBrowserPropertyID, DataBrowserItemState, CGRect const&,
                                         CGContextRef) {
  return eventNotHandledErr;
}

bool DataBrowserItem::CustomEditItem(DataBrowserPropertyID, CFStringRef, Rect*, Boolean*) {
  return false;
}

bool DataBrowserItem::CustomHitTest(DataBrowserPropertyID, Rect const*, Rect const*) {
  return true;
}

DataBrowserTrackingResult DataBrowserItem::CustomTrack(DataBrowserPropertyID, Rect const*, Point,
                                                       EventModifiers) {
  return kDataBrowserContentHit;
}

void DataBrowserItem::CustomDragRgn(DataBrowserPropertyID, Rect const* rect, RgnHandle dragRgn) {
  RectRgn(dragRgn, rect);
}

void DataBrowserItem::GetItemPartBounds(DataBrowserPropertyID property,
                                        DataBrowserPropertyPart part, Rect* bounds, bool* visible) {
  *visible = false;
  if (m_Browser == nullptr)
    return;
  const OSStatus status = m_Browser->GetItemPartBounds(this, property, part, bounds);
  if (status == errDataBrowserItemNotFound)
    return;
  PPx::ThrowIfOSStatus(status, "unexpected error from GetDataBrowserItemPartBounds()");
  *visible = true;
}

void DataBrowserItem::UpdateItem(DataBrowserPropertyID property) {
  if (m_Browser)
    m_Browser->UpdateItem(this, ItemOf(m_Parent), property);
}

SInt16 DataBrowserItem::GetGDDepth() const {
  if (sm_GDDepth == 0) {
    WindowRef window = m_Browser ? m_Browser->GetSysWindow() : nullptr;
    sm_GDDepth = window ? GetPixDepth(GetWindowPort(window)) : 1;
  }
  return sm_GDDepth;
}

ThemeBrush DataBrowserItem::GetHiliteBrush() const {
  if (m_Browser && !IsControlActive(m_Browser->GetSysView()))
    return kSecondaryHiliteBrush;
  if (m_Browser && m_Browser->GetHiliteStyle() == kDataBrowserTableViewFillHilite &&
      SystemVersionOnce() >= 0x1030)
    return kFocusBrush;
  return kPrimaryHiliteBrush;
}

ThemeTextColor DataBrowserItem::GetTextColor(DataBrowserItemState itemState) const {
  ControlRef view = m_Browser ? m_Browser->GetSysView() : nullptr;
  if (view && IsControlActive(view) && (itemState & kDataBrowserItemIsSelected) &&
      m_Browser->GetHiliteStyle() == kDataBrowserTableViewFillHilite)
    return kWhiteText;
  if (view && IsControlEnabled(view))
    return kListViewText;
  return kInactiveText;
}

UInt32 DataBrowserItem::GetIconTransform(DataBrowserItemState itemState) const {
  const bool inactive = m_Browser && !IsControlActive(m_Browser->GetSysView());
  if (itemState == kDataBrowserItemIsSelected)
    return kTransformSelected | (inactive ? kTransformDisabled : kTransformNone);
  return inactive ? kTransformDisabled : kTransformNone;
}

bool DataBrowserItem::HiliteRect(Rect const& cell, long width, Rect* painted) const {
  if (m_Browser && m_Browser->GetHiliteStyle() == kDataBrowserTableViewFillHilite) {
    Rect widened = cell;
    widened.left = static_cast<short>(widened.left - kFillHiliteMargin);
    widened.right = static_cast<short>(widened.right + kFillHiliteMargin);
    Rect content;
    m_Browser->GetBrowserContentBounds(&content);
    return SectRect(&widened, &content, painted);
  }
  *painted = cell;
  painted->right = static_cast<short>(std::min<long>(cell.left + width, SHRT_MAX));
  return !EmptyRect(painted);
}

void DataBrowserItem::DrawHilite(Rect const* rect, SInt16 depth, Boolean colorDevice,
                                 long width) const {
  RGBColor color{0, 0, 0};
  Rect painted;
  if (GetThemeBrushAsColor(GetHiliteBrush(), depth, colorDevice, &color) != noErr ||
      !HiliteRect(*rect, width, &painted))
    return;
  RGBColor old;
  GetForeColor(&old);
  RGBForeColor(&color);
  PaintRect(&painted);
  RGBForeColor(&old);
}

void DataBrowserItem::DrawHilite(Rect const* rect, SInt16 depth, Boolean colorDevice) const {
  DrawHilite(rect, depth, colorDevice, rect->right - rect->left);
}

void DataBrowserItem::DrawHilite(CGRect const& rect, CGContextRef context, CGFloat width) const {
  const SInt16 depth = GetGDDepth();
  RGBColor color{0, 0, 0};
  Rect painted;
  if (GetThemeBrushAsColor(GetHiliteBrush(), depth, depth > 1, &color) != noErr ||
      !HiliteRect(RectOf(rect), static_cast<long>(width), &painted))
    return;
  CGContextSaveGState(context);
  CGContextSetRGBFillColor(context, color.red / 65535.0f, color.green / 65535.0f,
                           color.blue / 65535.0f, 1.0f);
  CGContextFillRect(context, CGRectOf(painted));
  CGContextRestoreGState(context);
}

void DataBrowserItem::DrawHilite(CGRect const& rect, CGContextRef context) const {
  DrawHilite(rect, context, CGRectGetWidth(rect));
}

void DataBrowserItem::DrawHiliteAndText(DataBrowserItemState itemState, CGRect const& rect,
                                        CGContextRef context, CFStringRef text,
                                        SInt16 justification) const {
  CFMutableStringRef copy = CFStringCreateMutableCopy(nullptr, 0, text);
  if (copy == nullptr)
    return;
  const bool active = m_Browser && IsControlActive(m_Browser->GetSysView());
  const ThemeDrawState state = active ? kThemeStateActive : kThemeStateInactive;
  const SInt16 depth = GetGDDepth();
  Boolean truncated = false;
  TruncateThemeText(copy, kThemeViewsFont, state, static_cast<SInt16>(CGRectGetWidth(rect)),
                    kTruncateMiddle, &truncated);
  if (itemState & kDataBrowserItemIsSelected) {
    Point size{0, 0};
    SInt16 baseline = 0;
    GetThemeTextDimensions(copy, kThemeViewsFont, state, false, &size, &baseline);
    DrawHilite(rect, context, size.h + 1);
  }
  Rect box = RectOf(rect);
  box.top = static_cast<short>(box.top + 2);
  box.bottom = static_cast<short>(box.bottom + 2);
  RGBColor color{0, 0, 0};
  GetThemeTextColor(GetTextColor(itemState), depth, depth > 1, &color);
  CGContextSaveGState(context);
  CGContextSetRGBFillColor(context, color.red / 65535.0f, color.green / 65535.0f,
                           color.blue / 65535.0f, 1.0f);
  DrawThemeTextBox(copy, kThemeViewsFont, state, false, &box, justification, context);
  CGContextRestoreGState(context);
  CFRelease(copy);
}

// ---------------------------------------------------------------------------------------------
// The browser

long DataBrowser::sm_InstanceCount = 0;
DataBrowserItemDataUPP DataBrowser::sm_CallbackGetSetItemData = nullptr;
DataBrowserItemCompareUPP DataBrowser::sm_CallbackCompare = nullptr;
DataBrowserItemNotificationWithItemUPP DataBrowser::sm_CallbackItemNotification = nullptr;
DataBrowserAddDragItemUPP DataBrowser::sm_CallbackAddDragItem = nullptr;
DataBrowserAcceptDragUPP DataBrowser::sm_CallbackAcceptDrag = nullptr;
DataBrowserReceiveDragUPP DataBrowser::sm_CallbackReceiveDrag = nullptr;
DataBrowserPostProcessDragUPP DataBrowser::sm_CallbackPostProcessDrag = nullptr;
DataBrowserItemHelpContentUPP DataBrowser::sm_CallbackGetHelpContent = nullptr;
DataBrowserGetContextualMenuUPP DataBrowser::sm_CallbackContextualMenu = nullptr;
DataBrowserSelectContextualMenuUPP DataBrowser::sm_CallbackSelectContextMenu = nullptr;
DataBrowserDrawItemUPP DataBrowser::sm_CallbackDrawItem = nullptr;
DataBrowserEditItemUPP DataBrowser::sm_CallbackEditItem = nullptr;
DataBrowserHitTestUPP DataBrowser::sm_CallbackHitTest = nullptr;
DataBrowserTrackingUPP DataBrowser::sm_CallbackTracking = nullptr;
DataBrowserItemDragRgnUPP DataBrowser::sm_CallbackItemDragRgn = nullptr;

DataBrowser::DataBrowser() {
  if (sm_CallbackGetSetItemData == nullptr)
    MakeProcedures();
  ++sm_InstanceCount;
}

DataBrowser::~DataBrowser() {
  // Rows still in the control are deleted now, while the callbacks still reach them.
  if (GetSysView())
    Quietly(kCallback, [&] { RemoveAllRows(); });
  m_Alive = false;
  m_DropTarget = nullptr;
  if (GetSysView())
    SetControlReference(GetSysView(), 0);
  if (--sm_InstanceCount == 0)
    DisposeProcedures();
}

void DataBrowser::MakeProcedures() {
  sm_CallbackGetSetItemData = NewDataBrowserItemDataUPP(DBCallbackGetSetItemData);
  sm_CallbackCompare = NewDataBrowserItemCompareUPP(DBCallbackCompare);
  sm_CallbackItemNotification =
      NewDataBrowserItemNotificationWithItemUPP(DBCallbackItemNotification);
  sm_CallbackAddDragItem = NewDataBrowserAddDragItemUPP(DBCallbackAddDragItem);
  sm_CallbackAcceptDrag = NewDataBrowserAcceptDragUPP(DBCallbackAcceptDrag);
  sm_CallbackReceiveDrag = NewDataBrowserReceiveDragUPP(DBCallbackReceiveDrag);
  sm_CallbackPostProcessDrag = NewDataBrowserPostProcessDragUPP(DBCallbackPostProcessDrag);
  sm_CallbackGetHelpContent = NewDataBrowserItemHelpContentUPP(DBCallbackGetHelpContent);
  sm_CallbackContextualMenu = NewDataBrowserGetContextualMenuUPP(DBCallbackGetContextualMenu);
  sm_CallbackSelectContextMenu =
      NewDataBrowserSelectContextualMenuUPP(DBCallbackSelectContextualMenu);
  sm_CallbackDrawItem = NewDataBrowserDrawItemUPP(DBCallbackDrawItem);
  sm_CallbackEditItem = NewDataBrowserEditItemUPP(DBCallbackEditItem);
  sm_CallbackHitTest = NewDataBrowserHitTestUPP(DBCallbackHitTest);
  sm_CallbackTracking = NewDataBrowserTrackingUPP(DBCallbackTracking);
  sm_CallbackItemDragRgn = NewDataBrowserItemDragRgnUPP(DBCallbackItemDragRgn);
}

void DataBrowser::DisposeProcedures() {
  DisposeDataBrowserItemDataUPP(sm_CallbackGetSetItemData);
  DisposeDataBrowserItemCompareUPP(sm_CallbackCompare);
  DisposeDataBrowserItemNotificationWithItemUPP(sm_CallbackItemNotification);
  DisposeDataBrowserAddDragItemUPP(sm_CallbackAddDragItem);
  DisposeDataBrowserAcceptDragUPP(sm_CallbackAcceptDrag);
  DisposeDataBrowserReceiveDragUPP(sm_CallbackReceiveDrag);
  DisposeDataBrowserPostProcessDragUPP(sm_CallbackPostProcessDrag);
  DisposeDataBrowserItemHelpContentUPP(sm_CallbackGetHelpContent);
  DisposeDataBrowserGetContextualMenuUPP(sm_CallbackContextualMenu);
  DisposeDataBrowserSelectContextualMenuUPP(sm_CallbackSelectContextMenu);
  DisposeDataBrowserDrawItemUPP(sm_CallbackDrawItem);
  DisposeDataBrowserEditItemUPP(sm_CallbackEditItem);
  DisposeDataBrowserHitTestUPP(sm_CallbackHitTest);
  DisposeDataBrowserTrackingUPP(sm_CallbackTracking);
  DisposeDataBrowserItemDragRgnUPP(sm_CallbackItemDragRgn);
  sm_CallbackGetSetItemData = nullptr;
  sm_CallbackCompare = nullptr;
  sm_CallbackItemNotification = nullptr;
  sm_CallbackAddDragItem = nullptr;
  sm_CallbackAcceptDrag = nullptr;
  sm_CallbackReceiveDrag = nullptr;
  sm_CallbackPostProcessDrag = nullptr;
  sm_CallbackGetHelpContent = nullptr;
  sm_CallbackContextualMenu = nullptr;
  sm_CallbackSelectContextMenu = nullptr;
  sm_CallbackDrawItem = nullptr;
  sm_CallbackEditItem = nullptr;
  sm_CallbackHitTest = nullptr;
  sm_CallbackTracking = nullptr;
  sm_CallbackItemDragRgn = nullptr;
}

void DataBrowser::Attach(ControlRef control) {
  HIRect frame = CGRectMake(0, 0, 0, 0);
  HIViewGetFrame(control, &frame);
  CFRetain(control);
  Initialize(control, frame);
  InitBrowser(control);
}

void DataBrowser::InitBrowser(ControlRef control) {
  InitCallbacks(control);
  PPx::ControlDrawDoer::Install(SysEventTarget());
  SetControlReference(control, reinterpret_cast<SRefCon>(this));
  SetControlDragTrackingEnabled(control, true);
  m_Window = GetSysWindow();
  WindowAttributes attributes = 0;
  GetWindowAttributes(m_Window, &attributes);
  m_Compositing = (attributes & kWindowCompositingAttribute) != 0;
}

void DataBrowser::InitCallbacks(ControlRef control) {
  DataBrowserCallbacks callbacks;
  callbacks.version = 0;
  InitDataBrowserCallbacks(&callbacks);
  callbacks.u.v1.itemDataCallback = sm_CallbackGetSetItemData;
  callbacks.u.v1.itemCompareCallback = sm_CallbackCompare;
  callbacks.u.v1.itemNotificationCallback = sm_CallbackItemNotification;
  callbacks.u.v1.addDragItemCallback = sm_CallbackAddDragItem;
  callbacks.u.v1.acceptDragCallback = sm_CallbackAcceptDrag;
  callbacks.u.v1.receiveDragCallback = sm_CallbackReceiveDrag;
  callbacks.u.v1.postProcessDragCallback = sm_CallbackPostProcessDrag;
  callbacks.u.v1.itemHelpContentCallback = sm_CallbackGetHelpContent;
  callbacks.u.v1.getContextualMenuCallback = sm_CallbackContextualMenu;
  callbacks.u.v1.selectContextualMenuCallback = sm_CallbackSelectContextMenu;
  SetDataBrowserCallbacks(control, &callbacks);
  DataBrowserCustomCallbacks custom;
  custom.version = 0;
  InitDataBrowserCustomCallbacks(&custom);
  custom.u.v1.drawItemCallback = sm_CallbackDrawItem;
  custom.u.v1.editTextCallback = sm_CallbackEditItem;
  custom.u.v1.hitTestCallback = sm_CallbackHitTest;
  custom.u.v1.trackingCallback = sm_CallbackTracking;
  custom.u.v1.dragRegionCallback = sm_CallbackItemDragRgn;
  SetDataBrowserCustomCallbacks(control, &custom);
}

// --- items

OSStatus DataBrowser::InsertItem(DataBrowserItem* item, DataBrowserItem* parent) {
  return InsertItems(std::vector<DataBrowserItem*>{item}, parent);
}

OSStatus DataBrowser::InsertItems(std::vector<DataBrowserItem*> const& items,
                                  DataBrowserItem* parent) {
  if (items.empty())
    return noErr;
  std::vector<DataBrowserItemID> ids;
  for (DataBrowserItem* item : items) {
    item->SetBrowser(this);
    item->SetParentID(IDOf(parent));
    ids.push_back(IDOf(item));
  }
  const OSStatus status =
      AddDataBrowserItems(GetSysView(), IDOf(parent), ids.size(), ids.data(), 0);
  if (status != noErr) {
    for (DataBrowserItem* item : items) {
      item->SetBrowser(nullptr);
      item->SetParentID(kDataBrowserNoItem);
    }
  }
  return status;
}

OSStatus DataBrowser::RemoveItem(DataBrowserItem* item) {
  if (item == nullptr)
    return noErr;
  const DataBrowserItemID id = IDOf(item);
  return RemoveDataBrowserItems(GetSysView(), item->GetParentID(), 1, &id, 0);
}

OSStatus DataBrowser::RemoveItems(DataBrowserItem* container,
                                  std::vector<DataBrowserItem*> const& items,
                                  DataBrowserPropertyID preSortProperty) {
  if (items.empty())
    return noErr;
  std::vector<DataBrowserItemID> ids;
  for (DataBrowserItem* item : items)
    ids.push_back(IDOf(item));
  return RemoveDataBrowserItems(GetSysView(), IDOf(container), ids.size(), ids.data(),
                                preSortProperty);
}

void DataBrowser::RemoveAllRows() {
  PPx::ThrowIfOSStatus(RemoveDataBrowserItems(GetSysView(), kDataBrowserNoItem, 0, nullptr, 0),
                       "RemoveDataBrowserItems() failed");
}

void DataBrowser::UpdateItem(DataBrowserItem* item, DataBrowserItem* parent,
                             DataBrowserPropertyID property) {
  const DataBrowserItemID id = IDOf(item);
  PPx::ThrowIfOSStatus(UpdateDataBrowserItems(GetSysView(), IDOf(parent), 1, &id, 0, property),
                       "UpdateDataBrowserItems() failed");
  PPx::ThrowIfOSStatus(SortDataBrowserContainer(GetSysView(), IDOf(parent), true),
                       "SortDataBrowserContainer() failed");
}

void DataBrowser::UpdateAllItems(DataBrowserPropertyID property) {
  if (GetItemCount(kDataBrowserItemAnyState, nullptr, true) == 0)
    return;
  const DataBrowserItemID all = kDataBrowserNoItem;
  PPx::ThrowIfOSStatus(
      UpdateDataBrowserItems(GetSysView(), kDataBrowserNoItem, 1, &all, 0, property),
      "UpdateDataBrowserItems() failed");
}

void DataBrowser::Refresh() {
  if (m_Compositing) {
    SetNeedsDisplay();
    UpdateAllItems(kDataBrowserItemNoProperty);
    return;
  }
  PPx::SysCarbonEvent draw;
  draw.MakeEvent(kEventClassWindow, kEventWindowDrawContent);
  draw.SetParameter(kEventParamDirectObject, typeWindowRef, m_Window);
  draw.Post(GetWindowEventTarget(m_Window));
}

// --- queries

OSStatus DataBrowser::GetItems(std::vector<DataBrowserItem*>* items, DataBrowserItemState state,
                               DataBrowserItem* container, bool recurse) const {
  if (items == nullptr)
    return errDataBrowserInvalidPropertyData;
  HandleHolder ids(0);
  if (ids.Get() == nullptr)
    return memFullErr;
  const OSStatus status =
      GetDataBrowserItems(GetSysView(), IDOf(container), recurse, state, ids.Get());
  if (status != noErr)
    return status;
  const std::size_t count =
      static_cast<std::size_t>(GetHandleSize(ids.Get())) / sizeof(DataBrowserItemID);
  for (std::size_t i = 0; i < count; ++i) {
    DataBrowserItemID id = 0;
    std::memcpy(&id, *ids.Get() + i * sizeof id, sizeof id);
    items->push_back(ItemOf(id));
  }
  return noErr;
}

ItemCount DataBrowser::GetItemCount(DataBrowserItemState state, DataBrowserItem* container,
                                    bool recurse) const {
  ItemCount count = 0;
  if (GetDataBrowserItemCount(GetSysView(), IDOf(container), recurse, state, &count) != noErr)
    return 0;
  return count;
}

DataBrowserItem* DataBrowser::GetCurrentSelection() const {
  DataBrowserItemID first = kDataBrowserNoItem;
  DataBrowserItemID last = kDataBrowserNoItem;
  PPx::ThrowIfOSStatus(GetDataBrowserSelectionAnchor(GetSysView(), &first, &last),
                       "GetDataBrowserSelectionAnchor() failed");
  return ItemOf(first);
}

void DataBrowser::SelectItem(DataBrowserItem* item) {
  const DataBrowserItemID id = IDOf(item);
  SetDataBrowserSelectedItems(GetSysView(), 1, &id, kDataBrowserItemsAssign);
}

DataBrowserItem* DataBrowser::FindItemForRow(UInt32 row) const {
  DataBrowserItemID id = kDataBrowserNoItem;
  if (row == 0 || GetDataBrowserTableViewItemID(GetSysView(), row - 1, &id) != noErr)
    return nullptr;
  return ItemOf(id);
}

UInt32 DataBrowser::GetColumnCount() const {
  UInt32 count = 0;
  if (GetDataBrowserTableViewColumnCount(GetSysView(), &count) != noErr)
    return 0;
  return count;
}

// --- geometry

void DataBrowser::GetBrowserContentBounds(Rect* bounds) const {
  HIRect view = CGRectMake(0, 0, 0, 0);
  HIViewGetBounds(GetSysView(), &view);
  *bounds = RectOf(view);
  Rect insets;
  if (GetScrollBarInset(&insets) == noErr) {
    bounds->left = static_cast<short>(bounds->left + insets.left);
    bounds->top = static_cast<short>(bounds->top + insets.top);
    bounds->right = static_cast<short>(bounds->right - insets.right - kContentBoundsMargin);
    bounds->bottom = static_cast<short>(bounds->bottom - insets.bottom - kContentBoundsMargin);
  }
}

void DataBrowser::GetItemBounds(DataBrowserItem const* item, Rect* bounds) const {
  // The union starts from the first column that answers: an empty start would be kept by the
  // union and stretch the result to the view's origin.
  Rect all{0, 0, 0, 0};
  bool any = false;
  const UInt32 columns = GetColumnCount();
  for (UInt32 index = 0; index < columns; ++index) {
    DataBrowserTableViewColumnID property = 0;
    Rect part;
    if (GetTableViewColumnProperty(index, &property) != noErr ||
        GetItemPartBounds(item, property, kDataBrowserPropertyEnclosingPart, &part) != noErr)
      continue;
    if (any)
      UnionRect(&all, &part, &all);
    else
      all = part;
    any = true;
  }
  Rect content;
  GetBrowserContentBounds(&content);
  SectRect(&all, &content, bounds);
}

OSStatus DataBrowser::SetSortOrder(DataBrowserSortOrder order) {
  return SetDataBrowserSortOrder(GetSysView(), order);
}

OSStatus DataBrowser::SetSortProperty(DataBrowserPropertyID property) {
  return SetDataBrowserSortProperty(GetSysView(), property);
}

OSStatus DataBrowser::SetListViewDisclosureColumn(DataBrowserTableViewColumnID column,
                                                  Boolean expandableRows) {
  return SetDataBrowserListViewDisclosureColumn(GetSysView(), column, expandableRows);
}

OSStatus DataBrowser::GetScrollBarInset(Rect* insets) const {
  return GetDataBrowserScrollBarInset(GetSysView(), insets);
}

OSStatus DataBrowser::GetItemPartBounds(DataBrowserItem const* item, DataBrowserPropertyID property,
                                        DataBrowserPropertyPart part, Rect* bounds) const {
  return GetDataBrowserItemPartBounds(GetSysView(), IDOf(item), property, part, bounds);
}

OSStatus DataBrowser::GetTableViewColumnProperty(DataBrowserTableViewColumnIndex index,
                                                 DataBrowserTableViewColumnID* property) const {
  return GetDataBrowserTableViewColumnProperty(GetSysView(), index, property);
}

DataBrowserTableViewHiliteStyle DataBrowser::GetHiliteStyle() const {
  DataBrowserTableViewHiliteStyle style = kDataBrowserTableViewMinimalHilite;
  if (GetDataBrowserTableViewHiliteStyle(GetSysView(), &style) != noErr)
    return kDataBrowserTableViewMinimalHilite;
  return style;
}

// --- operations the callbacks reach

OSStatus DataBrowser::GetSetItemData(DataBrowserItem* item, DataBrowserPropertyID property,
                                     DataBrowserItemDataRef itemData, Boolean setValue) {
  // No row to answer for: say so rather than claim data that was never set.
  if (!m_Alive || item == nullptr)
    return errDataBrowserPropertyNotSupported;
  return item->GetSetData(property, itemData, setValue);
}

bool DataBrowser::CompareItems(DataBrowserItem* item1, DataBrowserItem* item2,
                               DataBrowserPropertyID sortProperty) {
  if (!m_Alive || item1 == nullptr)
    return false;
  return item1->CompareToItem(item2, sortProperty);
}

void DataBrowser::ItemNotification(DataBrowserItem* item, DataBrowserItemNotification message,
                                   DataBrowserItemDataRef itemData) {
  if (!m_Alive || item == nullptr)
    return;
  if (message == kDataBrowserItemAdded)
    item->SetBrowser(this);
  if (message == kDataBrowserItemDoubleClicked)
    NotifySelectedItems(message, itemData);
  else
    item->HandleNotification(message, itemData);
}

namespace {
struct SelectedNotification {
  DataBrowserItemNotification message;
  DataBrowserItemDataRef data;
};
}  // namespace

void DataBrowser::NotifySelectedItem(DataBrowserItemID item, DataBrowserItemState, void* data) {
  auto const* notification = static_cast<SelectedNotification const*>(data);
  if (DataBrowserItem* row = ItemOf(item))
    row->HandleNotification(notification->message, notification->data);
}

void DataBrowser::NotifySelectedItems(DataBrowserItemNotification message,
                                      DataBrowserItemDataRef itemData) {
  if (!m_Alive)
    return;
  struct Procedure {
    DataBrowserItemUPP upp = NewDataBrowserItemUPP(NotifySelectedItem);
    ~Procedure() { DisposeDataBrowserItemUPP(upp); }
  } procedure;
  SelectedNotification notification{message, itemData};
  ForEachDataBrowserItem(GetSysView(), kDataBrowserNoItem, true, kDataBrowserItemIsSelected,
                         procedure.upp, &notification);
}

bool DataBrowser::AddDragItem(DragRef drag, DataBrowserItem* item, DragItemRef* itemRef) {
  if (!m_Alive || item == nullptr)
    return false;
  m_DropTarget = nullptr;
  return item->AddDragFlavors(drag, itemRef);
}

template <class Ask>
bool DataBrowser::AskEveryDragItem(DragRef drag, Ask ask) {
  UInt16 count = 0;
  CountDragItems(drag, &count);
  bool answer = true;
  for (UInt16 index = 1; index <= count && answer; ++index) {
    DragItemRef reference = 0;
    GetDragItemReferenceNumber(drag, index, &reference);
    answer = ask(reference);
  }
  return answer;
}

bool DataBrowser::DragIsAcceptable(DragRef drag, DataBrowserItem* targetItem) {
  if (!m_Alive)
    return false;
  const bool accepted = AskEveryDragItem(drag, [&](DragItemRef reference) {
    return targetItem ? targetItem->ItemIsAcceptable(drag, reference)
                      : ItemIsAcceptable(drag, reference);
  });
  // Only an accepting row is a drop target: a refused drag or the empty area shows no indicator.
  m_DropTarget = accepted ? targetItem : nullptr;
  if (targetItem) {
    const DataBrowserItemID id = IDOf(targetItem);
    UpdateDataBrowserItems(GetSysView(), kDataBrowserNoItem, 1, &id, 0, kDataBrowserItemNoProperty);
  }
  return accepted;
}

bool DataBrowser::ItemIsAcceptable(DragRef, DragItemRef) {
  return false;
}

bool DataBrowser::ReceiveDrag(DragRef drag, DataBrowserItem* targetItem) {
  if (!m_Alive)
    return false;
  return AskEveryDragItem(drag, [&](DragItemRef reference) {
    return targetItem ? targetItem->ReceiveDragItem(drag, reference)
                      : ReceiveDragItem(drag, reference);
  });
}

bool DataBrowser::ReceiveDragItem(DragRef, DragItemRef) {
  return false;
}

void DataBrowser::PostProcessDrag(DragRef, OSStatus) {
  if (!m_Alive)
    return;
  m_DropTarget = nullptr;
  Refresh();
}

void DataBrowser::GetContextualMenu(MenuRef*, UInt32*, CFStringRef*, AEDesc*) {}

void DataBrowser::SelectContextualMenu(MenuRef, UInt32, SInt16, MenuItemIndex) {}

void DataBrowser::GetHelpContent(DataBrowserItem*, DataBrowserPropertyID, HMContentRequest,
                                 HMContentProvidedType*, HMHelpContentPtr) {}

void DataBrowser::DrawItem(DataBrowserItem* item, DataBrowserPropertyID property,
                           DataBrowserItemState itemState, Rect const* rect, SInt16 gdDepth,
                           Boolean colorDevice) {
  if (!m_Alive || item == nullptr)
    return;
  Quietly(kCallback, [&] {
    if (m_DrawContext) {
      CGContextSaveGState(m_DrawContext);
      OSStatus answer = eventNotHandledErr;
      try {
        answer = item->CustomDrawItem(property, itemState, CGRectOf(*rect), m_DrawContext);
      } catch (...) {
        CGContextRestoreGState(m_DrawContext);
        throw;
      }
      CGContextRestoreGState(m_DrawContext);
      if (answer != eventNotHandledErr)
        return;
    }
    item->CustomDrawItem(property, itemState, rect, gdDepth, colorDevice);
  });
}

bool DataBrowser::EditItem(DataBrowserItem* item, DataBrowserPropertyID property, CFStringRef text,
                           Rect* maxRect, Boolean* shrinkToFit) {
  if (!m_Alive || item == nullptr)
    return false;
  return Neutral(kCallback, false,
                 [&] { return item->CustomEditItem(property, text, maxRect, shrinkToFit); });
}

bool DataBrowser::HitTest(DataBrowserItem* item, DataBrowserPropertyID property, Rect const* rect,
                          Rect const* mouseRect) {
  if (!m_Alive || item == nullptr)
    return false;
  return Neutral(kCallback, false, [&] { return item->CustomHitTest(property, rect, mouseRect); });
}

DataBrowserTrackingResult DataBrowser::TrackItem(DataBrowserItem* item,
                                                 DataBrowserPropertyID property, Rect const* rect,
                                                 Point startPt, EventModifiers modifiers) {
  if (!m_Alive || item == nullptr)
    return kDataBrowserContentHit;
  return Neutral<DataBrowserTrackingResult>(kCallback, kDataBrowserContentHit, [&] {
    return item->CustomTrack(property, rect, startPt, modifiers);
  });
}

void DataBrowser::ItemDragRgn(DataBrowserItem* item, DataBrowserPropertyID property,
                              Rect const* rect, RgnHandle dragRgn) {
  if (!m_Alive || item == nullptr)
    return;
  Quietly(kCallback, [&] { item->CustomDragRgn(property, rect, dragRgn); });
}

// --- drawing

OSStatus DataBrowser::DoControlDraw(PPx::SysCarbonEvent& event, ControlRef, ControlPartCode,
                                    RgnHandle, CGContextRef context) {
  struct ContextScope {
    CGContextRef& slot;
    ~ContextScope() { slot = nullptr; }
  } scope{m_DrawContext};
  m_DrawContext = context;
  event.CallNextHandler();
  if (m_DropTarget && context)
    DrawDropIndicator(context);
  return noErr;
}

void DataBrowser::DrawDropIndicator(CGContextRef context) {
  // The mouse in the view's own coordinates, where the row bounds are.
  Point global{0, 0};
  GetGlobalMouse(&global);
  CGPoint mouse = CGPointMake(0, 0);
  if (ViewUtils::GlobalToHIViewPoint(GetSysView(), global, &mouse) != noErr)
    return;
  Rect bounds;
  GetItemBounds(m_DropTarget, &bounds);
  const long v = static_cast<long>(mouse.y);
  const long middle = (static_cast<long>(bounds.top) + bounds.bottom) / 2;
  long y = 0;
  if (bounds.top <= v && v <= middle) {
    y = bounds.top;
    m_DropAbove = true;
  } else if (middle <= v && v <= bounds.bottom) {
    y = bounds.bottom + 1;
    m_DropAbove = false;
  } else {
    return;
  }
  RGBColor color{0, 0, 0};
  GetThemeBrushAsColor(kFocusBrush, m_DropTarget->GetGDDepth(), true, &color);
  CGContextSaveGState(context);
  CGContextSetRGBStrokeColor(context, color.red / 65535.0f, color.green / 65535.0f,
                             color.blue / 65535.0f, 1.0f);
  CGContextSetLineWidth(context, 2.0f);
  CGContextBeginPath(context);
  CGContextAddArc(context, bounds.left + 6, y, 3, 0, 6.28f, 0);
  CGContextMoveToPoint(context, bounds.left + 9, y);
  CGContextAddLineToPoint(context, bounds.right, y);
  CGContextClosePath(context);
  CGContextStrokePath(context);
  CGContextRestoreGState(context);
}

// --- the callback procedures: the browser from the control's reference, neutral without one

DataBrowser* DataBrowser::BrowserOf(ControlRef control) {
  return reinterpret_cast<DataBrowser*>(GetControlReference(control));
}

OSStatus DataBrowser::DBCallbackGetSetItemData(ControlRef browser, DataBrowserItemID item,
                                               DataBrowserPropertyID property,
                                               DataBrowserItemDataRef itemData, Boolean setValue) {
  DataBrowser* object = BrowserOf(browser);
  if (object == nullptr)
    return errDataBrowserPropertyNotSupported;
  return Neutral<OSStatus>(kCallback, errDataBrowserPropertyNotSupported, [&] {
    return object->GetSetItemData(ItemOf(item), property, itemData, setValue);
  });
}

Boolean DataBrowser::DBCallbackCompare(ControlRef browser, DataBrowserItemID item1,
                                       DataBrowserItemID item2,
                                       DataBrowserPropertyID sortProperty) {
  DataBrowser* object = BrowserOf(browser);
  if (object == nullptr)
    return false;
  return Neutral(kCallback, false,
                 [&] { return object->CompareItems(ItemOf(item1), ItemOf(item2), sortProperty); });
}

void DataBrowser::DBCallbackItemNotification(ControlRef browser, DataBrowserItemID item,
                                             DataBrowserItemNotification message,
                                             DataBrowserItemDataRef itemData) {
  DataBrowser* object = BrowserOf(browser);
  if (object == nullptr)
    return;
  // A row that goes is no longer a drop target, whatever a derived browser does with the message.
  if (message == kDataBrowserItemRemoved && object->m_DropTarget == ItemOf(item))
    object->m_DropTarget = nullptr;
  Quietly(kCallback, [&] { object->ItemNotification(ItemOf(item), message, itemData); });
}

Boolean DataBrowser::DBCallbackAddDragItem(ControlRef browser, DragRef drag, DataBrowserItemID item,
                                           DragItemRef* itemRef) {
  DataBrowser* object = BrowserOf(browser);
  if (object == nullptr)
    return false;
  return Neutral(kCallback, false,
                 [&] { return object->AddDragItem(drag, ItemOf(item), itemRef); });
}

Boolean DataBrowser::DBCallbackAcceptDrag(ControlRef browser, DragRef drag,
                                          DataBrowserItemID item) {
  DataBrowser* object = BrowserOf(browser);
  if (object == nullptr)
    return false;
  return Neutral(kCallback, false, [&] { return object->DragIsAcceptable(drag, ItemOf(item)); });
}

Boolean DataBrowser::DBCallbackReceiveDrag(ControlRef browser, DragRef drag,
                                           DataBrowserItemID item) {
  DataBrowser* object = BrowserOf(browser);
  if (object == nullptr)
    return false;
  return Neutral(kCallback, false, [&] { return object->ReceiveDrag(drag, ItemOf(item)); });
}

void DataBrowser::DBCallbackPostProcessDrag(ControlRef browser, DragRef drag, OSStatus result) {
  if (DataBrowser* object = BrowserOf(browser))
    Quietly(kCallback, [&] { object->PostProcessDrag(drag, result); });
}

void DataBrowser::DBCallbackGetHelpContent(ControlRef browser, DataBrowserItemID item,
                                           DataBrowserPropertyID property, HMContentRequest request,
                                           HMContentProvidedType* outContentProvided,
                                           HMHelpContentPtr content) {
  if (DataBrowser* object = BrowserOf(browser))
    Quietly(kCallback, [&] {
      object->GetHelpContent(ItemOf(item), property, request, outContentProvided, content);
    });
}

void DataBrowser::DBCallbackGetContextualMenu(ControlRef browser, MenuRef* menu, UInt32* helpType,
                                              CFStringRef* helpItemString, AEDesc* selection) {
  if (DataBrowser* object = BrowserOf(browser))
    Quietly(kCallback,
            [&] { object->GetContextualMenu(menu, helpType, helpItemString, selection); });
}

void DataBrowser::DBCallbackSelectContextualMenu(ControlRef browser, MenuRef menu,
                                                 UInt32 selectionType, SInt16 menuID,
                                                 MenuItemIndex menuItem) {
  if (DataBrowser* object = BrowserOf(browser))
    Quietly(kCallback,
            [&] { object->SelectContextualMenu(menu, selectionType, menuID, menuItem); });
}

void DataBrowser::DBCallbackDrawItem(ControlRef browser, DataBrowserItemID item,
                                     DataBrowserPropertyID property, DataBrowserItemState itemState,
                                     Rect const* rect, SInt16 gdDepth, Boolean colorDevice) {
  if (DataBrowser* object = BrowserOf(browser))
    Quietly(kCallback, [&] {
      object->DrawItem(ItemOf(item), property, itemState, rect, gdDepth, colorDevice);
    });
}

Boolean DataBrowser::DBCallbackEditItem(ControlRef browser, DataBrowserItemID item,
                                        DataBrowserPropertyID property, CFStringRef text,
                                        Rect* maxRect, Boolean* shrinkToFit) {
  DataBrowser* object = BrowserOf(browser);
  if (object == nullptr)
    return false;
  return Neutral(kCallback, false, [&] {
    return object->EditItem(ItemOf(item), property, text, maxRect, shrinkToFit);
  });
}

Boolean DataBrowser::DBCallbackHitTest(ControlRef browser, DataBrowserItemID item,
                                       DataBrowserPropertyID property, Rect const* rect,
                                       Rect const* mouseRect) {
  DataBrowser* object = BrowserOf(browser);
  if (object == nullptr)
    return false;
  return Neutral(kCallback, false,
                 [&] { return object->HitTest(ItemOf(item), property, rect, mouseRect); });
}

DataBrowserTrackingResult DataBrowser::DBCallbackTracking(ControlRef browser,
                                                          DataBrowserItemID item,
                                                          DataBrowserPropertyID property,
                                                          Rect const* rect, Point startPt,
                                                          EventModifiers modifiers) {
  DataBrowser* object = BrowserOf(browser);
  if (object == nullptr)
    return kDataBrowserContentHit;
  return Neutral<DataBrowserTrackingResult>(kCallback, kDataBrowserContentHit, [&] {
    return object->TrackItem(ItemOf(item), property, rect, startPt, modifiers);
  });
}

void DataBrowser::DBCallbackItemDragRgn(ControlRef browser, DataBrowserItemID item,
                                        DataBrowserPropertyID property, Rect const* rect,
                                        RgnHandle dragRgn) {
  if (DataBrowser* object = BrowserOf(browser))
    Quietly(kCallback, [&] { object->ItemDragRgn(ItemOf(item), property, rect, dragRgn); });
}

}  // namespace PPXA
