// Data Browser of the Mac stand-in (see HIToolbox/DataBrowser.h).
#include <HIToolbox/DataBrowser.h>

#include "iStandInRedraw.h"
#include "iStandInToolbox.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <set>

struct StandIn_DataBrowserCell {
  bool hasText = false;
  std::string text;
  SInt16 buttonValue = 0;
  UInt32 dateTime = 0;
  bool hasIcon = false;
  bool hasBoolean = false;
  bool boolean = false;
  DataBrowserPropertyID property = 0;
};

struct StandIn_BrowserModel {
  struct Node {
    DataBrowserItemID parent = kDataBrowserNoItem;
    std::vector<DataBrowserItemID> children;  // in sort order
    long order = 0;                           // when it was added
    bool open = false;
    bool selected = false;
  };
  struct CellRecord {
    long asks = 0;
    OSStatus status = noErr;
    StandIn_DataBrowserCell answer;
  };

  StandIn_BrowserModel() { nodes[kDataBrowserNoItem].open = true; }

  DataBrowserCallbacks callbacks{};
  DataBrowserCustomCallbacks custom{};
  bool lastDragAccepted = false;
  std::map<DataBrowserItemID, Node> nodes;  // the root (0) included
  long added = 0;
  DataBrowserItemID anchor = kDataBrowserNoItem;
  UInt16 rowHeight = 18;
  Rect insets{0, 0, 0, 0};
  DataBrowserTableViewHiliteStyle hiliteStyle = kDataBrowserTableViewMinimalHilite;
  DataBrowserPropertyID sortProperty = 0;
  DataBrowserSortOrder sortOrder = kDataBrowserOrderIncreasing;
  DataBrowserTableViewColumnID disclosureColumn = 0;
  bool expandOnDoubleClick = false;
  std::map<DataBrowserPropertyID, UInt16> widths;  // set after the nib
  std::map<std::pair<DataBrowserItemID, DataBrowserPropertyID>, CellRecord> cells;
  long updates = 0;
};

namespace {

long g_liveProcedures = 0;
long g_callbackExceptions = 0;

using standin_tb::View;

StandIn_BrowserModel* ModelOf(ControlRef browser) {
  return browser ? View(browser)->m_Browser.get() : nullptr;
}

// Runs a callback at the C boundary: an exception that leaves it is reported and counted, and the
// neutral answer given.
template <class R, class Call>
R Guarded(R neutral, Call call) {
  try {
    return call();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Data Browser stand-in: exception left a callback: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "Data Browser stand-in: exception left a callback\n");
  }
  ++g_callbackExceptions;
  return neutral;
}

