// Data Browser of the Mac stand-in: a list view kept as a model on a "browser" view.
//
// Items are pointer-sized ids under containers (0 is the root); a container's children are shown
// while it is open. Rows are the shown items, depth first, each container's children in their
// sort order: with a sort property and a compare callback the children are sorted stably (equal
// items keep the order they were added in), decreasing order reversing the comparison. The
// columns come from the nib (property, title, kind, width); rows are a fixed height from the top
// of the view (no header), columns side by side from its left. Part bounds are view-local; a row
// that lies outside the view, or inside a closed container, is not shown
// (errDataBrowserItemNotFound).
//
// Callbacks: the standard draw of the view asks the item-data callback once per shown cell of each
// column that is not custom (the answers set through SetDataBrowserItemData* are kept for tests,
// StandIn_DataBrowserCellText and friends) and calls the custom draw callback for each shown
// custom cell (state: selected or not; depth 32, colour device) with the window's port current.
// Notifications: 1 for each added item (after the sort), 5 and 6 when the selection changes, 6
// then 2 for a selected item that is removed (2 alone otherwise; the children of a removed
// container first), 7 for a double-clicked item, 8 when a container opens, 9 before it closes (its
// children are then removed). Removal with no container and no list removes every item.
// ForEachDataBrowserItem walks a snapshot taken before the first call. A C++ exception that leaves
// a callback is caught at the boundary, written to the error stream, counted
// (StandIn_DataBrowserCallbackExceptionCount) and answered with the callback's neutral answer.
//
// Every call joins the per-call failure injection by name (StandIn_FilesFailNext in
// CoreServices/Files.h) and answers the injected status without doing anything.
#pragma once
#include <CoreFoundation/CFString.h>
#include <HIToolbox/Controls.h>
#include <HIToolbox/Drag.h>
#include <HIToolbox/Menus.h>
#include <HIServices/Icons.h>
#include <QD/QuickDraw.h>

#include <cstdint>
#include <string>

typedef std::uintptr_t DataBrowserItemID;
typedef UInt32 DataBrowserPropertyID;
typedef OSType DataBrowserPropertyType;
typedef OSType DataBrowserPropertyPart;
typedef UInt32 DataBrowserItemState;
typedef UInt32 DataBrowserItemNotification;
typedef UInt32 DataBrowserSetOption;
typedef UInt16 DataBrowserSortOrder;
typedef UInt32 DataBrowserTableViewColumnIndex;
typedef DataBrowserPropertyID DataBrowserTableViewColumnID;
typedef UInt32 DataBrowserTableViewHiliteStyle;
typedef UInt16 DataBrowserTableViewRowHeight;
typedef SInt16 DataBrowserTrackingResult;
typedef UInt16 EventModifiers;
typedef SInt16 HMContentRequest;
typedef SInt16 HMContentProvidedType;
struct HMHelpContentRec;
typedef HMHelpContentRec* HMHelpContentPtr;
struct StandIn_DataBrowserCell;
typedef StandIn_DataBrowserCell* DataBrowserItemDataRef;

constexpr DataBrowserItemID kDataBrowserNoItem = 0;

enum : DataBrowserItemState {
  kDataBrowserItemNoState = 0,
  kDataBrowserItemIsSelected = 1,
  kDataBrowserContainerIsOpen = 2,
  kDataBrowserItemAnyState = 0xFFFFFFFF
};

enum : DataBrowserItemNotification {
  kDataBrowserItemAdded = 1,
  kDataBrowserItemRemoved = 2,
  kDataBrowserItemSelected = 5,
  kDataBrowserItemDeselected = 6,
  kDataBrowserItemDoubleClicked = 7,
  kDataBrowserContainerOpened = 8,
  kDataBrowserContainerClosing = 9
};

enum : DataBrowserPropertyID {
  kDataBrowserItemNoProperty = 0,
  kDataBrowserItemIsContainerProperty = 6
};

enum : DataBrowserPropertyType {
  kDataBrowserCustomType = 0x3f3f3f3f,       // '????'
  kDataBrowserTextType = 0x74657874,         // 'text'
  kDataBrowserIconAndTextType = 0x7469636e,  // 'ticn'
  kDataBrowserCheckboxType = 0x63686278,     // 'chbx'
  kDataBrowserDateTimeType = 0x64617465      // 'date'
};

