#include "GLIB/GLIB_Message.h"

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_New.h"

#include <algorithm>
#include <functional>

// ---------------------------------------------------------------------------------------------
// GLIB_MessageDispatcher

GLIB_MessageDispatcher::GLIB_MessageDispatcher()
    : m_core(new (__LINE__, __FILE__) GLIB_MessageDispatcherCore) {}

GLIB_MessageDispatcher::GLIB_MessageDispatcher(const GLIB_MessageDispatcher& other)
    : m_core(other.m_core) {
  ++m_core->m_refCount;
}

GLIB_MessageDispatcher& GLIB_MessageDispatcher::operator=(const GLIB_MessageDispatcher& other) {
  if (m_core != other.m_core) {
    GLIB_MessageDispatcherCore* shared = other.m_core;
    ++shared->m_refCount;
    RemoveReference();
    m_core = shared;
  }
  return *this;
}

GLIB_MessageDispatcher::~GLIB_MessageDispatcher() { RemoveReference(); }

void GLIB_MessageDispatcher::RemoveReference() {
  if (m_core == nullptr) {
    return;
  }
  if (--m_core->m_refCount == 0) {
    UnregisterAll();
    delete m_core;
  }
  m_core = nullptr;
}

void GLIB_MessageDispatcher::Register(const GLIB_CallbackBase* cb) const {
  if (cb == nullptr) {
    return;
  }
  // The list node is made before the target records us, so nothing can fail after that and
  // a failure leaves neither a half-registered callback nor a stray handle in the target.
  GLIB_MessageDispatcherCore::EntryList pending;
  pending.push_back({cb, false});
  cb->DidRegister(*this);
  m_core->Register(pending);
}

void GLIB_MessageDispatcher::Unregister(const GLIB_MessageTarget* target) const {
  m_core->Unregister(target);
  if (target != nullptr) {
    target->RemoveDispatcher(*this);
  }
}

void GLIB_MessageDispatcher::UnregisterAll() const {
  while (const GLIB_CallbackBase* cb = m_core->FirstCallback()) {
    cb->DidUnregister(*this);
    m_core->UnregisterFirstCallback();
  }
}

void GLIB_MessageDispatcher::BroadcastMessage(const GLIB_Message& message) const {
  if (m_core->m_callbacks.empty()) {
    return;
  }
  // A handler may close the sender and with it this handle; the core must outlive the walk.
  const GLIB_MessageDispatcher keepAlive(*this);
  keepAlive.m_core->BroadcastMessage(message);
}

// ---------------------------------------------------------------------------------------------
// GLIB_MessageDispatcherCore

GLIB_MessageDispatcherCore::GLIB_MessageDispatcherCore()
    : m_listChanged(false), m_passParity(true), m_broadcasting(false), m_refCount(1) {}

GLIB_MessageDispatcherCore::~GLIB_MessageDispatcherCore() = default;

void GLIB_MessageDispatcherCore::Register(EntryList& pending) const {
  // A new entry carries the current parity, so a running broadcast still reaches it.
  pending.front().passMark = m_passParity;
  m_callbacks.splice(m_callbacks.end(), pending);
  m_listChanged = true;
}

std::size_t GLIB_MessageDispatcherCore::Unregister(const GLIB_MessageTarget* target) const {
  std::size_t left = 0;
  for (EntryList::iterator it = m_callbacks.begin(); it != m_callbacks.end();) {
    const GLIB_CallbackBase* cb = it->callback;
    if (cb->TargetEquals(target)) {
      it = m_callbacks.erase(it);
      delete cb;
      m_listChanged = true;
    } else {
      ++it;
      ++left;
    }
  }
  return left;
}

void GLIB_MessageDispatcherCore::UnregisterFirstCallback() const {
  if (m_callbacks.empty()) {
    return;
  }
  const GLIB_CallbackBase* cb = m_callbacks.front().callback;
  m_callbacks.pop_front();
  delete cb;
  m_listChanged = true;
}

const GLIB_CallbackBase* GLIB_MessageDispatcherCore::FirstCallback() const {
  return m_callbacks.empty() ? nullptr : m_callbacks.front().callback;
}

void GLIB_MessageDispatcherCore::RestoreMarks(bool mark) const {
  for (Entry& entry : m_callbacks) {
    entry.passMark = mark;
  }
}

void GLIB_MessageDispatcherCore::BroadcastMessage(const GLIB_Message& message) const {
  // The pass marks and the list-changed flag serve one walk at a time; a nested walk would
  // leave the outer one on a stale entry.
  if (m_broadcasting) {
    GLIB_LogMessage::Log(GLIB_SEVERITY_FATAL,
                         "Message broadcast from inside a handler of the same dispatcher.",
                         __FILE__, __LINE__);
    return;
  }
  m_broadcasting = true;
  m_listChanged = false;
  const bool newMark = !m_passParity;
  const auto unvisited = [newMark](const Entry& entry) { return entry.passMark != newMark; };

  try {
    EntryList::iterator it = m_callbacks.begin();
    while (it != m_callbacks.end()) {
      it->passMark = newMark;
      const GLIB_CallbackBase* cb = it->callback;
      if (cb->MessageTypeEquals(message)) {
        cb->ProcessMessage(message);
      }
      if (!m_listChanged) {
        ++it;
      } else {
        // The current entry may be gone; visited entries form the front of the list.
        m_listChanged = false;
        it = std::find_if(m_callbacks.begin(), m_callbacks.end(), unvisited);
      }
    }
  } catch (...) {
    RestoreMarks(m_passParity);
    m_broadcasting = false;
    throw;
  }
  m_passParity = newMark;
  m_broadcasting = false;
}

// ---------------------------------------------------------------------------------------------
// GLIB_MessageTarget

GLIB_MessageTarget::~GLIB_MessageTarget() { UnregisterAll(); }

std::list<GLIB_MessageDispatcher>::iterator GLIB_MessageTarget::LowerBound(
    const GLIB_MessageDispatcherCore* core) const {
  const std::less<const GLIB_MessageDispatcherCore*> before;
  return std::find_if(m_dispatchers.begin(), m_dispatchers.end(),
                      [&](const GLIB_MessageDispatcher& d) { return !before(d.Core(), core); });
}

bool GLIB_MessageTarget::AddDispatcher(const GLIB_MessageDispatcher& dispatcher) const {
  const auto it = LowerBound(dispatcher.Core());
  if (it != m_dispatchers.end() && it->Core() == dispatcher.Core()) {
    return false;
  }
  m_dispatchers.insert(it, dispatcher);
  return true;
}

bool GLIB_MessageTarget::RemoveDispatcher(const GLIB_MessageDispatcher& dispatcher) const {
  const auto it = LowerBound(dispatcher.Core());
  if (it == m_dispatchers.end() || it->Core() != dispatcher.Core()) {
    return false;
  }
  m_dispatchers.erase(it);
  return true;
}

void GLIB_MessageTarget::UnregisterAll() const {
  while (!m_dispatchers.empty()) {
    // The copy keeps the core alive while Unregister drops the handle from our list.
    const GLIB_MessageDispatcher first(m_dispatchers.front());
    first.Unregister(this);
  }
}