// Keeps the view and its model alive while callbacks run (one may release the view).
class Session {
public:
  explicit Session(ControlRef browser) : m_View(View(browser)), m_Model(m_View->m_Browser) {
    CFRetain(m_View);
  }
  ~Session() { CFRelease(m_View); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  StandIn_BrowserModel& Model() const { return *m_Model; }
  ControlRef Control() const { return m_View; }
  StandIn_ViewImpl* Impl() const { return m_View; }

private:
  StandIn_ViewImpl* m_View;
  std::shared_ptr<StandIn_BrowserModel> m_Model;
};

void Notify(ControlRef browser, StandIn_BrowserModel& model, DataBrowserItemID item,
            DataBrowserItemNotification message) {
  auto proc = model.callbacks.u.v1.itemNotificationCallback;
  if (proc == nullptr)
    return;
  Guarded(0, [&] {
    proc(browser, item, message, nullptr);
    return 0;
  });
}

OSStatus AskData(ControlRef browser, StandIn_BrowserModel& model, DataBrowserItemID item,
                 DataBrowserPropertyID property, StandIn_DataBrowserCell* cell) {
  auto proc = model.callbacks.u.v1.itemDataCallback;
  if (proc == nullptr)
    return errDataBrowserPropertyNotSupported;
  cell->property = property;
  return Guarded(errDataBrowserPropertyNotSupported,
                 [&] { return proc(browser, item, property, cell, false); });
}

bool IsContainer(ControlRef browser, StandIn_BrowserModel& model, DataBrowserItemID item) {
  StandIn_DataBrowserCell cell;
  return AskData(browser, model, item, kDataBrowserItemIsContainerProperty, &cell) == noErr &&
         cell.hasBoolean && cell.boolean;
}

// Sorts a container's children stably by the compare callback: first back into the order they
// were added in, so equal items keep it.
void SortChildren(ControlRef browser, StandIn_BrowserModel& model, DataBrowserItemID container,
                  bool recurse) {
  auto found = model.nodes.find(container);
  auto compare = model.callbacks.u.v1.itemCompareCallback;
  if (found == model.nodes.end())
    return;
  std::vector<DataBrowserItemID> children = found->second.children;
  if (model.sortProperty != 0 && compare != nullptr) {
    std::sort(children.begin(), children.end(), [&](DataBrowserItemID a, DataBrowserItemID b) {
      return model.nodes[a].order < model.nodes[b].order;
    });
    const bool decreasing = model.sortOrder == kDataBrowserOrderDecreasing;
    const DataBrowserPropertyID property = model.sortProperty;
    std::stable_sort(children.begin(), children.end(),
                     [&](DataBrowserItemID a, DataBrowserItemID b) {
                       return Guarded<Boolean>(false, [&] {
                                return decreasing ? compare(browser, b, a, property)
                                                  : compare(browser, a, b, property);
                              }) != 0;
                     });
  }
  found = model.nodes.find(container);  // a callback may have changed the tree
  if (found == model.nodes.end())
    return;
  if (children.size() == found->second.children.size())
    found->second.children = children;
  if (recurse)
    for (DataBrowserItemID child : found->second.children)
      SortChildren(browser, model, child, true);
}

// The shown rows: depth first, the children of open containers after their container.
void CollectRows(const StandIn_BrowserModel& model, DataBrowserItemID container,
                 std::vector<DataBrowserItemID>* rows) {
  const StandIn_BrowserModel::Node& node = model.nodes.at(container);
  for (DataBrowserItemID child : node.children) {
    rows->push_back(child);
    if (model.nodes.at(child).open)
      CollectRows(model, child, rows);
  }
}

std::vector<DataBrowserItemID> Rows(const StandIn_BrowserModel& model) {
  std::vector<DataBrowserItemID> rows;
  CollectRows(model, kDataBrowserNoItem, &rows);
  return rows;
}

// Every item under the container (not itself), parents before their children.
void CollectDescendants(const StandIn_BrowserModel& model, DataBrowserItemID container,
                        std::vector<DataBrowserItemID>* items) {
  for (DataBrowserItemID child : model.nodes.at(container).children) {
    items->push_back(child);
    CollectDescendants(model, child, items);
  }
}

DataBrowserItemState StateOf(const StandIn_BrowserModel::Node& node) {
  DataBrowserItemState state = kDataBrowserItemNoState;
  if (node.selected)
    state |= kDataBrowserItemIsSelected;
  if (node.open)
    state |= kDataBrowserContainerIsOpen;
  return state;
}

bool Matches(const StandIn_BrowserModel::Node& node, DataBrowserItemState state) {
  return state == kDataBrowserItemAnyState || state == kDataBrowserItemNoState ||
         (StateOf(node) & state) != 0;
}

std::vector<DataBrowserItemID> Matching(const StandIn_BrowserModel& model,
                                        DataBrowserItemID container, bool recurse,
                                        DataBrowserItemState state) {
  std::vector<DataBrowserItemID> all;
  if (recurse)
    CollectDescendants(model, container, &all);
  else
    all = model.nodes.at(container).children;
  std::vector<DataBrowserItemID> matching;
  for (DataBrowserItemID item : all)
    if (Matches(model.nodes.at(item), state))
      matching.push_back(item);
  return matching;
}

UInt16 ColumnWidth(const StandIn_BrowserModel& model, const StandIn_BrowserColumn& column) {
  auto found = model.widths.find(column.property);
  return found == model.widths.end() ? column.width : found->second;
}

// The column's index and left edge; false when the browser has no such column.
bool FindColumn(const StandIn_ViewImpl& view, const StandIn_BrowserModel& model,
                DataBrowserPropertyID property, std::size_t* index, long* left) {
  long x = 0;
  for (std::size_t i = 0; i < view.m_Columns.size(); ++i) {
    if (view.m_Columns[i].property == property) {
      *index = i;
      *left = x;
      return true;
    }
    x += ColumnWidth(model, view.m_Columns[i]);
  }
  return false;
}

Rect CellRect(const StandIn_ViewImpl& view, const StandIn_BrowserModel& model, std::size_t row,
              std::size_t column) {
  long left = 0;
  for (std::size_t i = 0; i < column; ++i)
    left += ColumnWidth(model, view.m_Columns[i]);
  const long top = static_cast<long>(row) * model.rowHeight;
  const long right = left + ColumnWidth(model, view.m_Columns[column]);
  return Rect{static_cast<short>(top), static_cast<short>(left),
              static_cast<short>(top + model.rowHeight), static_cast<short>(right)};
}

// The rows that lie (at least in part) inside the view.
std::size_t ShownRowCount(const StandIn_ViewImpl& view, const StandIn_BrowserModel& model,
                          std::size_t rows) {
  const long height = static_cast<long>(view.m_Frame.size.height);
  const long fit = model.rowHeight > 0 ? (height + model.rowHeight - 1) / model.rowHeight : 0;
  return std::min<std::size_t>(rows, static_cast<std::size_t>(std::max(0L, fit)));
}

// Changes the selection to the set, then tells deselected rows (6) and selected ones (5).
void ApplySelection(ControlRef browser, StandIn_BrowserModel& model,
                    const std::set<DataBrowserItemID>& selection) {
  std::vector<DataBrowserItemID> deselected;
  std::vector<DataBrowserItemID> selected;
  std::vector<DataBrowserItemID> all;
  CollectDescendants(model, kDataBrowserNoItem, &all);
  for (DataBrowserItemID item : all) {
    StandIn_BrowserModel::Node& node = model.nodes.at(item);
    const bool want = selection.count(item) != 0;
    if (node.selected != want)
      (want ? selected : deselected).push_back(item);
    node.selected = want;
  }
  for (DataBrowserItemID item : deselected)
    Notify(browser, model, item, kDataBrowserItemDeselected);
  for (DataBrowserItemID item : selected)
    Notify(browser, model, item, kDataBrowserItemSelected);
}

std::set<DataBrowserItemID> CurrentSelection(const StandIn_BrowserModel& model) {
  std::set<DataBrowserItemID> selection;
  for (const auto& entry : model.nodes)
    if (entry.second.selected)
      selection.insert(entry.first);
  return selection;
}

// Takes the items and their descendants out of the model, then tells each (children first): 6 for
// a selected one, then 2.
void RemoveFromModel(ControlRef browser, StandIn_BrowserModel& model,
                     const std::vector<DataBrowserItemID>& items) {
  std::vector<DataBrowserItemID> going;
  std::set<DataBrowserItemID> seen;
  std::function<void(DataBrowserItemID)> collect = [&](DataBrowserItemID item) {
    if (!model.nodes.count(item) || item == kDataBrowserNoItem || seen.count(item))
      return;
    seen.insert(item);
    for (DataBrowserItemID child : model.nodes.at(item).children)
      collect(child);
    going.push_back(item);
  };
  for (DataBrowserItemID item : items)
    collect(item);
  std::vector<bool> wasSelected;
  for (DataBrowserItemID item : going) {
    StandIn_BrowserModel::Node& node = model.nodes.at(item);
    wasSelected.push_back(node.selected);
    auto parent = model.nodes.find(node.parent);
    if (parent != model.nodes.end() && !seen.count(node.parent)) {
      auto& siblings = parent->second.children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), item), siblings.end());
    }
  }
  for (DataBrowserItemID item : going) {
    model.nodes.erase(item);
    if (model.anchor == item)
      model.anchor = kDataBrowserNoItem;
  }
  for (std::size_t i = 0; i < going.size(); ++i) {
    if (wasSelected[i])
      Notify(browser, model, going[i], kDataBrowserItemDeselected);
    Notify(browser, model, going[i], kDataBrowserItemRemoved);
  }
}