enum : DataBrowserPropertyPart {
  kDataBrowserPropertyEnclosingPart = 0,
  kDataBrowserPropertyContentPart = 0x2d2d2d2d,    // '----'
  kDataBrowserPropertyDisclosurePart = 0x64697363  // 'disc'
};

enum : DataBrowserSetOption {
  kDataBrowserItemsAdd = 0,
  kDataBrowserItemsAssign = 1,
  kDataBrowserItemsToggle = 2,
  kDataBrowserItemsRemove = 3
};

enum : DataBrowserSortOrder {
  kDataBrowserOrderUndefined = 0,
  kDataBrowserOrderIncreasing = 1,
  kDataBrowserOrderDecreasing = 2
};

enum : DataBrowserTableViewHiliteStyle {
  kDataBrowserTableViewMinimalHilite = 0,
  kDataBrowserTableViewFillHilite = 1
};

enum : DataBrowserTrackingResult {
  kDataBrowserStopTracking = -1,
  kDataBrowserNothingHit = 0,
  kDataBrowserContentHit = 1
};

constexpr OSStatus errDataBrowserNotConfigured = -4970;
constexpr OSStatus errDataBrowserItemNotFound = -4971;
constexpr OSStatus errDataBrowserPropertyNotFound = -4972;
constexpr OSStatus errDataBrowserInvalidPropertyPart = -4973;
constexpr OSStatus errDataBrowserInvalidPropertyData = -4974;
constexpr OSStatus errDataBrowserItemNotAdded = -4975;
constexpr OSStatus errDataBrowserPropertyNotSupported = -4979;

// Standard callbacks.
typedef OSStatus (*DataBrowserItemDataProcPtr)(ControlRef browser, DataBrowserItemID item,
                                               DataBrowserPropertyID property,
                                               DataBrowserItemDataRef itemData, Boolean setValue);
typedef Boolean (*DataBrowserItemCompareProcPtr)(ControlRef browser, DataBrowserItemID itemOne,
                                                 DataBrowserItemID itemTwo,
                                                 DataBrowserPropertyID sortProperty);
typedef void (*DataBrowserItemNotificationWithItemProcPtr)(ControlRef browser,
                                                           DataBrowserItemID item,
                                                           DataBrowserItemNotification message,
                                                           DataBrowserItemDataRef itemData);
typedef Boolean (*DataBrowserAddDragItemProcPtr)(ControlRef browser, DragRef theDrag,
                                                 DataBrowserItemID item, DragItemRef* itemRef);
typedef Boolean (*DataBrowserAcceptDragProcPtr)(ControlRef browser, DragRef theDrag,
                                                DataBrowserItemID item);
typedef Boolean (*DataBrowserReceiveDragProcPtr)(ControlRef browser, DragRef theDrag,
                                                 DataBrowserItemID item);
typedef void (*DataBrowserPostProcessDragProcPtr)(ControlRef browser, DragRef theDrag,
                                                  OSStatus trackDragResult);
typedef void (*DataBrowserItemHelpContentProcPtr)(ControlRef browser, DataBrowserItemID item,
                                                  DataBrowserPropertyID property,
                                                  HMContentRequest inRequest,
                                                  HMContentProvidedType* outContentProvided,
                                                  HMHelpContentPtr ioHelpContent);
typedef void (*DataBrowserGetContextualMenuProcPtr)(ControlRef browser, MenuRef* menu,
                                                    UInt32* helpType, CFStringRef* helpItemString,
                                                    AEDesc* selection);
typedef void (*DataBrowserSelectContextualMenuProcPtr)(ControlRef browser, MenuRef menu,
                                                       UInt32 selectionType, SInt16 menuID,
                                                       MenuItemIndex menuItem);
// Custom callbacks.
typedef void (*DataBrowserDrawItemProcPtr)(ControlRef browser, DataBrowserItemID item,
                                           DataBrowserPropertyID property,
                                           DataBrowserItemState itemState, const Rect* theRect,
                                           SInt16 gdDepth, Boolean colorDevice);
typedef Boolean (*DataBrowserEditItemProcPtr)(ControlRef browser, DataBrowserItemID item,
                                              DataBrowserPropertyID property, CFStringRef theString,
                                              Rect* maxEditTextRect, Boolean* shrinkToFit);
typedef Boolean (*DataBrowserHitTestProcPtr)(ControlRef browser, DataBrowserItemID itemID,
                                             DataBrowserPropertyID property, const Rect* theRect,
                                             const Rect* mouseRect);
