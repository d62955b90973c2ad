// An object face on the Data Browser control of a nib window: every row is a DataBrowserItem
// object whose address is the control's item id, and the control's callbacks reach virtual
// operations of the browser and of its rows. Derived browsers override the drag, notification and
// comparison operations; derived rows the data, comparison, notification, drag and drawing ones.
//
// Ownership: inserted rows belong to the control. Removing a row makes the control send
// kDataBrowserItemRemoved, on which the row deletes itself (unless a derived row overrides
// HandleNotification). The destructor removes every row while the browser still answers, so rows
// left at a window's close are deleted too, and only then stops answering: callbacks that come
// later (the control's own tear-down) give neutral answers and reach no row.
//
// A drag over a row that accepts it records that row as the drop target and draws the drop-position
// indicator over it: a line above the row while the mouse is in its upper half, below it while in
// its lower half. A refused drag, the empty area, the start or end of a drag and the removal of the
// target row clear it.
#pragma once

#include <HIToolbox/Appearance.h>
#include <HIToolbox/DataBrowser.h>
#include <PPx/PPxViewDoers.h>
#include <PPx/PPxView.h>

#include <vector>

namespace PPXA {

class DataBrowser;

class DataBrowserItem {
public:
  DataBrowserItem() = default;
  virtual ~DataBrowserItem() = default;
  DataBrowserItem(DataBrowserItem const&) = delete;
  DataBrowserItem& operator=(DataBrowserItem const&) = delete;

  virtual OSStatus GetSetData(DataBrowserPropertyID property, DataBrowserItemDataRef itemData,
                              Boolean setValue);
  // True when this row sorts before the other.
  virtual bool CompareToItem(DataBrowserItem const* other,
                             DataBrowserPropertyID sortProperty) const;
  // Deletes the row on kDataBrowserItemRemoved.
  virtual void HandleNotification(DataBrowserItemNotification notification,
                                  DataBrowserItemDataRef itemData);
  virtual bool AddDragFlavors(DragRef drag, DragItemRef* itemRef);
  virtual bool ItemIsAcceptable(DragRef drag, DragItemRef itemRef);
  virtual bool ReceiveDragItem(DragRef drag, DragItemRef itemRef);
  virtual void CustomDrawItem(DataBrowserPropertyID property, DataBrowserItemState itemState,
                              Rect const* rect, SInt16 gdDepth, Boolean colorDevice);
  // eventNotHandledErr asks for the QuickDraw variant.
  virtual OSStatus CustomDrawItem(DataBrowserPropertyID property, DataBrowserItemState itemState,
                                  CGRect const& rect, CGContextRef context);
  virtual bool CustomEditItem(DataBrowserPropertyID property, CFStringRef text, Rect* maxRect,
                              Boolean* shrinkToFit);
  virtual bool CustomHitTest(DataBrowserPropertyID property, Rect const* rect,
                             Rect const* mouseRect);
  virtual DataBrowserTrackingResult CustomTrack(DataBrowserPropertyID property, Rect const* rect,
                                                Point startPt, EventModifiers modifiers);
  virtual void CustomDragRgn(DataBrowserPropertyID property, Rect const* rect, RgnHandle dragRgn);
  // The row's part bounds; a row not shown gives visible = false; another failure throws
  // PPx::OSError "unexpected error from GetDataBrowserItemPartBounds()".
  virtual void GetItemPartBounds(DataBrowserPropertyID property, DataBrowserPropertyPart part,
                                 Rect* bounds, bool* visible);
  // Redraws the row's property and re-sorts its siblings.
  virtual void UpdateItem(DataBrowserPropertyID property);

  DataBrowser* GetBrowser() const { return m_Browser; }
  DataBrowserItemID GetParentID() const { return m_Parent; }
  DataBrowserItemID GetID() const { return reinterpret_cast<DataBrowserItemID>(this); }
  void SetBrowser(DataBrowser* browser) { m_Browser = browser; }
  void SetParentID(DataBrowserItemID parent) { m_Parent = parent; }