OSStatus OpenOrClose(ControlRef browser, DataBrowserItemID container, bool open) {
  StandIn_BrowserModel* model = ModelOf(browser);
  if (model == nullptr)
    return errDataBrowserNotConfigured;
  if (container == kDataBrowserNoItem || !model->nodes.count(container))
    return errDataBrowserItemNotFound;
  Session session(browser);
  if (model->nodes.at(container).open == open)
    return noErr;
  if (open) {
    model->nodes.at(container).open = true;
    Notify(browser, *model, container, kDataBrowserContainerOpened);
  } else {
    Notify(browser, *model, container, kDataBrowserContainerClosing);
    if (!model->nodes.count(container))
      return noErr;
    const std::vector<DataBrowserItemID> children = model->nodes.at(container).children;
    RemoveFromModel(browser, *model, children);
    if (model->nodes.count(container))
      model->nodes.at(container).open = false;
  }
  return noErr;
}

// The row under a view-local point and the index of the column there.
bool RowAt(const StandIn_ViewImpl& view, const StandIn_BrowserModel& model, HIPoint where,
           std::size_t* row, std::size_t* column, DataBrowserItemID* item) {
  const std::vector<DataBrowserItemID> rows = Rows(model);
  if (where.y < 0 || where.x < 0 || model.rowHeight == 0)
    return false;
  const std::size_t index = static_cast<std::size_t>(where.y) / model.rowHeight;
  if (index >= ShownRowCount(view, model, rows.size()))
    return false;
  long left = 0;
  for (std::size_t i = 0; i < view.m_Columns.size(); ++i) {
    const long right = left + ColumnWidth(model, view.m_Columns[i]);
    if (where.x >= left && where.x < right) {
      *row = index;
      *column = i;
      *item = rows[index];
      return true;
    }
    left = right;
  }
  return false;
}

// Asks each shown cell's data and draws the custom ones.
void DrawCells(ControlRef browser, StandIn_BrowserModel& model) {
  StandIn_ViewImpl* view = View(browser);
  const std::vector<DataBrowserItemID> rows = Rows(model);
  const std::size_t shown = ShownRowCount(*view, model, rows.size());
  const std::vector<StandIn_BrowserColumn> columns = view->m_Columns;
  for (std::size_t r = 0; r < shown; ++r) {
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (!model.nodes.count(rows[r]))
        continue;  // gone during an earlier callback
      if (columns[c].type == kDataBrowserCustomType) {
        auto draw = model.custom.u.v1.drawItemCallback;
        const Rect cell = CellRect(*view, model, r, c);
        const DataBrowserItemState state = StateOf(model.nodes.at(rows[r]));
        if (draw)
          Guarded(0, [&] {
            draw(browser, rows[r], columns[c].property, state, &cell, 32, true);
            return 0;
          });
        continue;
      }
      StandIn_DataBrowserCell answer;
      const OSStatus status = AskData(browser, model, rows[r], columns[c].property, &answer);
      StandIn_BrowserModel::CellRecord& record = model.cells[{rows[r], columns[c].property}];
      ++record.asks;
      record.status = status;
      record.answer = answer;
    }
  }
}

const StandIn_BrowserModel::CellRecord* FindCell(ControlRef browser, DataBrowserItemID item,
                                                 DataBrowserPropertyID property) {
  StandIn_BrowserModel* model = ModelOf(browser);
  if (model == nullptr)
    return nullptr;
  auto found = model->cells.find({item, property});
  return found == model->cells.end() ? nullptr : &found->second;
}

OSStatus Enter(const char* call, ControlRef browser, StandIn_BrowserModel** model) {
  if (OSStatus err = standin_tb::EnterCall(call))
    return err;
  *model = ModelOf(browser);
  return *model ? noErr : errDataBrowserNotConfigured;
}

}  // namespace