typedef DataBrowserTrackingResult (*DataBrowserTrackingProcPtr)(ControlRef browser,
                                                                DataBrowserItemID itemID,
                                                                DataBrowserPropertyID property,
                                                                const Rect* theRect, Point startPt,
                                                                EventModifiers modifiers);
typedef void (*DataBrowserItemDragRgnProcPtr)(ControlRef browser, DataBrowserItemID itemID,
                                              DataBrowserPropertyID property, const Rect* theRect,
                                              RgnHandle dragRgn);
typedef void (*DataBrowserItemProcPtr)(DataBrowserItemID item, DataBrowserItemState state,
                                       void* clientData);

// The procedures are the functions themselves; New and Dispose count them for tests
// (StandIn_DataBrowserUPPLiveCount).
// Every procedure kind, for the declarations here and the definitions in the stand-in.
#define STANDIN_DATABROWSER_UPPS(X)                                                                \
  X(DataBrowserItemData)                                                                           \
  X(DataBrowserItemCompare)                                                                        \
  X(DataBrowserItemNotificationWithItem)                                                           \
  X(DataBrowserAddDragItem)                                                                        \
  X(DataBrowserAcceptDrag)                                                                         \
  X(DataBrowserReceiveDrag)                                                                        \
  X(DataBrowserPostProcessDrag)                                                                    \
  X(DataBrowserItemHelpContent)                                                                    \
  X(DataBrowserGetContextualMenu)                                                                  \
  X(DataBrowserSelectContextualMenu)                                                               \
  X(DataBrowserDrawItem)                                                                           \
  X(DataBrowserEditItem)                                                                           \
  X(DataBrowserHitTest)                                                                            \
  X(DataBrowserTracking)                                                                           \
  X(DataBrowserItemDragRgn)                                                                        \
  X(DataBrowserItem)
#define STANDIN_DATABROWSER_UPP(Name)                                                              \
  typedef Name##ProcPtr Name##UPP;                                                                 \
  Name##UPP New##Name##UPP(Name##ProcPtr userRoutine);                                             \
  void Dispose##Name##UPP(Name##UPP userUPP);
STANDIN_DATABROWSER_UPPS(STANDIN_DATABROWSER_UPP)
#undef STANDIN_DATABROWSER_UPP

struct DataBrowserCallbacks {
  UInt32 version;
  union {
    struct {
      DataBrowserItemDataUPP itemDataCallback;
      DataBrowserItemCompareUPP itemCompareCallback;
      DataBrowserItemNotificationWithItemUPP itemNotificationCallback;
      DataBrowserAddDragItemUPP addDragItemCallback;
      DataBrowserAcceptDragUPP acceptDragCallback;
      DataBrowserReceiveDragUPP receiveDragCallback;
      DataBrowserPostProcessDragUPP postProcessDragCallback;
      DataBrowserItemHelpContentUPP itemHelpContentCallback;
      DataBrowserGetContextualMenuUPP getContextualMenuCallback;
      DataBrowserSelectContextualMenuUPP selectContextualMenuCallback;
    } v1;
  } u;
};

struct DataBrowserCustomCallbacks {
  UInt32 version;
  union {
    struct {
      DataBrowserDrawItemUPP drawItemCallback;
      DataBrowserEditItemUPP editTextCallback;
      DataBrowserHitTestUPP hitTestCallback;
      DataBrowserTrackingUPP trackingCallback;
      DataBrowserItemDragRgnUPP dragRegionCallback;
    } v1;
  } u;
};

// Version 0 records: every procedure null (paramErr for null or another version).
OSStatus InitDataBrowserCallbacks(DataBrowserCallbacks* callbacks);
OSStatus InitDataBrowserCustomCallbacks(DataBrowserCustomCallbacks* callbacks);
// errDataBrowserNotConfigured for a view that is not a browser (every call below).
OSStatus SetDataBrowserCallbacks(ControlRef browser, const DataBrowserCallbacks* callbacks);
OSStatus SetDataBrowserCustomCallbacks(ControlRef browser,
                                       const DataBrowserCustomCallbacks* callbacks);

// Items. errDataBrowserItemNotFound for an unknown container, errDataBrowserItemNotAdded for an
// id that is 0 or already there (nothing is added then).
OSStatus AddDataBrowserItems(ControlRef browser, DataBrowserItemID container, ItemCount numItems,
                             const DataBrowserItemID* items, DataBrowserPropertyID preSortProperty);
