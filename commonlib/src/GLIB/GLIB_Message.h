// Typed synchronous messages: a sender owns a GLIB_MessageDispatcher and broadcasts a
// GLIB_Message subclass; listeners register GLIB_Callback objects that bind one of their member
// functions to exactly one message class.
#pragma once

#include "GLIB/GLIB_String.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <typeinfo>

class GLIB_MessageDispatcher;
class GLIB_MessageDispatcherCore;
class GLIB_MessageTarget;

class GLIB_Message {
public:
  virtual ~GLIB_Message() = default;
  // The message class's own name.
  virtual GLIB_String AsString() const = 0;

protected:
  GLIB_Message() = default;
  GLIB_Message(const GLIB_Message&) = default;
  GLIB_Message& operator=(const GLIB_Message&) = default;
};

class GLIB_CallbackBase {
public:
  virtual ~GLIB_CallbackBase() = default;
  virtual void DidRegister(const GLIB_MessageDispatcher& dispatcher) const = 0;
  virtual void DidUnregister(const GLIB_MessageDispatcher& dispatcher) const = 0;
  virtual bool MessageTypeEquals(const GLIB_Message& message) const = 0;
  virtual void ProcessMessage(const GLIB_Message& message) const = 0;
  virtual bool TargetEquals(const GLIB_MessageTarget* target) const = 0;

protected:
  GLIB_CallbackBase() = default;
  GLIB_CallbackBase(const GLIB_CallbackBase&) = default;
  GLIB_CallbackBase& operator=(const GLIB_CallbackBase&) = default;
};

// A handle to a shared, reference-counted core that owns the registered callbacks. Copies are
// handles to the same core. All operations are const: they change the shared core, not the
// handle.
class GLIB_MessageDispatcher {
public:
  GLIB_MessageDispatcher();
  GLIB_MessageDispatcher(const GLIB_MessageDispatcher& other);
  GLIB_MessageDispatcher& operator=(const GLIB_MessageDispatcher& other);
  ~GLIB_MessageDispatcher();

  // Takes ownership of cb. If the target cannot record the dispatcher (no memory), cb stays
  // unregistered and the caller's. A null cb is ignored.
  void Register(const GLIB_CallbackBase* cb) const;
  // Deletes every callback of target held here and drops this dispatcher from the target.
  void Unregister(const GLIB_MessageTarget* target) const;
  void UnregisterAll() const;
  // Delivers message synchronously to every callback of exactly its class; callbacks may
  // register, unregister and destroy listeners (and even the sender) while it runs.
  void BroadcastMessage(const GLIB_Message& message) const;

  // Identity of the shared core: equal for handles that share it.
  const GLIB_MessageDispatcherCore* Core() const { return m_Core; }

private:
  void RemoveReference();

  GLIB_MessageDispatcherCore* m_Core;
};

// The shared state behind dispatcher handles. Only GLIB_MessageDispatcher uses it.
class GLIB_MessageDispatcherCore {
public:
  GLIB_MessageDispatcherCore();
  ~GLIB_MessageDispatcherCore();
  GLIB_MessageDispatcherCore(const GLIB_MessageDispatcherCore&) = delete;
  GLIB_MessageDispatcherCore& operator=(const GLIB_MessageDispatcherCore&) = delete;

private:
  friend class GLIB_MessageDispatcher;

  struct Entry {
    const GLIB_CallbackBase* callback;
    bool passMark;
  };
  using EntryList = std::list<Entry>;

  // Appends already allocated entry nodes (moved out of pending) without allocating.
  void Register(EntryList& pending) const;
  std::size_t Unregister(const GLIB_MessageTarget* target) const;
  void UnregisterFirstCallback() const;
  const GLIB_CallbackBase* FirstCallback() const;
  void BroadcastMessage(const GLIB_Message& message) const;
  void RestoreMarks(bool mark) const;

  mutable EntryList m_Callbacks;
  mutable bool m_ListChanged;
  mutable bool m_PassParity;
  mutable bool m_Broadcasting;
  mutable std::uint32_t m_RefCount;
};

// Base of every listener: remembers the dispatchers holding its callbacks and unregisters from
// all of them when destroyed, so no dispatcher ever calls a destroyed listener.
class GLIB_MessageTarget {
public:
  GLIB_MessageTarget() = default;
  // Registrations belong to one object's address: a copy starts with none.
  GLIB_MessageTarget(const GLIB_MessageTarget&) {}
  GLIB_MessageTarget& operator=(const GLIB_MessageTarget&) { return *this; }
  virtual ~GLIB_MessageTarget();

  // False when a handle of the same core is already recorded.
  bool AddDispatcher(const GLIB_MessageDispatcher& dispatcher) const;
  // False when no handle of that core is recorded.
  bool RemoveDispatcher(const GLIB_MessageDispatcher& dispatcher) const;
  void UnregisterAll() const;

  // The recorded dispatchers, in ascending order of their cores.
  const std::list<GLIB_MessageDispatcher>& Dispatchers() const { return m_Dispatchers; }

private:
  std::list<GLIB_MessageDispatcher>::iterator
  LowerBound(const GLIB_MessageDispatcherCore* core) const;

  mutable std::list<GLIB_MessageDispatcher> m_Dispatchers;
};

template <class Target, class Message>
class GLIB_Callback : public GLIB_CallbackBase {
public:
  using Handler = void (Target::*)(const Message&);

  GLIB_Callback(const Target* target, Handler handler)
      : m_Target(target),
        m_Handler(handler),
        m_MessageType(&typeid(Message)) {}

  void DidRegister(const GLIB_MessageDispatcher& dispatcher) const override {
    if (const GLIB_MessageTarget* base = m_Target) {
      base->AddDispatcher(dispatcher);
    }
  }

  void DidUnregister(const GLIB_MessageDispatcher& dispatcher) const override {
    if (const GLIB_MessageTarget* base = m_Target) {
      base->RemoveDispatcher(dispatcher);
    }
  }

  // Exact class only: a subclass of Message does not match.
  bool MessageTypeEquals(const GLIB_Message& message) const override {
    return typeid(message) == *m_MessageType;
  }

  // Touches no member after the handler returns: the handler may have deleted this callback.
  void ProcessMessage(const GLIB_Message& message) const override {
    const Message& typed = dynamic_cast<const Message&>(message);
    (const_cast<Target*>(m_Target)->*m_Handler)(typed);
  }

  bool TargetEquals(const GLIB_MessageTarget* target) const override {
    const GLIB_MessageTarget* base = m_Target;
    return base == target;
  }

private:
  const Target* m_Target;
  Handler m_Handler;
  const std::type_info* m_MessageType;
};

// Something that others observe: it exposes registration, and a subclass broadcasts.
class GLIB_Observable {
public:
  GLIB_Observable() = default;
  virtual ~GLIB_Observable() = default;
  // Each observable has listeners of its own.
  GLIB_Observable(const GLIB_Observable&) = delete;
  GLIB_Observable& operator=(const GLIB_Observable&) = delete;

  void Register(const GLIB_CallbackBase* cb) const { m_Dispatcher.Register(cb); }
  void UnregisterListener(const GLIB_MessageTarget& target) const {
    m_Dispatcher.Unregister(&target);
  }

protected:
  const GLIB_MessageDispatcher& GetDispatcher() const { return m_Dispatcher; }

private:
  GLIB_MessageDispatcher m_Dispatcher;
};