namespace standin_tb {

std::shared_ptr<StandIn_BrowserModel> NewBrowserModel() {
  return std::make_shared<StandIn_BrowserModel>();
}

void DisposeBrowserItems(StandIn_ViewImpl* view) {
  // The view is going (no reference left to take): its remaining rows hear that they are removed.
  std::shared_ptr<StandIn_BrowserModel> model = view->m_Browser;
  const std::vector<DataBrowserItemID> top = model->nodes.at(kDataBrowserNoItem).children;
  RemoveFromModel(view, *model, top);
}

OSStatus DrawBrowser(StandIn_ViewImpl* view, EventRef) {
  Session session(view);
  WindowRef window = HIViewGetWindow(view);
  GrafPtr old = nullptr;
  GetPort(&old);
  if (window)
    SetPort(GetWindowPort(window));
  DrawCells(view, session.Model());
  SetPort(old);
  return noErr;
}

}  // namespace standin_tb

#define STANDIN_DATABROWSER_UPP(Name)                                                              \
  Name##UPP New##Name##UPP(Name##ProcPtr userRoutine) {                                            \
    if (userRoutine)                                                                               \
      ++g_liveProcedures;                                                                          \
    return userRoutine;                                                                            \
  }                                                                                                \
  void Dispose##Name##UPP(Name##UPP userUPP) {                                                     \
    if (userUPP)                                                                                   \
      --g_liveProcedures;                                                                          \
  }
STANDIN_DATABROWSER_UPPS(STANDIN_DATABROWSER_UPP)
#undef STANDIN_DATABROWSER_UPP

OSStatus InitDataBrowserCallbacks(DataBrowserCallbacks* callbacks) {
  if (callbacks == nullptr || callbacks->version != 0)
    return paramErr;
  *callbacks = DataBrowserCallbacks{};
  return noErr;
}

OSStatus InitDataBrowserCustomCallbacks(DataBrowserCustomCallbacks* callbacks) {
  if (callbacks == nullptr || callbacks->version != 0)
    return paramErr;
  *callbacks = DataBrowserCustomCallbacks{};
  return noErr;
}

OSStatus SetDataBrowserCallbacks(ControlRef browser, const DataBrowserCallbacks* callbacks) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SetDataBrowserCallbacks", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  if (callbacks == nullptr || callbacks->version != 0)
    return paramErr;
  model->callbacks = *callbacks;
  return noErr;
}

OSStatus SetDataBrowserCustomCallbacks(ControlRef browser,
                                       const DataBrowserCustomCallbacks* callbacks) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SetDataBrowserCustomCallbacks", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  if (callbacks == nullptr || callbacks->version != 0)
    return paramErr;
  model->custom = *callbacks;
  return noErr;
}

OSStatus AddDataBrowserItems(ControlRef browser, DataBrowserItemID container, ItemCount numItems,
                             const DataBrowserItemID* items, DataBrowserPropertyID) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("AddDataBrowserItems", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  if (numItems > 0 && items == nullptr)
    return paramErr;
  if (!model->nodes.count(container))
    return errDataBrowserItemNotFound;
  std::set<DataBrowserItemID> fresh;
  for (ItemCount i = 0; i < numItems; ++i)
    if (items[i] == kDataBrowserNoItem || model->nodes.count(items[i]) ||
        !fresh.insert(items[i]).second)
      return errDataBrowserItemNotAdded;
  Session session(browser);
  for (ItemCount i = 0; i < numItems; ++i) {
    StandIn_BrowserModel::Node& node = model->nodes[items[i]];
    node.parent = container;
    node.order = ++model->added;
    model->nodes.at(container).children.push_back(items[i]);
  }
  SortChildren(browser, *model, container, false);
  for (ItemCount i = 0; i < numItems; ++i)
    Notify(browser, *model, items[i], kDataBrowserItemAdded);
  return noErr;
}

OSStatus RemoveDataBrowserItems(ControlRef browser, DataBrowserItemID container, ItemCount numItems,
                                const DataBrowserItemID* items, DataBrowserPropertyID) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("RemoveDataBrowserItems", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  if (!model->nodes.count(container))
    return errDataBrowserItemNotFound;
  Session session(browser);
  std::vector<DataBrowserItemID> going;
  if (items == nullptr)
    going = model->nodes.at(container).children;
  else
    going.assign(items, items + numItems);
  RemoveFromModel(browser, *model, going);
  return noErr;
}

OSStatus UpdateDataBrowserItems(ControlRef browser, DataBrowserItemID, ItemCount,
                                const DataBrowserItemID*, DataBrowserPropertyID,
                                DataBrowserPropertyID) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("UpdateDataBrowserItems", browser, &model))
    return err;
  ++model->updates;
  HIViewSetNeedsDisplay(browser, true);
  return noErr;
}

OSStatus SortDataBrowserContainer(ControlRef browser, DataBrowserItemID container,
                                  Boolean sortChildren) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SortDataBrowserContainer", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  if (!model->nodes.count(container))
    return errDataBrowserItemNotFound;
  Session session(browser);
  SortChildren(browser, *model, container, sortChildren != 0);
  return noErr;
}

OSStatus OpenDataBrowserContainer(ControlRef browser, DataBrowserItemID container) {
  if (OSStatus err = standin_tb::EnterCall("OpenDataBrowserContainer"))
    return err;
  standin_tb::MarkDirty(View(browser));
  return OpenOrClose(browser, container, true);
}

OSStatus CloseDataBrowserContainer(ControlRef browser, DataBrowserItemID container) {
  if (OSStatus err = standin_tb::EnterCall("CloseDataBrowserContainer"))
    return err;
  standin_tb::MarkDirty(View(browser));
  return OpenOrClose(browser, container, false);
}