// Unknown ids are skipped; a null list with no container removes every item, with a container
// its children.
OSStatus RemoveDataBrowserItems(ControlRef browser, DataBrowserItemID container, ItemCount numItems,
                                const DataBrowserItemID* items,
                                DataBrowserPropertyID preSortProperty);
// Redraw requests (counted, StandIn_DataBrowserUpdateCount); a list of the single id 0 means all.
OSStatus UpdateDataBrowserItems(ControlRef browser, DataBrowserItemID container, ItemCount numItems,
                                const DataBrowserItemID* items,
                                DataBrowserPropertyID preSortProperty,
                                DataBrowserPropertyID propertyID);
OSStatus SortDataBrowserContainer(ControlRef browser, DataBrowserItemID container,
                                  Boolean sortChildren);
OSStatus OpenDataBrowserContainer(ControlRef browser, DataBrowserItemID container);
OSStatus CloseDataBrowserContainer(ControlRef browser, DataBrowserItemID container);

// Queries. The handle is resized to hold the matching ids (DataBrowserItemID each), in row order.
OSStatus GetDataBrowserItems(ControlRef browser, DataBrowserItemID container, Boolean recurse,
                             DataBrowserItemState state, Handle items);
OSStatus GetDataBrowserItemCount(ControlRef browser, DataBrowserItemID container, Boolean recurse,
                                 DataBrowserItemState state, ItemCount* numItems);
// The snapshot is taken first: callbacks may add or remove items.
OSStatus ForEachDataBrowserItem(ControlRef browser, DataBrowserItemID container, Boolean recurse,
                                DataBrowserItemState state, DataBrowserItemUPP callback,
                                void* clientData);
Boolean IsDataBrowserItemSelected(ControlRef browser, DataBrowserItemID item);
OSStatus GetDataBrowserItemState(ControlRef browser, DataBrowserItemID item,
                                 DataBrowserItemState* state);
// The first and last selected rows (0 when none).
OSStatus GetDataBrowserSelectionAnchor(ControlRef browser, DataBrowserItemID* first,
                                       DataBrowserItemID* last);
OSStatus SetDataBrowserSelectedItems(ControlRef browser, ItemCount numItems,
                                     const DataBrowserItemID* items,
                                     DataBrowserSetOption operation);
// Rows count from 0; errDataBrowserItemNotFound past the last.
OSStatus GetDataBrowserTableViewItemID(ControlRef browser, UInt32 row, DataBrowserItemID* item);
OSStatus GetDataBrowserTableViewItemRow(ControlRef browser, DataBrowserItemID item, UInt32* row);
OSStatus GetDataBrowserTableViewColumnCount(ControlRef browser, UInt32* numColumns);
// errDataBrowserPropertyNotFound past the last column.
OSStatus GetDataBrowserTableViewColumnProperty(ControlRef browser,
                                               DataBrowserTableViewColumnIndex column,
                                               DataBrowserTableViewColumnID* property);

// Geometry.
OSStatus GetDataBrowserItemPartBounds(ControlRef browser, DataBrowserItemID item,
                                      DataBrowserPropertyID property, DataBrowserPropertyPart part,
                                      Rect* bounds);
OSStatus SetDataBrowserTableViewRowHeight(ControlRef browser, UInt16 height);
OSStatus GetDataBrowserTableViewRowHeight(ControlRef browser, UInt16* height);
OSStatus SetDataBrowserTableViewNamedColumnWidth(ControlRef browser,
                                                 DataBrowserTableViewColumnID column, UInt16 width);
OSStatus SetDataBrowserScrollBarInset(ControlRef browser, Rect* insetRect);
OSStatus GetDataBrowserScrollBarInset(ControlRef browser, Rect* insetRect);
OSStatus SetDataBrowserTableViewHiliteStyle(ControlRef browser,
                                            DataBrowserTableViewHiliteStyle hiliteStyle);
OSStatus GetDataBrowserTableViewHiliteStyle(ControlRef browser,
                                            DataBrowserTableViewHiliteStyle* hiliteStyle);