  // Drawing in the system's style. The depth is the pixel depth of the first browser window
  // asked (1 without one), kept for the process.
  SInt16 GetGDDepth() const;
  ThemeBrush GetHiliteBrush() const;
  ThemeTextColor GetTextColor(DataBrowserItemState itemState) const;
  UInt32 GetIconTransform(DataBrowserItemState itemState) const;
  void DrawHilite(Rect const* rect, SInt16 depth, Boolean colorDevice, long width) const;
  void DrawHilite(Rect const* rect, SInt16 depth, Boolean colorDevice) const;
  void DrawHilite(CGRect const& rect, CGContextRef context, CGFloat width) const;
  void DrawHilite(CGRect const& rect, CGContextRef context) const;
  void DrawHiliteAndText(DataBrowserItemState itemState, CGRect const& rect, CGContextRef context,
                         CFStringRef text, SInt16 justification) const;

private:
  // The painted highlight: fill style widened by 12 on each side within the content bounds,
  // else the cell from its left edge, width wide; false when nothing is to be painted.
  bool HiliteRect(Rect const& cell, long width, Rect* painted) const;

  DataBrowser* m_Browser = nullptr;
  DataBrowserItemID m_Parent = kDataBrowserNoItem;
  static SInt16 sm_GDDepth;
};

class DataBrowser : public PPx::View, public PPx::ControlDrawDoer {
public:
  DataBrowser();
  ~DataBrowser() override;

  const char* ClassName() const override { return "PPXA::DataBrowser"; }

  // Binds the object to the nib's browser control (one reference of its own).
  void Attach(ControlRef control);

  // Items. On failure the items stay the caller's (and unbound).
  virtual OSStatus InsertItem(DataBrowserItem* item, DataBrowserItem* parent);
  virtual OSStatus InsertItems(std::vector<DataBrowserItem*> const& items, DataBrowserItem* parent);
  virtual OSStatus RemoveItem(DataBrowserItem* item);
  virtual OSStatus RemoveItems(DataBrowserItem* container,
                               std::vector<DataBrowserItem*> const& items,
                               DataBrowserPropertyID preSortProperty);
  // Throws PPx::OSError "RemoveDataBrowserItems() failed".
  void RemoveAllRows();
  // Throws PPx::OSError "UpdateDataBrowserItems() failed" or "SortDataBrowserContainer() failed".
  void UpdateItem(DataBrowserItem* item, DataBrowserItem* parent, DataBrowserPropertyID property);
  void UpdateAllItems(DataBrowserPropertyID property);
  void Refresh();

  // Queries. GetItems appends; -4974 for a null vector.
  OSStatus GetItems(std::vector<DataBrowserItem*>* items, DataBrowserItemState state,
                    DataBrowserItem* container, bool recurse) const;
  ItemCount GetItemCount(DataBrowserItemState state, DataBrowserItem* container,
                         bool recurse) const;
  // Throws PPx::OSError "GetDataBrowserSelectionAnchor() failed".
  DataBrowserItem* GetCurrentSelection() const;
  void SelectItem(DataBrowserItem* item);
  // Rows count from 1.
  DataBrowserItem* FindItemForRow(UInt32 row) const;
  UInt32 GetColumnCount() const;

  // Geometry, view-local.
  void GetBrowserContentBounds(Rect* bounds) const;
  void GetItemBounds(DataBrowserItem const* item, Rect* bounds) const;

  // One Data Browser call each, answering its status.
  OSStatus SetSortOrder(DataBrowserSortOrder order);
  OSStatus SetSortProperty(DataBrowserPropertyID property);
  OSStatus SetListViewDisclosureColumn(DataBrowserTableViewColumnID column, Boolean expandableRows);
  OSStatus GetScrollBarInset(Rect* insets) const;
  OSStatus GetItemPartBounds(DataBrowserItem const* item, DataBrowserPropertyID property,
                             DataBrowserPropertyPart part, Rect* bounds) const;
  OSStatus GetTableViewColumnProperty(DataBrowserTableViewColumnIndex index,
                                      DataBrowserTableViewColumnID* property) const;
  // 0 when the call fails.
  DataBrowserTableViewHiliteStyle GetHiliteStyle() const;