OSStatus GetDataBrowserItems(ControlRef browser, DataBrowserItemID container, Boolean recurse,
                             DataBrowserItemState state, Handle items) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserItems", browser, &model))
    return err;
  if (items == nullptr)
    return paramErr;
  if (!model->nodes.count(container))
    return errDataBrowserItemNotFound;
  const std::vector<DataBrowserItemID> found = Matching(*model, container, recurse != 0, state);
  const Size bytes = static_cast<Size>(found.size() * sizeof(DataBrowserItemID));
  SetHandleSize(items, bytes);
  if (OSErr err = MemError())
    return err;
  if (bytes > 0)
    std::memcpy(*items, found.data(), static_cast<std::size_t>(bytes));
  return noErr;
}

OSStatus GetDataBrowserItemCount(ControlRef browser, DataBrowserItemID container, Boolean recurse,
                                 DataBrowserItemState state, ItemCount* numItems) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserItemCount", browser, &model))
    return err;
  if (numItems == nullptr)
    return paramErr;
  if (!model->nodes.count(container))
    return errDataBrowserItemNotFound;
  *numItems = Matching(*model, container, recurse != 0, state).size();
  return noErr;
}

OSStatus ForEachDataBrowserItem(ControlRef browser, DataBrowserItemID container, Boolean recurse,
                                DataBrowserItemState state, DataBrowserItemUPP callback,
                                void* clientData) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("ForEachDataBrowserItem", browser, &model))
    return err;
  if (callback == nullptr)
    return paramErr;
  if (!model->nodes.count(container))
    return errDataBrowserItemNotFound;
  Session session(browser);
  std::vector<std::pair<DataBrowserItemID, DataBrowserItemState>> snapshot;
  for (DataBrowserItemID item : Matching(*model, container, recurse != 0, state))
    snapshot.emplace_back(item, StateOf(model->nodes.at(item)));
  for (const auto& entry : snapshot)
    Guarded(0, [&] {
      callback(entry.first, entry.second, clientData);
      return 0;
    });
  return noErr;
}

Boolean IsDataBrowserItemSelected(ControlRef browser, DataBrowserItemID item) {
  StandIn_BrowserModel* model = ModelOf(browser);
  if (model == nullptr)
    return false;
  auto found = model->nodes.find(item);
  return found != model->nodes.end() && found->second.selected;
}

OSStatus GetDataBrowserItemState(ControlRef browser, DataBrowserItemID item,
                                 DataBrowserItemState* state) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserItemState", browser, &model))
    return err;
  auto found = model->nodes.find(item);
  if (found == model->nodes.end() || item == kDataBrowserNoItem)
    return errDataBrowserItemNotFound;
  if (state)
    *state = StateOf(found->second);
  return noErr;
}

OSStatus GetDataBrowserSelectionAnchor(ControlRef browser, DataBrowserItemID* first,
                                       DataBrowserItemID* last) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserSelectionAnchor", browser, &model))
    return err;
  DataBrowserItemID firstSelected = kDataBrowserNoItem;
  DataBrowserItemID lastSelected = kDataBrowserNoItem;
  std::vector<DataBrowserItemID> all;
  CollectDescendants(*model, kDataBrowserNoItem, &all);
  for (DataBrowserItemID item : all) {
    if (!model->nodes.at(item).selected)
      continue;
    if (firstSelected == kDataBrowserNoItem)
      firstSelected = item;
    lastSelected = item;
  }
  if (first)
    *first = firstSelected;
  if (last)
    *last = lastSelected;
  return noErr;
}

OSStatus SetDataBrowserSelectedItems(ControlRef browser, ItemCount numItems,
                                     const DataBrowserItemID* items,
                                     DataBrowserSetOption operation) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SetDataBrowserSelectedItems", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  if (numItems > 0 && items == nullptr)
    return paramErr;
  Session session(browser);
  std::set<DataBrowserItemID> selection = CurrentSelection(*model);
  if (operation == kDataBrowserItemsAssign)
    selection.clear();
  for (ItemCount i = 0; i < numItems; ++i) {
    if (!model->nodes.count(items[i]) || items[i] == kDataBrowserNoItem)
      continue;
    if (operation == kDataBrowserItemsRemove ||
        (operation == kDataBrowserItemsToggle && selection.count(items[i])))
      selection.erase(items[i]);
    else
      selection.insert(items[i]);
    model->anchor = items[i];
  }
  ApplySelection(browser, *model, selection);
  return noErr;
}

OSStatus GetDataBrowserTableViewItemID(ControlRef browser, UInt32 row, DataBrowserItemID* item) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserTableViewItemID", browser, &model))
    return err;
  const std::vector<DataBrowserItemID> rows = Rows(*model);
  if (row >= rows.size())
    return errDataBrowserItemNotFound;
  if (item)
    *item = rows[row];
  return noErr;
}

OSStatus GetDataBrowserTableViewItemRow(ControlRef browser, DataBrowserItemID item, UInt32* row) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserTableViewItemRow", browser, &model))
    return err;
  const std::vector<DataBrowserItemID> rows = Rows(*model);
  auto found = std::find(rows.begin(), rows.end(), item);
  if (found == rows.end())
    return errDataBrowserItemNotFound;
  if (row)
    *row = static_cast<UInt32>(found - rows.begin());
  return noErr;
}

OSStatus GetDataBrowserTableViewColumnCount(ControlRef browser, UInt32* numColumns) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserTableViewColumnCount", browser, &model))
    return err;
  if (numColumns == nullptr)
    return paramErr;
  *numColumns = static_cast<UInt32>(View(browser)->m_Columns.size());
  return noErr;
}

