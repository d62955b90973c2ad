// A tree list: a tree view whose rows are divided into columns under a header. The control is a
// window of its own owning both children (contained windows, message maps 1 and 2); the tree view
// keeps hierarchy, expansion, caret and the selection bits (several rows may be selected), the
// control draws each row's cells after the tree view has painted it, scrolls both children
// horizontally as one, sorts by a column and broadcasts what the user does as typed messages
// (WMCT_Messages.h) through its own dispatcher. Rows and cells are made by registered factories;
// each row lives in its item's lParam and is deleted with the item. UI thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atlbase.h>
#include <atlwin.h>
#include <atlctrls.h>

#include <map>
#include <memory>
#include <type_traits>
#include <vector>

#include "GLIB/GLIB_Message.h"
#include "WMCT/WMCT_Decorators.h"
#include "WMCT/WMCT_HeaderItem.h"
#include "WMCT/WMCT_Messages.h"
#include "WMCT/WMCT_Policies.h"
#include "WMCT/WMCT_RowBase.h"
#include "WMCT/WMCT_TreeItem.h"

using WMCT_RowFactoryMap = std::map<int, WMCT_RowFactory>;

class WMCT_MultiColumnTreeCtrl
    : public ATL::CWindowImpl<WMCT_MultiColumnTreeCtrl, ATL::CWindow, ATL::CControlWinTraits>,
      public GLIB_MessageDispatcher {
public:
  static constexpr UINT_PTR kExpansionTimer = 1;

  WMCT_MultiColumnTreeCtrl(bool multipleSelection, bool headerVisible, bool dragAndDrop,
                           bool autoScroll, bool autoExpand);
  ~WMCT_MultiColumnTreeCtrl() override;

  BEGIN_MSG_MAP(WMCT_MultiColumnTreeCtrl)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_HSCROLL, OnHScroll)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChange)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChange)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  REFLECT_NOTIFICATIONS()
  ALT_MSG_MAP(1)
  MESSAGE_HANDLER(WM_DESTROY, OnTreeDestroy)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_PAINT, OnTreePaint)
  MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnTreeNcLButtonDown)
  MESSAGE_HANDLER(WM_CAPTURECHANGED, OnTreeCaptureChanged)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnTreeLButtonDown)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnTreeLButtonUp)
  MESSAGE_HANDLER(WM_RBUTTONDOWN, OnTreeRButtonDown)
  MESSAGE_HANDLER(WM_RBUTTONUP, OnTreeRButtonUp)
  MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnTreeLButtonDblClk)
  MESSAGE_HANDLER(WM_KEYDOWN, OnTreeKeyDown)
  MESSAGE_HANDLER(WM_KEYUP, OnTreeKeyUp)
  MESSAGE_HANDLER(WM_SETFOCUS, OnTreeFocus)
  MESSAGE_HANDLER(WM_KILLFOCUS, OnTreeFocus)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnTreeMouseMove)
  MESSAGE_HANDLER(WM_CONTEXTMENU, OnTreeContextMenu)
  REFLECTED_NOTIFY_CODE_HANDLER(TVN_DELETEITEMW, OnDeleteItem)
  REFLECTED_NOTIFY_CODE_HANDLER(TVN_ITEMEXPANDINGW, OnItemExpanding)
  REFLECTED_NOTIFY_CODE_HANDLER(TVN_ITEMEXPANDEDW, OnItemExpanded)
  REFLECTED_NOTIFY_CODE_HANDLER(TVN_GETDISPINFOW, OnGetDispInfo)
  REFLECTED_NOTIFY_CODE_HANDLER(TVN_SELCHANGEDW, OnSelChanged)
  REFLECTED_NOTIFY_CODE_HANDLER(TVN_BEGINDRAGW, OnBeginDrag)
  REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  DEFAULT_REFLECTION_HANDLER()
  ALT_MSG_MAP(2)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_PAINT, OnHeaderPaint)
  MESSAGE_HANDLER(WM_PRINTCLIENT, OnHeaderPaint)
  MESSAGE_HANDLER(HDM_DELETEITEM, OnHeaderDeleteItem)
  MESSAGE_HANDLER(WM_DESTROY, OnHeaderDestroy)
  REFLECTED_NOTIFY_CODE_HANDLER(HDN_ITEMCHANGEDW, OnHeaderItemChanged)
  REFLECTED_NOTIFY_CODE_HANDLER(HDN_ITEMCHANGINGW, OnHeaderItemChanging)
  REFLECTED_NOTIFY_CODE_HANDLER(HDN_BEGINDRAG, OnHeaderBeginDrag)
  REFLECTED_NOTIFY_CODE_HANDLER(HDN_ENDDRAG, OnHeaderEndDrag)
  REFLECTED_NOTIFY_CODE_HANDLER(HDN_ITEMCLICKW, OnHeaderItemClick)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  // Attaches to an existing window (a placeholder in a dialog) and makes the children.
  BOOL SubclassWindow(HWND hWnd);
  void CreateChildren();

  // Columns.
  void AddColumn(const WMCT_HeaderItemPtr& item);
  int GetColumnCount() const;
  WMCT_HeaderItemPtr GetHeaderItem(int position) const;
  int GetColumnId(int position) const;
  bool IsColumnHiddenWhenExpanded(int position) const;
  bool IsColumnSortable(int position) const;
  int GetLeftMargin(int position) const;
  void SetLeftMargin(int position, int margin);
  int GetRightMargin(int position) const;
  void SetRightMargin(int position, int margin);
  int GetTotalColumnWidth() const;
  HWND GetHeaderCtrl() const { return m_Header.m_hWnd; }

  // Factories and rows.
  void SetCellFactories(const WMCT_CellFactoryMap& factories) { m_CellFactories = factories; }
  void SetRowFactories(const WMCT_RowFactoryMap& factories) { m_RowFactories = factories; }
  // Sets the tree's image list (not owned); a row kind's position in kinds is its image index.
  void SetImageList(HIMAGELIST imageList, const std::vector<int>& kinds);
  int GetImageIndex(int rowKind) const;
  WMCT_TreeItem InsertRow(const GLIB_WString& label, int rowKind, HTREEITEM insertAfter = TVI_LAST);
  WMCT_TreeItem InsertChildRow(const GLIB_WString& label, const WMCT_TreeItem& parent, int rowKind,
                               HTREEITEM insertAfter = TVI_LAST);
  HWND GetTreeCtrl() const { return m_Tree.m_hWnd; }
  // The row object of an item, null for an item without one (a placeholder).
  WMCT_RowBase* GetRow(HTREEITEM item) const;
  WMCT_TreeItem MakeItem(HTREEITEM item) const { return WMCT_TreeItem(item, m_Tree.m_hWnd); }
  // start, then recursively its first child and its next sibling: every item from start on.
  void CollectItems(HTREEITEM start, WMCT_TreeItemVector& items) const;
  int GetItemDepth(HTREEITEM item) const;
  GLIB_WString GetItemText(HTREEITEM item) const;

  // Check boxes: the state image list of the three pictures, and state image index for every item.
  void EnableCheckboxes(UINT stateImage);
  bool AreCheckboxesEnabled() const { return m_CheckboxesOn; }

  // Sorting. direction 1 ascending, -1 descending, 0 none. A recursive sort sorts every subtree.
  void SortByColumn(int column, int direction, bool recursive);
  void SortChildren(HTREEITEM item, bool recursive);
  void Resort(bool recursive) { SortByColumn(m_SortColumn, m_SortDirection, recursive); }
  int GetSortColumn() const { return m_SortColumn; }
  int GetSortDirection() const { return m_SortDirection; }
  static LPARAM SortParameter(int column, int direction);
  static int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM sortParameter);

  // Selection (TVIS_SELECTED bits of the visible items).
  WMCT_TreeItemVector& GetSelectedItems(WMCT_TreeItemVector& items) const;
  WMCT_TreeItemVector GetSelectedItems() const;
  void ClearSelection();
  bool SelectRange(HTREEITEM anchor, HTREEITEM item);
  void UpdateSelection(HTREEITEM item, UINT keyFlags);
  HTREEITEM GetAnchor() const { return m_Anchor; }
  HTREEITEM GetCaret() const { return m_Tree.GetNextItem(nullptr, TVGN_CARET); }
  bool IsSelected(HTREEITEM item) const;
  bool HasFocus() const { return m_Focused; }
  bool IsMultipleSelection() const { return m_MultipleSelection; }
  // Whether the tree view's own caret changes are broadcast; returns the previous setting. Off
  // while the control changes several selection bits and announces the result once.
  bool SetAnnounceSelection(bool announce);

  void SetContextMenu(HMENU menu, HWND commandWindow);
  void ShowContextMenu(const WMCT_TreeItemVector& items, POINT screenPoint);
  void SetDeletePolicy(const iWMCT_DeletePolicyBase& policy);

  // Drag and drop, decorators and behaviours.
  void AddBehaviourPolicy(const iWMCT_BehaviourPolicyBase& policy);
  const std::vector<WMCT_BehaviourPolicyPtr>& GetBehaviourPolicies() const { return m_Policies; }
  void AddPrePaintDecorator(const WMCT_RowDecoratorBase& decorator);
  void AddPostPaintDecorator(const WMCT_RowDecoratorBase& decorator);
  const WMCT_RowDecoratorDropCursor* GetDropCursor() const { return m_DropCursor.get(); }
  void SetDropPosition(HTREEITEM row, bool upperHalf);
  void UnsetDropLines();
  const WMCT_TreeItemVector& GetDraggedItems() const { return m_Dragged; }
  void BroadcastDragBegin(WPARAM wParam, LPARAM lParam);
  void BroadcastDragOver(POINT point);
  void BroadcastDragLeave(LPARAM lParam);
  void BroadcastDragEnd();

  // Layout and scrolling.
  void UpdateLayout();
  void UpdateHorizontalScrollBar();
  int GetHorizontalOffset() const { return m_HorizontalOffset; }
  void ShowHeader();

  void DeleteAllItems();
  void DeleteAllColumns();

