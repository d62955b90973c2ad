#include "WMCT/WMCT_RowBase.h"

#include <string>

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"
#include "UWIN/UWIN_WinCallError.h"
#include "WMCT/WMCT_Messages.h"
#include "WMCT/WMCT_MultiColumnTreeCtrl.h"

WMCT_RowBase::~WMCT_RowBase() = default;

void WMCT_RowBase::Initialise(const GLIB_WString& label, const WMCT_CellFactoryMap& factories,
                              const WMCT_TreeItem& item, WMCT_MultiColumnTreeCtrl* owner) {
  m_Label = label;
  m_Item = item;
  m_Owner = owner;
  const int count = GetColumnCount();
  for (int position = 0; position < count; ++position) {
    const int columnId = GetColumnId(position);
    const auto factory = factories.find(columnId);
    if (factory == factories.end() || factory->second == nullptr) {
      throw GLIB_Exception(kWMCT_CellCreationFailed,
                           ("No cell factory for column id " + std::to_string(columnId)).c_str(),
                           __FILE__, __LINE__);
    }
    const std::unique_ptr<WMCT_CellBase> prototype = factory->second();
    if (!prototype) {
      throw GLIB_Exception(
          kWMCT_CellCreationFailed,
          ("The cell factory of column id " + std::to_string(columnId) + " made no cell").c_str(),
          __FILE__, __LINE__);
    }
    CellAdd(columnId, *prototype);
  }
}

WMCT_CellBase* WMCT_RowBase::Cell(int columnId) const {
  const auto found = m_Cells.find(columnId);
  return found == m_Cells.end() ? nullptr : found->second.get();
}

int WMCT_RowBase::Compare(const WMCT_RowBase&, int) const {
  return 0;
}

WMCT_CellBase* WMCT_RowBase::CellAdd(int columnId, const WMCT_CellBase& cell) {
  std::unique_ptr<WMCT_CellBase> copy = cell.Clone();
  if (!copy) {
    throw GLIB_Exception(kWMCT_CellCreationFailed,
                         "An Error occured during the creation of cells for a row in the       "
                         "       Windows multi-column tree control - unsuccessful Clone()",
                         __FILE__, __LINE__);
  }
  const auto inserted = m_Cells.emplace(columnId, std::move(copy));
  if (!inserted.second) {
    throw GLIB_Exception(kWMCT_CellCreationFailed,
                         "An Error occured during the creation of cells for a row in the       "
                         "      Windows multi-column tree control - unsuccessful insert()",
                         __FILE__, __LINE__);
  }
  return inserted.first->second.get();
}

std::uint32_t WMCT_RowBase::SetRowState(std::uint32_t state) {
  const std::uint32_t previous = m_RowState;
  m_RowState = state;
  for (auto& cell : m_Cells) {
    if (state > 5) {
      GLIB_LogMessage::Log(GLIB_SEVERITY_FATAL,
                           (L"Unsupported ROWSTATE code = " + std::to_wstring(state)).c_str(),
                           __FILE__, __LINE__);
    }
    cell.second->SetState(state);
  }
  return previous;
}

int WMCT_RowBase::GetColumnCount() const {
  return m_Owner ? m_Owner->GetColumnCount() : 0;
}

int WMCT_RowBase::GetColumnId(int position) const {
  return m_Owner->GetColumnId(position);
}

bool WMCT_RowBase::IsColumnHiddenWhenExpanded(int position) const {
  return m_Owner->IsColumnHiddenWhenExpanded(position);
}

void WMCT_RowBase::HideCellsForExpandedRow() {
  const int count = GetColumnCount();
  for (int position = 0; position < count; ++position) {
    if (IsColumnHiddenWhenExpanded(position)) {
      if (WMCT_CellBase* cell = Cell(GetColumnId(position))) {
        cell->ClearVisible();
      }
    }
  }
}

void WMCT_RowBase::ShowAllCells() {
  for (auto& cell : m_Cells) {
    cell.second->SetVisible();
  }
}

bool WMCT_RowBase::IsExpanded() const {
  const LRESULT state = ::SendMessageW(m_Item.GetTree(), TVM_GETITEMSTATE,
                                       reinterpret_cast<WPARAM>(m_Item.GetItem()), TVIS_EXPANDED);
  return (state & TVIS_EXPANDED) != 0;
}

bool WMCT_RowBase::SortChildren(PFNTVCOMPARE compare) {
  TVSORTCB sort = {};
  sort.hParent = m_Item.GetItem();
  sort.lpfnCompare = compare;
  sort.lParam = 0;
  return ::SendMessageW(m_Item.GetTree(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)) !=
         0;
}

void WMCT_RowBase::DrawCell(int columnId, HDC dc, const RECT& rect) const {
  WMCT_CellBase* cell = Cell(columnId);
  const LONG height = rect.bottom - rect.top;
  if (cell && height >= 0 && height <= 1000) {
    cell->Draw(dc, rect);
  }
}

void WMCT_RowBase::InsertPlaceholderChild() {
  TVINSERTSTRUCTW insert = {};
  insert.hParent = m_Item.GetItem();
  insert.hInsertAfter = TVI_FIRST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<wchar_t*>(L"WMCT_RowBase: Placeholder label");
  ::SetLastError(0);
  if (::SendMessageW(m_Item.GetTree(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)) ==
      0) {
    UWIN_RaiseIfWinCallFailed("false", __FILE__, __LINE__);
  }
}

void WMCT_RowBase::DeleteChildren() {
  const HWND tree = m_Item.GetTree();
  for (;;) {
    TVITEMW item = {};
    item.mask = TVIF_CHILDREN;
    item.hItem = m_Item.GetItem();
    if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ||
        item.cChildren == 0) {
      return;
    }
    const auto child = reinterpret_cast<HTREEITEM>(::SendMessageW(
        tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(m_Item.GetItem())));
    if (child == nullptr) {
      return;
    }
    const bool selected =
        (::SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(child), TVIS_SELECTED) &
         TVIS_SELECTED) != 0;
    // The tree would move its caret to the next child, selecting it: take the caret away
    // first, quietly; the change is announced once, below.
    const bool announce = m_Owner ? m_Owner->SetAnnounceSelection(false) : false;
    if (::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LRESULT>(child)) {
      ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, 0);
    }
    const bool deleted =
        ::SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child)) != 0;
    if (m_Owner) {
      m_Owner->SetAnnounceSelection(announce);
    }
    if (!deleted) {
      return;
    }
    if (m_Owner) {
      m_Owner->BroadcastMessage(WMCT_ItemsHaveBeenDeletedMessage());
      if (selected) {
        m_Owner->BroadcastMessage(WMCT_SelectionChangedMessage(m_Owner->GetSelectedItems()));
      }
    }
  }
}