  DataBrowserItem* GetDropTarget() const { return m_DropTarget; }
  bool IsDropAbove() const { return m_DropAbove; }
  bool IsAlive() const { return m_Alive; }
  static long GetInstanceCount() { return sm_InstanceCount; }

protected:
  void InitBrowser(ControlRef control);
  void InitCallbacks(ControlRef control);

  OSStatus DoControlDraw(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                         RgnHandle region, CGContextRef context) override;
  virtual OSStatus GetSetItemData(DataBrowserItem* item, DataBrowserPropertyID property,
                                  DataBrowserItemDataRef itemData, Boolean setValue);
  virtual bool CompareItems(DataBrowserItem* item1, DataBrowserItem* item2,
                            DataBrowserPropertyID sortProperty);
  virtual void ItemNotification(DataBrowserItem* item, DataBrowserItemNotification message,
                                DataBrowserItemDataRef itemData);
  virtual void NotifySelectedItems(DataBrowserItemNotification message,
                                   DataBrowserItemDataRef itemData);
  virtual bool AddDragItem(DragRef drag, DataBrowserItem* item, DragItemRef* itemRef);
  virtual bool DragIsAcceptable(DragRef drag, DataBrowserItem* targetItem);
  // A drop on the empty area: refused unless a derived browser takes it.
  virtual bool ItemIsAcceptable(DragRef drag, DragItemRef itemRef);
  virtual bool ReceiveDrag(DragRef drag, DataBrowserItem* targetItem);
  virtual bool ReceiveDragItem(DragRef drag, DragItemRef itemRef);
  virtual void PostProcessDrag(DragRef drag, OSStatus result);
  virtual void GetContextualMenu(MenuRef* menu, UInt32* helpType, CFStringRef* helpItemString,
                                 AEDesc* selection);
  virtual void SelectContextualMenu(MenuRef menu, UInt32 selectionType, SInt16 menuID,
                                    MenuItemIndex menuItem);
  virtual void GetHelpContent(DataBrowserItem* item, DataBrowserPropertyID property,
                              HMContentRequest request, HMContentProvidedType* outContentProvided,
                              HMHelpContentPtr content);
  virtual void DrawItem(DataBrowserItem* item, DataBrowserPropertyID property,
                        DataBrowserItemState itemState, Rect const* rect, SInt16 gdDepth,
                        Boolean colorDevice);
  virtual bool EditItem(DataBrowserItem* item, DataBrowserPropertyID property, CFStringRef text,
                        Rect* maxRect, Boolean* shrinkToFit);
  virtual bool HitTest(DataBrowserItem* item, DataBrowserPropertyID property, Rect const* rect,
                       Rect const* mouseRect);
  virtual DataBrowserTrackingResult TrackItem(DataBrowserItem* item, DataBrowserPropertyID property,
                                              Rect const* rect, Point startPt,
                                              EventModifiers modifiers);
  virtual void ItemDragRgn(DataBrowserItem* item, DataBrowserPropertyID property, Rect const* rect,
                           RgnHandle dragRgn);

private:
  // The walks over the drag's items that accept and receive share.
  template <class Ask>
  bool AskEveryDragItem(DragRef drag, Ask ask);
  void DrawDropIndicator(CGContextRef context);

