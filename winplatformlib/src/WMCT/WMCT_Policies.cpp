#include "WMCT/WMCT_Policies.h"

#include "WMCT/WMCT_MultiColumnTreeCtrl.h"

namespace {

// Hit on the icon, label, indent, button, right side or state icon.
constexpr UINT kOnAnyPart = 0x7E;
constexpr int kScrollZone = 20;

TVHITTESTINFO HitTest(HWND tree, POINT point) {
  TVHITTESTINFO hit = {};
  hit.pt = point;
  ::SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return hit;
}

HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT code) {
  return reinterpret_cast<HTREEITEM>(
      ::SendMessageW(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

}  // namespace

std::unique_ptr<iWMCT_DeletePolicyBase> iWMCT_DeletePolicyBase::Clone() const {
  return std::make_unique<iWMCT_DeletePolicyBase>(*this);
}

bool iWMCT_DeletePolicyBase::IsDeleteKey(unsigned short) const {
  return false;
}

void iWMCT_DeletePolicyBase::ItemsToDelete(WMCT_TreeItemVector&, const WMCT_TreeItemVector&) const {
}

HWND iWMCT_BehaviourPolicyBase::Tree() const {
  return m_Control->GetTreeCtrl();
}

HWND iWMCT_BehaviourPolicyBase::ControlWindow() const {
  return m_Control->m_hWnd;
}

// Auto-scroll.

std::unique_ptr<iWMCT_BehaviourPolicyBase> iWMCT_BehaviourAutoScroll::Clone() const {
  return std::make_unique<iWMCT_BehaviourAutoScroll>(*this);
}

void iWMCT_BehaviourAutoScroll::DragOver(POINT point) {
  m_Point = point;
  RECT client = {};
  ::GetClientRect(Tree(), &client);
  int event = 0;
  if (point.y<kScrollZone&& ::GetScrollPos(Tree(), SB_VERT)> 0) {
    event = 1;
  } else if (client.bottom - point.y < kScrollZone &&
             HitTest(Tree(), point).flags != TVHT_NOWHERE) {
    event = 2;
  }
  Event(event);
}

void iWMCT_BehaviourAutoScroll::Timer(UINT_PTR id, LPARAM) {
  if (id == kDelayTimer) {
    Event(5);
  } else if (id == kRepeatTimer) {
    Event(6);
  }
}

void iWMCT_BehaviourAutoScroll::Stop() {
  ::KillTimer(ControlWindow(), kDelayTimer);
  ::KillTimer(ControlWindow(), kRepeatTimer);
  m_State = kIdle;
}

void iWMCT_BehaviourAutoScroll::Step(bool up) {
  const TVHITTESTINFO hit = HitTest(Tree(), m_Point);
  if (hit.hItem == nullptr || (hit.flags & kOnAnyPart) == 0) {
    return;
  }
  const HTREEITEM target =
      NextItem(Tree(), hit.hItem, up ? TVGN_PREVIOUSVISIBLE : TVGN_NEXTVISIBLE);
  if (target) {
    ::SendMessageW(Tree(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(target));
  }
}

void iWMCT_BehaviourAutoScroll::Event(int event) {
  const HWND control = ControlWindow();
  switch (m_State) {
    case kIdle:
      if (event == 1 || event == 2) {
        ::SetTimer(control, kDelayTimer, 500, nullptr);
        m_State = event == 1 ? kWaitUp : kWaitDown;
      }
      break;
    case kWaitUp:
    case kWaitDown: {
      const bool up = m_State == kWaitUp;
      if (event == 0 || event == (up ? 1 : 2)) {
        ::KillTimer(control, kDelayTimer);
        m_State = kIdle;
      } else if (event == 5) {
        ::KillTimer(control, kDelayTimer);
        Step(up);
        ::SetTimer(control, kRepeatTimer, 100, nullptr);
        m_State = up ? kScrollingUp : kScrollingDown;
      }
      break;
    }
    case kScrollingUp:
    case kScrollingDown: {
      const bool up = m_State == kScrollingUp;
      if (event == 0 || event == (up ? 1 : 2)) {
        ::KillTimer(control, kRepeatTimer);
        m_State = kIdle;
      } else if (event == 6) {
        Step(up);
      }
      break;
    }
  }
}

// Auto-expand.

std::unique_ptr<iWMCT_BehaviourPolicyBase> iWMCT_BehaviourAutoExpand::Clone() const {
  return std::make_unique<iWMCT_BehaviourAutoExpand>(*this);
}

void iWMCT_BehaviourAutoExpand::DragOver(POINT point) {
  const TVHITTESTINFO hit = HitTest(Tree(), point);
  if (m_Item != nullptr) {
    if (hit.hItem != m_Item) {
      m_Item = nullptr;
      Event(1);
    }
    return;
  }
  if (hit.hItem == nullptr || (hit.flags & kOnAnyPart) == 0) {
    return;
  }
  TVITEMW item = {};
  item.mask = TVIF_CHILDREN;
  item.hItem = hit.hItem;
  ::SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  const bool collapsed =
      NextItem(Tree(), hit.hItem, TVGN_NEXTVISIBLE) != NextItem(Tree(), hit.hItem, TVGN_CHILD);
  if (item.cChildren != 0 && collapsed) {
    m_Item = hit.hItem;
    Event(0);
  }
}

void iWMCT_BehaviourAutoExpand::Timer(UINT_PTR id, LPARAM) {
  if (id == kTimer) {
    Event(2);
  }
}

void iWMCT_BehaviourAutoExpand::Stop() {
  ::KillTimer(ControlWindow(), kTimer);
  m_State = kIdle;
}

void iWMCT_BehaviourAutoExpand::Event(int event) {
  const HWND control = ControlWindow();
  if (m_State == kIdle) {
    if (event == 0) {
      ::SetTimer(control, kTimer, 500, nullptr);
      m_State = kWaiting;
    }
    return;
  }
  if (event == 0) {
    ::SetTimer(control, kTimer, 500, nullptr);
  } else if (event == 1) {
    Stop();
  } else if (event == 2) {
    ::KillTimer(control, kTimer);
    m_State = kIdle;
    if (m_Item) {
      ::SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(m_Item));
    }
  }
}