OSStatus GetDataBrowserTableViewColumnProperty(ControlRef browser,
                                               DataBrowserTableViewColumnIndex column,
                                               DataBrowserTableViewColumnID* property) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserTableViewColumnProperty", browser, &model))
    return err;
  if (property == nullptr)
    return paramErr;
  const auto& columns = View(browser)->m_Columns;
  if (column >= columns.size())
    return errDataBrowserPropertyNotFound;
  *property = columns[column].property;
  return noErr;
}

OSStatus GetDataBrowserItemPartBounds(ControlRef browser, DataBrowserItemID item,
                                      DataBrowserPropertyID property, DataBrowserPropertyPart part,
                                      Rect* bounds) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserItemPartBounds", browser, &model))
    return err;
  if (bounds == nullptr)
    return paramErr;
  const StandIn_ViewImpl& view = *View(browser);
  std::size_t column = 0;
  long left = 0;
  if (!FindColumn(view, *model, property, &column, &left))
    return errDataBrowserPropertyNotFound;
  if (part == kDataBrowserPropertyDisclosurePart && property != model->disclosureColumn)
    return errDataBrowserInvalidPropertyPart;
  const std::vector<DataBrowserItemID> rows = Rows(*model);
  const auto found = std::find(rows.begin(), rows.end(), item);
  const std::size_t row = static_cast<std::size_t>(found - rows.begin());
  if (found == rows.end() || row >= ShownRowCount(view, *model, rows.size()))
    return errDataBrowserItemNotFound;
  *bounds = CellRect(view, *model, row, column);
  if (part == kDataBrowserPropertyDisclosurePart)
    bounds->right = static_cast<short>(std::min<long>(bounds->right, bounds->left + 16));
  return noErr;
}

OSStatus SetDataBrowserTableViewRowHeight(ControlRef browser, UInt16 height) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SetDataBrowserTableViewRowHeight", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  if (height == 0)
    return paramErr;
  model->rowHeight = height;
  return noErr;
}

OSStatus GetDataBrowserTableViewRowHeight(ControlRef browser, UInt16* height) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserTableViewRowHeight", browser, &model))
    return err;
  if (height == nullptr)
    return paramErr;
  *height = model->rowHeight;
  return noErr;
}

OSStatus SetDataBrowserTableViewNamedColumnWidth(ControlRef browser,
                                                 DataBrowserTableViewColumnID column,
                                                 UInt16 width) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SetDataBrowserTableViewNamedColumnWidth", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  std::size_t index = 0;
  long left = 0;
  if (!FindColumn(*View(browser), *model, column, &index, &left))
    return errDataBrowserPropertyNotFound;
  model->widths[column] = width;
  return noErr;
}

OSStatus SetDataBrowserScrollBarInset(ControlRef browser, Rect* insetRect) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SetDataBrowserScrollBarInset", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  if (insetRect == nullptr)
    return paramErr;
  model->insets = *insetRect;
  return noErr;
}

OSStatus GetDataBrowserScrollBarInset(ControlRef browser, Rect* insetRect) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserScrollBarInset", browser, &model))
    return err;
  if (insetRect == nullptr)
    return paramErr;
  *insetRect = model->insets;
  return noErr;
}

OSStatus SetDataBrowserTableViewHiliteStyle(ControlRef browser,
                                            DataBrowserTableViewHiliteStyle hiliteStyle) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SetDataBrowserTableViewHiliteStyle", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  model->hiliteStyle = hiliteStyle;
  return noErr;
}

OSStatus GetDataBrowserTableViewHiliteStyle(ControlRef browser,
                                            DataBrowserTableViewHiliteStyle* hiliteStyle) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserTableViewHiliteStyle", browser, &model))
    return err;
  if (hiliteStyle == nullptr)
    return paramErr;
  *hiliteStyle = model->hiliteStyle;
  return noErr;
}

OSStatus SetDataBrowserSortProperty(ControlRef browser, DataBrowserPropertyID property) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SetDataBrowserSortProperty", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  Session session(browser);
  model->sortProperty = property;
  SortChildren(browser, *model, kDataBrowserNoItem, true);
  return noErr;
}

OSStatus GetDataBrowserSortProperty(ControlRef browser, DataBrowserPropertyID* property) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserSortProperty", browser, &model))
    return err;
  if (property == nullptr)
    return paramErr;
  *property = model->sortProperty;
  return noErr;
}

OSStatus SetDataBrowserSortOrder(ControlRef browser, DataBrowserSortOrder order) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SetDataBrowserSortOrder", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  Session session(browser);
  model->sortOrder = order;
  SortChildren(browser, *model, kDataBrowserNoItem, true);
  return noErr;
}

OSStatus GetDataBrowserSortOrder(ControlRef browser, DataBrowserSortOrder* order) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("GetDataBrowserSortOrder", browser, &model))
    return err;
  if (order == nullptr)
    return paramErr;
  *order = model->sortOrder;
  return noErr;
}

OSStatus SetDataBrowserListViewDisclosureColumn(ControlRef browser,
                                                DataBrowserTableViewColumnID column,
                                                Boolean expandableRows) {
  StandIn_BrowserModel* model = nullptr;
  if (OSStatus err = Enter("SetDataBrowserListViewDisclosureColumn", browser, &model))
    return err;
  standin_tb::MarkDirty(View(browser));  // what it shows changes
  std::size_t index = 0;
  long left = 0;
  if (!FindColumn(*View(browser), *model, column, &index, &left))
    return errDataBrowserPropertyNotFound;
  model->disclosureColumn = column;
  model->expandOnDoubleClick = expandableRows != 0;
  return noErr;
}

