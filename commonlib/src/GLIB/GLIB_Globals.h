// The foundation's process-wide settings: new-fail handler, log handler, detail-message
// formatter, auto-file prefix, user message callbacks, the exception-handling reserve, and a
// dispatcher that tells listeners when a setting changes.
//
// Nothing reaches GLIB_Globals directly: every access goes through a counted accessor,
// GLIB_GlobalsInst. The first accessor creates the globals and their lock, the last one deletes
// them, and every operation runs under the lock. The lock is recursive: listeners of
// GLIB_GlobalsMessage run while it is held and may use the accessor again.
#pragma once

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_Message.h"
#include "GLIB/GLIB_New.h"
#include "GLIB/GLIB_String.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// Clients derive from this; the foundation only stores, reports and broadcasts the pointers.
class GLIB_UserMessageCallback {
public:
  virtual ~GLIB_UserMessageCallback() = default;
};

using GLIB_UserMessageCallbackVector = std::vector<GLIB_UserMessageCallback*>;

// Broadcast after every change of a setting, with all current settings.
class GLIB_GlobalsMessage : public GLIB_Message {
public:
  GLIB_GlobalsMessage(GLIB_LogHandlerPtr logHandler, GLIB_String autoFilePrefix,
                      GLIB_DetailMessageFormattingFunctionPtr formatter,
                      GLIB_NewFailHandlerPtr newFailHandler,
                      const GLIB_UserMessageCallbackVector& userCallbacks);

  GLIB_String AsString() const override { return "GLIB_GlobalsMessage"; }

  GLIB_LogHandlerPtr GetLogHandler() const { return m_LogHandler; }
  GLIB_String GetAutoFilePrefix() const { return m_AutoFilePrefix; }
  GLIB_DetailMessageFormattingFunctionPtr GetDetailMsgFmtPtr() const { return m_Formatter; }
  GLIB_NewFailHandlerPtr GetNewFailHandler() const { return m_NewFailHandler; }
  const GLIB_UserMessageCallbackVector& GetUserMessageCallbacks() const { return m_UserCallbacks; }

private:
  GLIB_String m_AutoFilePrefix;
  GLIB_DetailMessageFormattingFunctionPtr m_Formatter;
  GLIB_NewFailHandlerPtr m_NewFailHandler;
  GLIB_LogHandlerPtr m_LogHandler;
  GLIB_UserMessageCallbackVector m_UserCallbacks;
};

// The lock of the globals. The flavour's own subclass (iGLIB_GlobalsPlatformMutex) is a real
// recursive lock; this base does nothing.
class iGLIB_GlobalsMutex {
public:
  iGLIB_GlobalsMutex() = default;
  virtual ~iGLIB_GlobalsMutex();
  iGLIB_GlobalsMutex(const iGLIB_GlobalsMutex&) = delete;
  iGLIB_GlobalsMutex& operator=(const iGLIB_GlobalsMutex&) = delete;

  virtual void Acquire();
  virtual void Release();
};

// Makes the flavour's recursive lock (plain allocation: the globals do not exist yet). Throws
// std::bad_alloc when there is no memory; sizeOut receives the object's size either way.
iGLIB_GlobalsMutex* iGLIB_NewGlobalsPlatformMutex(std::size_t& sizeOut);

class GLIB_Globals {
public:
  static const std::size_t kExceptionHandlingReserveSize = 32000;

  class GlobalsDispatcher : public GLIB_Observable {
  public:
    void BroadcastMessage(const GLIB_Message& message) const;
    void UnregisterAll() const;
  };

  // Throws GLIB_BadAllocException (size 32000) when the reserve cannot be allocated.
  GLIB_Globals();
  ~GLIB_Globals();
  GLIB_Globals(const GLIB_Globals&) = delete;
  GLIB_Globals& operator=(const GLIB_Globals&) = delete;

  // Each setter stores and then notifies, also when the value did not change.
  void SetLogHandler(GLIB_LogHandlerPtr handler);
  void SetNewFailHandler(GLIB_NewFailHandlerPtr handler);
  void SetDetailMsgFmtPtr(GLIB_DetailMessageFormattingFunctionPtr formatter);
  void SetAutoFilePrefix(GLIB_String prefix);
  void SetGLIBGlobals(const GLIB_GlobalsMessage& settings);