  static DataBrowser* BrowserOf(ControlRef control);
  static OSStatus DBCallbackGetSetItemData(ControlRef browser, DataBrowserItemID item,
                                           DataBrowserPropertyID property,
                                           DataBrowserItemDataRef itemData, Boolean setValue);
  static Boolean DBCallbackCompare(ControlRef browser, DataBrowserItemID item1,
                                   DataBrowserItemID item2, DataBrowserPropertyID sortProperty);
  static void DBCallbackItemNotification(ControlRef browser, DataBrowserItemID item,
                                         DataBrowserItemNotification message,
                                         DataBrowserItemDataRef itemData);
  static Boolean DBCallbackAddDragItem(ControlRef browser, DragRef drag, DataBrowserItemID item,
                                       DragItemRef* itemRef);
  static Boolean DBCallbackAcceptDrag(ControlRef browser, DragRef drag, DataBrowserItemID item);
  static Boolean DBCallbackReceiveDrag(ControlRef browser, DragRef drag, DataBrowserItemID item);
  static void DBCallbackPostProcessDrag(ControlRef browser, DragRef drag, OSStatus result);
  static void DBCallbackGetHelpContent(ControlRef browser, DataBrowserItemID item,
                                       DataBrowserPropertyID property, HMContentRequest request,
                                       HMContentProvidedType* outContentProvided,
                                       HMHelpContentPtr content);
  static void DBCallbackGetContextualMenu(ControlRef browser, MenuRef* menu, UInt32* helpType,
                                          CFStringRef* helpItemString, AEDesc* selection);
  static void DBCallbackSelectContextualMenu(ControlRef browser, MenuRef menu, UInt32 selectionType,
                                             SInt16 menuID, MenuItemIndex menuItem);
  static void DBCallbackDrawItem(ControlRef browser, DataBrowserItemID item,
                                 DataBrowserPropertyID property, DataBrowserItemState itemState,
                                 Rect const* rect, SInt16 gdDepth, Boolean colorDevice);
  static Boolean DBCallbackEditItem(ControlRef browser, DataBrowserItemID item,
                                    DataBrowserPropertyID property, CFStringRef text, Rect* maxRect,
                                    Boolean* shrinkToFit);
  static Boolean DBCallbackHitTest(ControlRef browser, DataBrowserItemID item,
                                   DataBrowserPropertyID property, Rect const* rect,
                                   Rect const* mouseRect);
  static DataBrowserTrackingResult DBCallbackTracking(ControlRef browser, DataBrowserItemID item,
                                                      DataBrowserPropertyID property,
                                                      Rect const* rect, Point startPt,
                                                      EventModifiers modifiers);
  static void DBCallbackItemDragRgn(ControlRef browser, DataBrowserItemID item,
                                    DataBrowserPropertyID property, Rect const* rect,
                                    RgnHandle dragRgn);
  static void NotifySelectedItem(DataBrowserItemID item, DataBrowserItemState state, void* data);
  static void MakeProcedures();
  static void DisposeProcedures();

  bool m_Alive = true;
  bool m_Compositing = false;
  WindowRef m_Window = nullptr;
  CGContextRef m_DrawContext = nullptr;
  DataBrowserItem* m_DropTarget = nullptr;
  bool m_DropAbove = true;

  static long sm_InstanceCount;
  static DataBrowserItemDataUPP sm_CallbackGetSetItemData;
  static DataBrowserItemCompareUPP sm_CallbackCompare;
  static DataBrowserItemNotificationWithItemUPP sm_CallbackItemNotification;
  static DataBrowserAddDragItemUPP sm_CallbackAddDragItem;
  static DataBrowserAcceptDragUPP sm_CallbackAcceptDrag;
  static DataBrowserReceiveDragUPP sm_CallbackReceiveDrag;
  static DataBrowserPostProcessDragUPP sm_CallbackPostProcessDrag;
  static DataBrowserItemHelpContentUPP sm_CallbackGetHelpContent;
  static DataBrowserGetContextualMenuUPP sm_CallbackContextualMenu;
  static DataBrowserSelectContextualMenuUPP sm_CallbackSelectContextMenu;
  static DataBrowserDrawItemUPP sm_CallbackDrawItem;
  static DataBrowserEditItemUPP sm_CallbackEditItem;
  static DataBrowserHitTestUPP sm_CallbackHitTest;
  static DataBrowserTrackingUPP sm_CallbackTracking;
  static DataBrowserItemDragRgnUPP sm_CallbackItemDragRgn;
};

}  // namespace PPXA