OSStatus SetDataBrowserItemDataText(DataBrowserItemDataRef itemData, CFStringRef theData) {
  if (itemData == nullptr)
    return errDataBrowserInvalidPropertyData;
  itemData->hasText = true;
  itemData->text = theData ? standin_tb::Utf8(theData) : std::string();
  return noErr;
}

OSStatus SetDataBrowserItemDataIcon(DataBrowserItemDataRef itemData, IconRef theData) {
  if (itemData == nullptr)
    return errDataBrowserInvalidPropertyData;
  itemData->hasIcon = theData != nullptr;
  return noErr;
}

OSStatus SetDataBrowserItemDataButtonValue(DataBrowserItemDataRef itemData, SInt16 theData) {
  if (itemData == nullptr)
    return errDataBrowserInvalidPropertyData;
  itemData->buttonValue = theData;
  return noErr;
}

OSStatus SetDataBrowserItemDataDateTime(DataBrowserItemDataRef itemData, UInt32 theData) {
  if (itemData == nullptr)
    return errDataBrowserInvalidPropertyData;
  itemData->dateTime = theData;
  return noErr;
}

OSStatus SetDataBrowserItemDataBooleanValue(DataBrowserItemDataRef itemData, Boolean theData) {
  if (itemData == nullptr)
    return errDataBrowserInvalidPropertyData;
  itemData->hasBoolean = true;
  itemData->boolean = theData != 0;
  return noErr;
}

OSStatus GetDataBrowserItemDataProperty(DataBrowserItemDataRef itemData,
                                        DataBrowserPropertyID* property) {
  if (itemData == nullptr || property == nullptr)
    return errDataBrowserInvalidPropertyData;
  *property = itemData->property;
  return noErr;
}

long StandIn_DataBrowserUPPLiveCount() {
  return g_liveProcedures;
}

long StandIn_DataBrowserCallbackExceptionCount() {
  return g_callbackExceptions;
}

long StandIn_DataBrowserUpdateCount(ControlRef browser) {
  StandIn_BrowserModel* model = ModelOf(browser);
  return model ? model->updates : 0;
}

OSStatus StandIn_DataBrowserAskShownCells(ControlRef browser) {
  if (ModelOf(browser) == nullptr)
    return errDataBrowserNotConfigured;
  Session session(browser);
  DrawCells(browser, session.Model());
  return noErr;
}

long StandIn_DataBrowserCellAskCount(ControlRef browser, DataBrowserItemID item,
                                     DataBrowserPropertyID property) {
  auto cell = FindCell(browser, item, property);
  return cell ? cell->asks : 0;
}

std::string StandIn_DataBrowserCellText(ControlRef browser, DataBrowserItemID item,
                                        DataBrowserPropertyID property) {
  auto cell = FindCell(browser, item, property);
  return cell ? cell->answer.text : std::string();
}

SInt16 StandIn_DataBrowserCellButtonValue(ControlRef browser, DataBrowserItemID item,
                                          DataBrowserPropertyID property) {
  auto cell = FindCell(browser, item, property);
  return cell ? cell->answer.buttonValue : 0;
}

OSStatus StandIn_DataBrowserCellStatus(ControlRef browser, DataBrowserItemID item,
                                       DataBrowserPropertyID property) {
  auto cell = FindCell(browser, item, property);
  return cell ? cell->status : noErr;
}

DataBrowserItemID StandIn_DataBrowserClick(ControlRef browser, HIPoint where, UInt32 modifiers,
                                           UInt32 clickCount) {
  StandIn_BrowserModel* model = ModelOf(browser);
  if (model == nullptr)
    return kDataBrowserNoItem;
  Session session(browser);
  const StandIn_ViewImpl& view = *session.Impl();
  std::size_t row = 0;
  std::size_t column = 0;
  DataBrowserItemID item = kDataBrowserNoItem;
  if (!RowAt(view, *model, where, &row, &column, &item)) {
    if ((modifiers & (shiftKey | cmdKey)) == 0)
      ApplySelection(browser, *model, {});
    return kDataBrowserNoItem;
  }
  const StandIn_BrowserColumn columnDef = view.m_Columns[column];
  const Rect cell = CellRect(view, *model, row, column);
  if (columnDef.type == kDataBrowserCustomType) {
    const Rect mouse{static_cast<short>(where.y), static_cast<short>(where.x),
                     static_cast<short>(where.y + 1), static_cast<short>(where.x + 1)};
    auto hitTest = model->custom.u.v1.hitTestCallback;
    auto track = model->custom.u.v1.trackingCallback;
    if (hitTest && !Guarded<Boolean>(false, [&] {
          return hitTest(browser, item, columnDef.property, &cell, &mouse);
        }))
      return kDataBrowserNoItem;
    const Point start{static_cast<short>(where.y), static_cast<short>(where.x)};
    if (track && Guarded<DataBrowserTrackingResult>(kDataBrowserNothingHit, [&] {
                   return track(browser, item, columnDef.property, &cell, start,
                                static_cast<EventModifiers>(modifiers));
                 }) != kDataBrowserContentHit)
      return kDataBrowserNoItem;
    if (!model->nodes.count(item))
      return kDataBrowserNoItem;
  }
  const bool onDisclosure =
      columnDef.property == model->disclosureColumn && where.x < cell.left + 16;
  if (onDisclosure && IsContainer(browser, *model, item)) {
    OpenOrClose(browser, item, !model->nodes.at(item).open);
    return item;
  }
  if (clickCount >= 2) {
    // The first click of the pair chose the selection; the second opens.
    Notify(browser, *model, item, kDataBrowserItemDoubleClicked);
    if (model->expandOnDoubleClick && model->nodes.count(item) &&
        IsContainer(browser, *model, item))
      OpenOrClose(browser, item, !model->nodes.at(item).open);
    return item;
  }
  std::set<DataBrowserItemID> selection = CurrentSelection(*model);
  if (modifiers & shiftKey) {
    const std::vector<DataBrowserItemID> rows = Rows(*model);
    auto from = std::find(rows.begin(), rows.end(), model->anchor);
    auto to = rows.begin() + static_cast<std::ptrdiff_t>(row);
    if (from == rows.end())
      from = to;
    if (from > to)
      std::swap(from, to);
    selection.insert(from, to + 1);
  } else if (modifiers & cmdKey) {
    if (!selection.erase(item))
      selection.insert(item);
    model->anchor = item;
  } else {
    selection = {item};
    model->anchor = item;
  }
  ApplySelection(browser, *model, selection);
  return item;
}