  GLIB_LogHandlerPtr GetLogHandler() const { return m_LogHandler; }
  GLIB_NewFailHandlerPtr GetNewFailHandler() const { return m_NewFailHandler; }
  GLIB_DetailMessageFormattingFunctionPtr GetDetailMsgFmtPtr() const { return m_Formatter; }
  GLIB_String GetAutoFilePrefix() const { return m_AutoFilePrefix; }
  const GLIB_UserMessageCallbackVector& GetUserMessageCallbacks() const { return m_UserCallbacks; }
  bool HasExceptionHandlingMemory() const { return m_ExceptionHandlingMemory != nullptr; }

  // A null callback is ignored; the same pointer may be added twice.
  void AddUserMessageCallback(GLIB_UserMessageCallback* cb);
  // Removes the first equal pointer; notifies only when one was removed.
  void RemoveUserMessageCallback(GLIB_UserMessageCallback* cb);

  void NotifyObserver();
  void InitializeDispatcher() const;
  void Register(const GLIB_CallbackBase* cb);
  void UnregisterListener(const GLIB_MessageTarget& target) const;
  void UnregisterAllListeners() const;
  void FreeExceptionHandlingMemory();

private:
  GLIB_NewFailHandlerPtr m_NewFailHandler;
  GLIB_LogHandlerPtr m_LogHandler;
  GLIB_String m_AutoFilePrefix;
  GLIB_DetailMessageFormattingFunctionPtr m_Formatter;
  GLIB_UserMessageCallbackVector m_UserCallbacks;
  mutable GlobalsDispatcher* m_Dispatcher;
  char* m_ExceptionHandlingMemory;
};

// A counted accessor of the globals; every operation runs under the globals lock (released
// also when the operation throws). Handlers read here are called by their users after the lock
// is released.
class GLIB_GlobalsInst {
public:
  // The first accessor creates lock and globals; throws GLIB_BadAllocException when it cannot.
  GLIB_GlobalsInst();
  ~GLIB_GlobalsInst();
  GLIB_GlobalsInst(const GLIB_GlobalsInst&) = delete;
  GLIB_GlobalsInst& operator=(const GLIB_GlobalsInst&) = delete;

  GLIB_LogHandlerPtr GetLogHandler() const;
  GLIB_NewFailHandlerPtr GetNewFailHandler() const;
  GLIB_DetailMessageFormattingFunctionPtr GetDetailMsgFmtPtr() const;
  GLIB_String GetAutoFilePrefix() const;
  GLIB_UserMessageCallbackVector GetUserMessageCallbacks() const;
  bool HasExceptionHandlingMemory() const;

  void SetLogHandler(GLIB_LogHandlerPtr handler);
  void SetNewFailHandler(GLIB_NewFailHandlerPtr handler);
  void SetDetailMsgFmtPtr(GLIB_DetailMessageFormattingFunctionPtr formatter);
  void SetAutoFilePrefix(GLIB_String prefix);
  void SetGLIBGlobals(const GLIB_GlobalsMessage& settings);
  void AddUserMessageCallback(GLIB_UserMessageCallback* cb);
  void RemoveUserMessageCallback(GLIB_UserMessageCallback* cb);
  void NotifyObserver();
  void FreeExceptionHandlingMemory();
  void Register(const GLIB_CallbackBase* cb);
  void UnregisterListener(const GLIB_MessageTarget& target) const;
  void UnregisterAllListeners() const;

  // The number of living accessors.
  static std::uint32_t GetRefCount() { return sm_RefCount.load(); }

private:
  class Lock;

  static void CreateGlobals();
  static void ReleaseReference();
  static void KeepGlobalsUntilExit();

  static std::atomic<std::uint32_t> sm_RefCount;
  static iGLIB_GlobalsMutex* sm_PMutex;
  static GLIB_Globals* sm_PGlobalsInst;
};

// Every source file that uses the globals holds one accessor, so they exist from static
// initialisation until the end of the process.
static GLIB_GlobalsInst iGLIB_GLOBALS_INSTANCE;