// Sorting and disclosure.
OSStatus SetDataBrowserSortProperty(ControlRef browser, DataBrowserPropertyID property);
OSStatus GetDataBrowserSortProperty(ControlRef browser, DataBrowserPropertyID* property);
OSStatus SetDataBrowserSortOrder(ControlRef browser, DataBrowserSortOrder order);
OSStatus GetDataBrowserSortOrder(ControlRef browser, DataBrowserSortOrder* order);
OSStatus SetDataBrowserListViewDisclosureColumn(ControlRef browser,
                                                DataBrowserTableViewColumnID column,
                                                Boolean expandableRows);

// Answers of the item-data callback; errDataBrowserInvalidPropertyData for a null reference.
OSStatus SetDataBrowserItemDataText(DataBrowserItemDataRef itemData, CFStringRef theData);
OSStatus SetDataBrowserItemDataIcon(DataBrowserItemDataRef itemData, IconRef theData);
OSStatus SetDataBrowserItemDataButtonValue(DataBrowserItemDataRef itemData, SInt16 theData);
OSStatus SetDataBrowserItemDataDateTime(DataBrowserItemDataRef itemData, UInt32 theData);
OSStatus SetDataBrowserItemDataBooleanValue(DataBrowserItemDataRef itemData, Boolean theData);
OSStatus GetDataBrowserItemDataProperty(DataBrowserItemDataRef itemData,
                                        DataBrowserPropertyID* property);

// Test hooks.
// Procedures made and not yet disposed (all kinds together).
long StandIn_DataBrowserUPPLiveCount();
long StandIn_DataBrowserCallbackExceptionCount();
// How often UpdateDataBrowserItems was called on the browser.
long StandIn_DataBrowserUpdateCount(ControlRef browser);
// Asks the item-data callback for each shown cell and draws the custom cells, as the view's draw
// does, without a window (no port, no context).
OSStatus StandIn_DataBrowserAskShownCells(ControlRef browser);
// How often the item-data callback was asked for the cell; its last answer as text (UTF-8, empty
// for none), button value, date and whether an icon was given; the callback's last status.
long StandIn_DataBrowserCellAskCount(ControlRef browser, DataBrowserItemID item,
                                     DataBrowserPropertyID property);
std::string StandIn_DataBrowserCellText(ControlRef browser, DataBrowserItemID item,
                                        DataBrowserPropertyID property);
SInt16 StandIn_DataBrowserCellButtonValue(ControlRef browser, DataBrowserItemID item,
                                          DataBrowserPropertyID property);
OSStatus StandIn_DataBrowserCellStatus(ControlRef browser, DataBrowserItemID item,
                                       DataBrowserPropertyID property);
// A click at a view-local point: on a custom cell the hit-test callback (mouse rectangle 1 x 1)
// and then the tracking callback decide whether it reaches the row (kDataBrowserContentHit); on
// a container's disclosure part it toggles the container. Otherwise the click selects the row
// alone, with shiftKey extends the selection from the anchor's row to it, with cmdKey toggles
// it; on no row a plain click deselects all. The second click of a double-click (clickCount 2)
// leaves the selection as the first made it, sends 7 for the row and opens or closes a container
// when the disclosure column expands on double-clicks. Answers the row's item, 0 for none.
DataBrowserItemID StandIn_DataBrowserClick(ControlRef browser, HIPoint where, UInt32 modifiers,
                                           UInt32 clickCount);
// A drag out of the browser: the add-drag-item callback for each selected row in row order, and
// the drag-region callback for each of its custom cells into dragRgn (made empty first; may be
// null). Answers how many rows the callback accepted.
long StandIn_DataBrowserStartDrag(ControlRef browser, DragRef drag, RgnHandle dragRgn);
// A drag over the browser at a view-local point: puts the mouse there (global) and asks the
// accept-drag callback with the row under it (0 over the empty area). Nothing when drag tracking
// is off (false).
Boolean StandIn_DataBrowserDragOver(ControlRef browser, DragRef drag, HIPoint where);
// Ends the drag: with drop, when the last DragOver was accepted, the receive-drag callback for the
// row under the point; then the post-process callback with noErr for a received drop,
// dragNotAcceptedErr otherwise (userCanceledErr without drop). Answers the receive callback's.
Boolean StandIn_DataBrowserEndDrag(ControlRef browser, DragRef drag, HIPoint where, Boolean drop);
// The custom edit callback for the cell with the text; answers its result.
Boolean StandIn_DataBrowserEditCell(ControlRef browser, DataBrowserItemID item,
                                    DataBrowserPropertyID property, CFStringRef text);
