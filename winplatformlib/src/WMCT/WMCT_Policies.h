// Pluggable policies of the tree control: what the delete key removes, and behaviours fed with
// drag, expansion and timer events (auto-scroll and auto-expand during a drag).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "TMPL/TMPL_ReferenceCountPointer.h"
#include "WMCT/WMCT_TreeItem.h"

class WMCT_MultiColumnTreeCtrl;

// The base policy deletes nothing.
class iWMCT_DeletePolicyBase {
public:
  virtual ~iWMCT_DeletePolicyBase() = default;
  virtual std::unique_ptr<iWMCT_DeletePolicyBase> Clone() const;
  virtual bool IsDeleteKey(unsigned short virtualKey) const;
  virtual void ItemsToDelete(WMCT_TreeItemVector& result,
                             const WMCT_TreeItemVector& selected) const;
};

class iWMCT_BehaviourPolicyBase {
public:
  explicit iWMCT_BehaviourPolicyBase(WMCT_MultiColumnTreeCtrl* control) : m_Control(control) {}
  virtual ~iWMCT_BehaviourPolicyBase() = default;
  virtual std::unique_ptr<iWMCT_BehaviourPolicyBase> Clone() const = 0;
  virtual void DragBegin(WPARAM, LPARAM) {}
  // point in tree-view client coordinates.
  virtual void DragOver(POINT) {}
  virtual void DragLeave(LPARAM) {}
  virtual void DragEnd() {}
  virtual void ItemExpanded(const NMTREEVIEWW&) {}
  virtual void Timer(UINT_PTR, LPARAM) {}

protected:
  HWND Tree() const;
  HWND ControlWindow() const;
  WMCT_MultiColumnTreeCtrl* m_Control;
};

using WMCT_BehaviourPolicyPtr = TMPL_ReferenceCountPointer<iWMCT_BehaviourPolicyBase>;

// Scrolls while the pointer rests in the 20-pixel zone at the top or bottom of the tree view:
// after 500 ms (timer 2000), then every 100 ms (timer 2001), until it moves.
class iWMCT_BehaviourAutoScroll : public iWMCT_BehaviourPolicyBase {
public:
  enum State {
    kIdle,
    kWaitUp,
    kWaitDown,
    kScrollingUp,
    kScrollingDown
  };
  static constexpr UINT_PTR kDelayTimer = 2000;
  static constexpr UINT_PTR kRepeatTimer = 2001;

  using iWMCT_BehaviourPolicyBase::iWMCT_BehaviourPolicyBase;
  std::unique_ptr<iWMCT_BehaviourPolicyBase> Clone() const override;
  void DragBegin(WPARAM, LPARAM) override { m_State = kIdle; }
  void DragOver(POINT point) override;
  void DragLeave(LPARAM) override { Stop(); }
  void DragEnd() override { Stop(); }
  void Timer(UINT_PTR id, LPARAM) override;

  State GetState() const { return m_State; }

private:
  void Event(int event);
  void Stop();
  void Step(bool up);

  State m_State = kIdle;
  POINT m_Point = {};
};

// Expands a collapsed row with children after the pointer has rested on it for 500 ms (timer
// 3000).
class iWMCT_BehaviourAutoExpand : public iWMCT_BehaviourPolicyBase {
public:
  enum State {
    kIdle,
    kWaiting
  };
  static constexpr UINT_PTR kTimer = 3000;

  using iWMCT_BehaviourPolicyBase::iWMCT_BehaviourPolicyBase;
  std::unique_ptr<iWMCT_BehaviourPolicyBase> Clone() const override;
  void DragBegin(WPARAM, LPARAM) override { m_State = kIdle; }
  void DragOver(POINT point) override;
  void DragLeave(LPARAM) override { Stop(); }
  void DragEnd() override { Stop(); }
  void Timer(UINT_PTR id, LPARAM) override;

  State GetState() const { return m_State; }
  HTREEITEM GetRememberedItem() const { return m_Item; }

private:
  void Event(int event);
  void Stop();

  State m_State = kIdle;
  HTREEITEM m_Item = nullptr;
};
