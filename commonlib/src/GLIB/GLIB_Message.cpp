#include "GLIB/GLIB_Message.h"

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_New.h"

#include <algorithm>
#include <functional>

// ---------------------------------------------------------------------------------------------
// GLIB_MessageDispatcher

GLIB_MessageDispatcher::GLIB_MessageDispatcher()
    : m_Core(new (__LINE__, __FILE__) GLIB_MessageDispatcherCore) {}

GLIB_MessageDispatcher::GLIB_MessageDispatcher(const GLIB_MessageDispatcher& other)
    : m_Core(other.m_Core) {
  ++m_Core->m_RefCount;
}

GLIB_MessageDispatcher& GLIB_MessageDispatcher::operator=(const GLIB_MessageDispatcher& other) {
  if (m_Core != other.m_Core) {
    GLIB_MessageDispatcherCore* shared = other.m_Core;
    ++shared->m_RefCount;
    RemoveReference();
    m_Core = shared;
  }
  return *this;
}

GLIB_MessageDispatcher::~GLIB_MessageDispatcher() {
  RemoveReference();
}

void GLIB_MessageDispatcher::RemoveReference() {
  if (m_Core == nullptr) {
    return;
  }
  if (--m_Core->m_RefCount == 0) {
    UnregisterAll();
    delete m_Core;
  }
  m_Core = nullptr;
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
  m_Core->Register(pending);
}

void GLIB_MessageDispatcher::Unregister(const GLIB_MessageTarget* target) const {
  m_Core->Unregister(target);
  if (target != nullptr) {
    target->RemoveDispatcher(*this);
  }
}

void GLIB_MessageDispatcher::UnregisterAll() const {
  while (const GLIB_CallbackBase* cb = m_Core->FirstCallback()) {
    cb->DidUnregister(*this);
    m_Core->UnregisterFirstCallback();
  }
}

void GLIB_MessageDispatcher::BroadcastMessage(const GLIB_Message& message) const {
  if (m_Core->m_Callbacks.empty()) {
    return;
  }
  // A handler may close the sender and with it this handle; the core must outlive the walk.
  const GLIB_MessageDispatcher keepAlive(*this);
  keepAlive.m_Core->BroadcastMessage(message);
}

// ---------------------------------------------------------------------------------------------
// GLIB_MessageDispatcherCore

GLIB_MessageDispatcherCore::GLIB_MessageDispatcherCore()
    : m_ListChanged(false),
      m_PassParity(true),
      m_Broadcasting(false),
      m_RefCount(1) {}

GLIB_MessageDispatcherCore::~GLIB_MessageDispatcherCore() = default;

void GLIB_MessageDispatcherCore::Register(EntryList& pending) const {
  // A new entry carries the current parity, so a running broadcast still reaches it.
  pending.front().passMark = m_PassParity;
  m_Callbacks.splice(m_Callbacks.end(), pending);
  m_ListChanged = true;
}

std::size_t GLIB_MessageDispatcherCore::Unregister(const GLIB_MessageTarget* target) const {
  std::size_t left = 0;
  for (EntryList::iterator it = m_Callbacks.begin(); it != m_Callbacks.end();) {
    const GLIB_CallbackBase* cb = it->callback;
    if (cb->TargetEquals(target)) {
      it = m_Callbacks.erase(it);
      delete cb;
      m_ListChanged = true;
    } else {
      ++it;
      ++left;
    }
  }
  return left;
}

void GLIB_MessageDispatcherCore::UnregisterFirstCallback() const {
  if (m_Callbacks.empty()) {
    return;
  }
  const GLIB_CallbackBase* cb = m_Callbacks.front().callback;
  m_Callbacks.pop_front();
  delete cb;
  m_ListChanged = true;
}

const GLIB_CallbackBase* GLIB_MessageDispatcherCore::FirstCallback() const {
  return m_Callbacks.empty() ? nullptr : m_Callbacks.front().callback;
}

void GLIB_MessageDispatcherCore::RestoreMarks(bool mark) const {
  for (Entry& entry : m_Callbacks) {
    entry.passMark = mark;
  }
}

void GLIB_MessageDispatcherCore::BroadcastMessage(const GLIB_Message& message) const {
  // The pass marks and the list-changed flag serve one walk at a time; a nested walk would
  // leave the outer one on a stale entry.
  if (m_Broadcasting) {
    GLIB_LogMessage::Log(GLIB_SEVERITY_FATAL,
                         "Message broadcast from inside a handler of the same dispatcher.",
                         __FILE__, __LINE__);
    return;
  }
  m_Broadcasting = true;
  m_ListChanged = false;
  const bool newMark = !m_PassParity;
  const auto unvisited = [newMark](const Entry& entry) { return entry.passMark != newMark; };

  try {
    EntryList::iterator it = m_Callbacks.begin();
    while (it != m_Callbacks.end()) {
      it->passMark = newMark;
      const GLIB_CallbackBase* cb = it->callback;
      if (cb->MessageTypeEquals(message)) {
        cb->ProcessMessage(message);
      }
      if (!m_ListChanged) {
        ++it;
      } else {
        // The current entry may be gone; visited entries form the front of the list.
        m_ListChanged = false;
        it = std::find_if(m_Callbacks.begin(), m_Callbacks.end(), unvisited);
      }
    }
  } catch (...) {
    RestoreMarks(m_PassParity);
    m_Broadcasting = false;
    throw;
  }
  m_PassParity = newMark;
  m_Broadcasting = false;
}

// ---------------------------------------------------------------------------------------------
// GLIB_MessageTarget

GLIB_MessageTarget::~GLIB_MessageTarget() {
  UnregisterAll();
}

std::list<GLIB_MessageDispatcher>::iterator
GLIB_MessageTarget::LowerBound(const GLIB_MessageDispatcherCore* core) const {
  const std::less<const GLIB_MessageDispatcherCore*> before;
  return std::find_if(m_Dispatchers.begin(), m_Dispatchers.end(),
                      [&](const GLIB_MessageDispatcher& d) { return !before(d.Core(), core); });
}

bool GLIB_MessageTarget::AddDispatcher(const GLIB_MessageDispatcher& dispatcher) const {
  const auto it = LowerBound(dispatcher.Core());
  if (it != m_Dispatchers.end() && it->Core() == dispatcher.Core()) {
    return false;
  }
  m_Dispatchers.insert(it, dispatcher);
  return true;
}

bool GLIB_MessageTarget::RemoveDispatcher(const GLIB_MessageDispatcher& dispatcher) const {
  const auto it = LowerBound(dispatcher.Core());
  if (it == m_Dispatchers.end() || it->Core() != dispatcher.Core()) {
    return false;
  }
  m_Dispatchers.erase(it);
  return true;
}

void GLIB_MessageTarget::UnregisterAll() const {
  while (!m_Dispatchers.empty()) {
    // The copy keeps the core alive while Unregister drops the handle from our list.
    const GLIB_MessageDispatcher first(m_Dispatchers.front());
    first.Unregister(this);
  }
}