protected:
  virtual void AfterAllColumnsDeleted() {}
  virtual void AfterAllItemsDeleted() {}
  virtual LRESULT OnInternalDragStart(int idCtrl, LPNMHDR header, BOOL& bHandled);
  virtual void AfterRowsMoved() {}

  // The row state of one item for the current window and focus state.
  std::uint32_t RowStateOf(HTREEITEM item) const;
  void DrawItem(HTREEITEM item, HDC dc);

private:
  struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { ::DeleteObject(bitmap); }
  };
  using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;
  struct ImageListDeleter {
    void operator()(HIMAGELIST list) const { ::ImageList_Destroy(list); }
  };
  using OwnedImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHScroll(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnWindowPosChange(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreePaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeNcLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeRButtonDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeRButtonUp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeKeyDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeKeyUp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeFocus(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeMouseMove(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeContextMenu(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDeleteItem(int, LPNMHDR, BOOL&);
  LRESULT OnItemExpanding(int, LPNMHDR, BOOL&);
  LRESULT OnItemExpanded(int, LPNMHDR, BOOL&);
  LRESULT OnGetDispInfo(int, LPNMHDR, BOOL&);
  LRESULT OnSelChanged(int, LPNMHDR, BOOL&);
  LRESULT OnBeginDrag(int, LPNMHDR, BOOL&);
  LRESULT OnCustomDraw(int, LPNMHDR, BOOL&);
  LRESULT OnHeaderPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHeaderDeleteItem(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHeaderDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHeaderItemChanged(int, LPNMHDR, BOOL&);
  LRESULT OnHeaderItemChanging(int, LPNMHDR, BOOL&);
  LRESULT OnHeaderBeginDrag(int, LPNMHDR, BOOL&);
  LRESULT OnHeaderEndDrag(int, LPNMHDR, BOOL&);
  LRESULT OnHeaderItemClick(int, LPNMHDR, BOOL&);

  template <class Child>
  void PaintBuffered(Child& child, HDC target, const RECT& area, int colour);
  void SetHeaderMark(int column, int direction);
  void SetItemSelected(HTREEITEM item, bool selected);
  void SelectCaret(HTREEITEM item);
  void SortLevel(HTREEITEM parent);
  void RestoreSelection(const WMCT_TreeItemVector& items);
  void Drop(POINT point);
  void MoveDraggedRows(HTREEITEM insertAfter);
  void ForgetItem(HTREEITEM item);
  void SetTreeStyleBit(DWORD bit, bool on);
  void AnnounceSelection();
  static UINT CurrentKeyFlags();

  ATL::CContainedWindowT<WTL::CTreeViewCtrl> m_Tree;
  ATL::CContainedWindowT<WTL::CHeaderCtrl> m_Header;
  WMCT_CellFactoryMap m_CellFactories;
  WMCT_RowFactoryMap m_RowFactories;
  std::vector<int> m_RowKinds;
  HIMAGELIST m_ImageList = nullptr;
  int m_HorizontalOffset = 0;
  bool m_LetTreeErase = false;
  TMPL_ReferenceCountPointer<WMCT_RowDecoratorChain> m_PrePaint;
  TMPL_ReferenceCountPointer<WMCT_RowDecoratorChain> m_PostPaint;
  bool m_ItemJustExpanded = false;
  bool m_PendingDrag = false;
  POINT m_PressPoint = {};
  HTREEITEM m_Pressed = nullptr;
  HTREEITEM m_Anchor = nullptr;
  HTREEITEM m_LastClicked = nullptr;
  bool m_LastClickedSelected = false;
  int m_Announce = 1;
  bool m_MultipleSelection;
  bool m_HeaderVisible;
  bool m_DragAndDrop;
  bool m_Focused = false;
  WMCT_TreeItemVector m_Dragged;
  HTREEITEM m_DragCaret = nullptr;
  std::unique_ptr<WMCT_RowDecoratorDropCursor> m_DropCursor;
  TMPL_ReferenceCountPointer<iWMCT_DeletePolicyBase> m_DeletePolicy;
  std::vector<WMCT_BehaviourPolicyPtr> m_Policies;
  HMENU m_ContextMenu = nullptr;
  HWND m_CommandWindow = nullptr;
  int m_SortColumn = 0;
  int m_SortDirection = 1;
  bool m_CheckboxesOn = false;
  OwnedImageList m_StateImages;
  bool m_Windows2000;
  OwnedBitmap m_AscendingArrow;
  OwnedBitmap m_DescendingArrow;
};
