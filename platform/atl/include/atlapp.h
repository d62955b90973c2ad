#pragma once
// The project's own stand-in for WTL's application layer: message filters, idle handlers, the
// message loop of a thread and the application module that keeps one loop per thread. Written
// from WTL's documented behaviour.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <mutex>
#include <vector>

#include "atlbase.h"
#include "atlwin.h"

namespace WTL {

// Sees each message before it is translated and dispatched; true consumes it.
class CMessageFilter {
public:
  virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;

protected:
  ~CMessageFilter() = default;
};

// Called once each time the thread's queue runs empty.
class CIdleHandler {
public:
  virtual BOOL OnIdle() = 0;

protected:
  ~CIdleHandler() = default;
};

// Handlers that may add or remove handlers (themselves included) while the list is walked. A
// removal during a walk leaves a gap that the walk skips and that is closed once no walk runs;
// an addition is walked from the next walk on.
template <class Handler>
class CHandlerList {
public:
  bool Add(Handler* handler) {
    if (handler == nullptr || Contains(handler)) {
      return false;
    }
    m_Handlers.push_back(handler);
    return true;
  }

  bool Remove(Handler* handler) {
    for (auto& entry : m_Handlers) {
      if (entry == handler && handler != nullptr) {
        entry = nullptr;
        CloseGaps();
        return true;
      }
    }
    return false;
  }

  // Calls visit for each handler until one answers true; returns whether one did.
  template <class Visit>
  bool Walk(Visit&& visit) {
    struct WalkScope {
      CHandlerList& m_List;
      explicit WalkScope(CHandlerList& list) : m_List(list) { ++m_List.m_Walks; }
      ~WalkScope() {
        --m_List.m_Walks;
        m_List.CloseGaps();
      }
    } scope(*this);
    const std::size_t count = m_Handlers.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (m_Handlers[i] != nullptr && visit(m_Handlers[i])) {
        return true;
      }
    }
    return false;
  }

private:
  bool Contains(Handler* handler) const {
    for (Handler* entry : m_Handlers) {
      if (entry == handler) {
        return true;
      }
    }
    return false;
  }

  // In place: it also runs while an exception leaves a walk, so it must not allocate.
  void CloseGaps() noexcept {
    if (m_Walks == 0) {
      m_Handlers.erase(std::remove(m_Handlers.begin(), m_Handlers.end(), nullptr),
                       m_Handlers.end());
    }
  }

  std::vector<Handler*> m_Handlers;
  int m_Walks = 0;
};

// The message loop of one thread. Each message goes to the filters first; one that none consumes
// is translated and dispatched through AtlDispatchMessage, so a fatal exception that a window
// kept pending leaves Run. When the queue is empty the idle handlers run once before the loop
// waits again.
class CMessageLoop {
public:
  MSG m_msg = {};

  virtual ~CMessageLoop() = default;

  BOOL AddMessageFilter(CMessageFilter* filter) { return m_Filters.Add(filter); }
  BOOL RemoveMessageFilter(CMessageFilter* filter) { return m_Filters.Remove(filter); }
  BOOL AddIdleHandler(CIdleHandler* handler) { return m_IdleHandlers.Add(handler); }
  BOOL RemoveIdleHandler(CIdleHandler* handler) { return m_IdleHandlers.Remove(handler); }

  // Runs until WM_QUIT and returns its wParam.
  int Run() {
    bool idlePending = true;
    for (;;) {
      if (idlePending && !::PeekMessageW(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
        idlePending = false;
        OnIdle(0);
        GLIB_RethrowPendingFatal();
        continue;
      }
      const BOOL got = ::GetMessageW(&m_msg, nullptr, 0, 0);
      if (got == -1) {
        continue;
      }
      if (got == 0) {
        break;
      }
      if (!PreTranslateMessage(&m_msg)) {
        ::TranslateMessage(&m_msg);
        AtlDispatchMessage(m_msg);
      }
      GLIB_RethrowPendingFatal();
      if (!IsIdleMessage(m_msg)) {
        idlePending = true;
      }
    }
    return static_cast<int>(m_msg.wParam);
  }

  // Mouse moves, paints and the caret's blink come without the user doing anything: they do not
  // make the idle handlers run again.
  static bool IsIdleMessage(const MSG& msg) {
    constexpr UINT kSystemTimer = 0x0118;
    return msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE ||
           msg.message == WM_PAINT || msg.message == kSystemTimer;
  }

  virtual BOOL PreTranslateMessage(MSG* pMsg) {
    return m_Filters.Walk(
        [pMsg](CMessageFilter* filter) { return filter->PreTranslateMessage(pMsg) != FALSE; });
  }

  // Every idle handler runs once per empty queue; the answer (whether any wants more idle time)
  // does not make the loop call them again before the next message.
  virtual BOOL OnIdle(int /*idleCount*/) {
    bool more = false;
    m_IdleHandlers.Walk([&more](CIdleHandler* handler) {
      more = handler->OnIdle() != FALSE || more;
      return false;
    });
    return more;
  }

private:
  CHandlerList<CMessageFilter> m_Filters;
  CHandlerList<CIdleHandler> m_IdleHandlers;
};

// The program's module: its instance and resource search (the shared module object) and the
// message loop of each thread, registered under a lock.
class CAppModule {
public:
  HRESULT Init(void* /*objectMap*/, HINSTANCE instance, const GUID* /*libraryId*/ = nullptr) {
    ::ATL::_AtlBaseModule.SetModuleInstance(instance);
    return S_OK;
  }
  void Term() {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Loops.clear();
  }

  HINSTANCE GetModuleInstance() const { return ::ATL::_AtlBaseModule.GetModuleInstance(); }
  HINSTANCE GetResourceInstance() const { return ::ATL::_AtlBaseModule.GetResourceInstance(); }
  HINSTANCE SetResourceInstance(HINSTANCE instance) {
    return ::ATL::_AtlBaseModule.SetResourceInstance(instance);
  }
  bool AddResourceInstance(HINSTANCE instance) {
    return ::ATL::_AtlBaseModule.AddResourceInstance(instance);
  }
  bool RemoveResourceInstance(HINSTANCE instance) {
    return ::ATL::_AtlBaseModule.RemoveResourceInstance(instance);
  }

  // One loop per thread: a second loop for the same thread is refused.
  BOOL AddMessageLoop(CMessageLoop* loop) {
    if (loop == nullptr) {
      return FALSE;
    }
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Loops.emplace(::GetCurrentThreadId(), loop).second;
  }
  BOOL RemoveMessageLoop() {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Loops.erase(::GetCurrentThreadId()) != 0;
  }
  CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const {
    std::lock_guard<std::mutex> lock(m_Lock);
    const auto found = m_Loops.find(threadId);
    return found == m_Loops.end() ? nullptr : found->second;
  }

private:
  mutable std::mutex m_Lock;
  std::map<DWORD, CMessageLoop*> m_Loops;
};

}  // namespace WTL

using namespace WTL;