long StandIn_DataBrowserStartDrag(ControlRef browser, DragRef drag, RgnHandle dragRgn) {
  StandIn_BrowserModel* model = ModelOf(browser);
  if (model == nullptr)
    return 0;
  Session session(browser);
  if (dragRgn)
    SetEmptyRgn(dragRgn);
  const StandIn_ViewImpl& view = *session.Impl();
  const std::vector<DataBrowserItemID> rows = Rows(*model);
  const std::size_t shown = ShownRowCount(view, *model, rows.size());
  long accepted = 0;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (!model->nodes.count(rows[r]) || !model->nodes.at(rows[r]).selected)
      continue;
    auto add = model->callbacks.u.v1.addDragItemCallback;
    DragItemRef reference = static_cast<DragItemRef>(r + 1);
    if (add && Guarded<Boolean>(false, [&] { return add(browser, drag, rows[r], &reference); }))
      ++accepted;
    auto region = model->custom.u.v1.dragRegionCallback;
    if (region == nullptr || dragRgn == nullptr || r >= shown)
      continue;
    for (std::size_t c = 0; c < view.m_Columns.size(); ++c) {
      if (view.m_Columns[c].type != kDataBrowserCustomType)
        continue;
      const Rect cell = CellRect(view, *model, r, c);
      RgnHandle part = NewRgn();
      if (part == nullptr)
        continue;
      Guarded(0, [&] {
        region(browser, rows[r], view.m_Columns[c].property, &cell, part);
        return 0;
      });
      UnionRgn(dragRgn, part, dragRgn);
      DisposeRgn(part);
    }
  }
  return accepted;
}

Boolean StandIn_DataBrowserDragOver(ControlRef browser, DragRef drag, HIPoint where) {
  StandIn_BrowserModel* model = ModelOf(browser);
  if (model == nullptr || !View(browser)->m_TracksDrags)
    return false;
  Session session(browser);
  HIPoint inWindow = where;
  WindowRef window = HIViewGetWindow(browser);
  Rect structure{0, 0, 0, 0};
  if (window && HIViewConvertPoint(&inWindow, browser, nullptr) == noErr &&
      GetWindowBounds(window, kWindowStructureRgn, &structure) == noErr)
    StandIn_SetMouse(Point{static_cast<short>(structure.top + inWindow.y),
                           static_cast<short>(structure.left + inWindow.x)});
  std::size_t row = 0;
  std::size_t column = 0;
  DataBrowserItemID item = kDataBrowserNoItem;
  RowAt(*session.Impl(), *model, where, &row, &column, &item);
  auto accept = model->callbacks.u.v1.acceptDragCallback;
  model->lastDragAccepted =
      accept && Guarded<Boolean>(false, [&] { return accept(browser, drag, item); });
  return model->lastDragAccepted;
}

Boolean StandIn_DataBrowserEndDrag(ControlRef browser, DragRef drag, HIPoint where, Boolean drop) {
  StandIn_BrowserModel* model = ModelOf(browser);
  if (model == nullptr || !View(browser)->m_TracksDrags)
    return false;
  Session session(browser);
  Boolean received = false;
  if (drop && model->lastDragAccepted) {
    std::size_t row = 0;
    std::size_t column = 0;
    DataBrowserItemID item = kDataBrowserNoItem;
    RowAt(*session.Impl(), *model, where, &row, &column, &item);
    auto receive = model->callbacks.u.v1.receiveDragCallback;
    received = receive && Guarded<Boolean>(false, [&] { return receive(browser, drag, item); });
  }
  model->lastDragAccepted = false;
  const OSStatus result = !drop      ? OSStatus(userCanceledErr)
                          : received ? OSStatus(noErr)
                                     : dragNotAcceptedErr;
  if (auto post = model->callbacks.u.v1.postProcessDragCallback)
    Guarded(0, [&] {
      post(browser, drag, result);
      return 0;
    });
  return received;
}

Boolean StandIn_DataBrowserEditCell(ControlRef browser, DataBrowserItemID item,
                                    DataBrowserPropertyID property, CFStringRef text) {
  StandIn_BrowserModel* model = ModelOf(browser);
  Rect cell{0, 0, 0, 0};
  if (model == nullptr || model->custom.u.v1.editTextCallback == nullptr ||
      GetDataBrowserItemPartBounds(browser, item, property, kDataBrowserPropertyContentPart,
                                   &cell) != noErr)
    return false;
  Session session(browser);
  auto edit = model->custom.u.v1.editTextCallback;
  Boolean shrink = false;
  return Guarded<Boolean>(false,
                          [&] { return edit(browser, item, property, text, &cell, &shrink); });
}
