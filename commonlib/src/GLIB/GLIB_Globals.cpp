#include "GLIB/GLIB_Globals.h"

#include <atomic>
#include <new>

namespace {

// Serialises creating and deleting the globals. A spin lock needs no construction, so it works
// from the first static initialiser on; it is held only while the globals are made or freed.
std::atomic_flag g_lifecycleLock = ATOMIC_FLAG_INIT;

class LifecycleGuard {
public:
  LifecycleGuard() {
    while (g_lifecycleLock.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~LifecycleGuard() { g_lifecycleLock.clear(std::memory_order_release); }
  LifecycleGuard(const LifecycleGuard&) = delete;
  LifecycleGuard& operator=(const LifecycleGuard&) = delete;
};

}  // namespace

// ---------------------------------------------------------------------------------------------

GLIB_GlobalsMessage::GLIB_GlobalsMessage(GLIB_LogHandlerPtr logHandler, GLIB_String autoFilePrefix,
                                         GLIB_DetailMessageFormattingFunctionPtr formatter,
                                         GLIB_NewFailHandlerPtr newFailHandler,
                                         const GLIB_UserMessageCallbackVector& userCallbacks)
    : m_AutoFilePrefix(std::move(autoFilePrefix)),
      m_Formatter(formatter),
      m_NewFailHandler(newFailHandler),
      m_LogHandler(logHandler),
      m_UserCallbacks(userCallbacks) {}

iGLIB_GlobalsMutex::~iGLIB_GlobalsMutex() = default;
void iGLIB_GlobalsMutex::Acquire() {}
void iGLIB_GlobalsMutex::Release() {}

// ---------------------------------------------------------------------------------------------

void GLIB_Globals::GlobalsDispatcher::BroadcastMessage(const GLIB_Message& message) const {
  GetDispatcher().BroadcastMessage(message);
}

void GLIB_Globals::GlobalsDispatcher::UnregisterAll() const {
  GetDispatcher().UnregisterAll();
}

GLIB_Globals::GLIB_Globals()
    : m_NewFailHandler(GLIB_DefaultNewFailHandler),
      m_LogHandler(GLIB_DefaultLogMessageHandler),
      m_AutoFilePrefix("TEMP"),
      m_Formatter(GLIB_DefaultMessageFormattingCallbackFunction),
      m_Dispatcher(nullptr),
      m_ExceptionHandlingMemory(new (std::nothrow) char[kExceptionHandlingReserveSize]) {
  if (m_ExceptionHandlingMemory == nullptr) {
    throw GLIB_BadAllocException(kExceptionHandlingReserveSize, __FILE__, __LINE__);
  }
}

GLIB_Globals::~GLIB_Globals() {
  FreeExceptionHandlingMemory();
  delete m_Dispatcher;
}

void GLIB_Globals::SetLogHandler(GLIB_LogHandlerPtr handler) {
  m_LogHandler = handler;
  NotifyObserver();
}

void GLIB_Globals::SetNewFailHandler(GLIB_NewFailHandlerPtr handler) {
  m_NewFailHandler = handler;
  NotifyObserver();
}

void GLIB_Globals::SetDetailMsgFmtPtr(GLIB_DetailMessageFormattingFunctionPtr formatter) {
  m_Formatter = formatter;
  NotifyObserver();
}

void GLIB_Globals::SetAutoFilePrefix(GLIB_String prefix) {
  m_AutoFilePrefix = std::move(prefix);
  NotifyObserver();
}

void GLIB_Globals::SetGLIBGlobals(const GLIB_GlobalsMessage& settings) {
  m_Formatter = settings.GetDetailMsgFmtPtr();
  m_LogHandler = settings.GetLogHandler();
  m_NewFailHandler = settings.GetNewFailHandler();
  m_UserCallbacks = settings.GetUserMessageCallbacks();
  m_AutoFilePrefix = settings.GetAutoFilePrefix();
  NotifyObserver();
}

void GLIB_Globals::AddUserMessageCallback(GLIB_UserMessageCallback* cb) {
  if (cb == nullptr) {
    return;
  }
  m_UserCallbacks.push_back(cb);
  NotifyObserver();
}

void GLIB_Globals::RemoveUserMessageCallback(GLIB_UserMessageCallback* cb) {
  if (cb == nullptr) {
    return;
  }
  for (auto it = m_UserCallbacks.begin(); it != m_UserCallbacks.end(); ++it) {
    if (*it == cb) {
      m_UserCallbacks.erase(it);
      NotifyObserver();
      return;
    }
  }
}

void GLIB_Globals::NotifyObserver() {
  if (m_Dispatcher == nullptr) {
    return;
  }
  const GLIB_GlobalsMessage message(m_LogHandler, m_AutoFilePrefix, m_Formatter, m_NewFailHandler,
                                    m_UserCallbacks);
  m_Dispatcher->BroadcastMessage(message);
}

void GLIB_Globals::InitializeDispatcher() const {
  // A listener may have registered (and so made one) before the creator got here.
  if (m_Dispatcher == nullptr) {
    m_Dispatcher = new (__LINE__, __FILE__) GlobalsDispatcher;
  }
}

void GLIB_Globals::Register(const GLIB_CallbackBase* cb) {
  InitializeDispatcher();
  m_Dispatcher->Register(cb);
}

void GLIB_Globals::UnregisterListener(const GLIB_MessageTarget& target) const {
  if (m_Dispatcher != nullptr) {
    m_Dispatcher->UnregisterListener(target);
  }
}

void GLIB_Globals::UnregisterAllListeners() const {
  if (m_Dispatcher != nullptr) {
    m_Dispatcher->UnregisterAll();
  }
}

void GLIB_Globals::FreeExceptionHandlingMemory() {
  delete[] m_ExceptionHandlingMemory;
  m_ExceptionHandlingMemory = nullptr;
}

// ---------------------------------------------------------------------------------------------

std::atomic<std::uint32_t> GLIB_GlobalsInst::sm_RefCount{0};
iGLIB_GlobalsMutex* GLIB_GlobalsInst::sm_PMutex = nullptr;
GLIB_Globals* GLIB_GlobalsInst::sm_PGlobalsInst = nullptr;

// Holds the globals lock for one accessor operation, also when it throws.
class GLIB_GlobalsInst::Lock {
public:
  Lock() { sm_PMutex->Acquire(); }
  ~Lock() { sm_PMutex->Release(); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
};

GLIB_GlobalsInst::GLIB_GlobalsInst() {
  // While any accessor lives the globals exist: just count this one.
  std::uint32_t count = sm_RefCount.load();
  while (count != 0) {
    if (sm_RefCount.compare_exchange_weak(count, count + 1)) {
      return;
    }
  }

  bool created = false;
  {
    LifecycleGuard guard;
    if (sm_PGlobalsInst == nullptr) {
      CreateGlobals();  // on failure the count stays as it was, so the next accessor retries
      created = true;
    }
    sm_RefCount.fetch_add(1);
  }
  if (created) {
    // Counted already, so an allocation failure handler that makes an accessor finds the
    // globals.
    try {
      Lock lock;
      sm_PGlobalsInst->InitializeDispatcher();
    } catch (...) {
      ReleaseReference();
      throw;
    }
    KeepGlobalsUntilExit();
  }
}

GLIB_GlobalsInst::~GLIB_GlobalsInst() {
  ReleaseReference();
}

void GLIB_GlobalsInst::ReleaseReference() {
  if (sm_RefCount.fetch_sub(1) != 1) {
    return;
  }
  LifecycleGuard guard;
  // Another accessor may have come and counted itself meanwhile.
  if (sm_RefCount.load() == 0 && sm_PGlobalsInst != nullptr) {
    delete sm_PGlobalsInst;
    sm_PGlobalsInst = nullptr;
    delete sm_PMutex;
    sm_PMutex = nullptr;
  }
}

void GLIB_GlobalsInst::CreateGlobals() {
  std::size_t mutexSize = 0;
  try {
    sm_PMutex = iGLIB_NewGlobalsPlatformMutex(mutexSize);
  } catch (const std::bad_alloc&) {
    sm_PMutex = nullptr;
    throw GLIB_BadAllocException(mutexSize, __FILE__, __LINE__);
  }
  try {
    sm_PGlobalsInst = new GLIB_Globals;
  } catch (const std::bad_alloc&) {
    sm_PGlobalsInst = nullptr;
    delete sm_PMutex;
    sm_PMutex = nullptr;
    throw GLIB_BadAllocException(sizeof(GLIB_Globals), __FILE__, __LINE__);
  }
}

void GLIB_GlobalsInst::KeepGlobalsUntilExit() {
  // Destroyed by the exit-time destructors, after every accessor made before it.
  static GLIB_GlobalsInst keeper;
}

GLIB_LogHandlerPtr GLIB_GlobalsInst::GetLogHandler() const {
  Lock lock;
  return sm_PGlobalsInst->GetLogHandler();
}

GLIB_NewFailHandlerPtr GLIB_GlobalsInst::GetNewFailHandler() const {
  Lock lock;
  return sm_PGlobalsInst->GetNewFailHandler();
}

GLIB_DetailMessageFormattingFunctionPtr GLIB_GlobalsInst::GetDetailMsgFmtPtr() const {
  Lock lock;
  return sm_PGlobalsInst->GetDetailMsgFmtPtr();
}

GLIB_String GLIB_GlobalsInst::GetAutoFilePrefix() const {
  Lock lock;
  return sm_PGlobalsInst->GetAutoFilePrefix();
}

GLIB_UserMessageCallbackVector GLIB_GlobalsInst::GetUserMessageCallbacks() const {
  Lock lock;
  return sm_PGlobalsInst->GetUserMessageCallbacks();
}

bool GLIB_GlobalsInst::HasExceptionHandlingMemory() const {
  Lock lock;
  return sm_PGlobalsInst->HasExceptionHandlingMemory();
}

void GLIB_GlobalsInst::SetLogHandler(GLIB_LogHandlerPtr handler) {
  Lock lock;
  sm_PGlobalsInst->SetLogHandler(handler);
}

void GLIB_GlobalsInst::SetNewFailHandler(GLIB_NewFailHandlerPtr handler) {
  Lock lock;
  sm_PGlobalsInst->SetNewFailHandler(handler);
}

void GLIB_GlobalsInst::SetDetailMsgFmtPtr(GLIB_DetailMessageFormattingFunctionPtr formatter) {
  Lock lock;
  sm_PGlobalsInst->SetDetailMsgFmtPtr(formatter);
}

void GLIB_GlobalsInst::SetAutoFilePrefix(GLIB_String prefix) {
  Lock lock;
  sm_PGlobalsInst->SetAutoFilePrefix(std::move(prefix));
}

void GLIB_GlobalsInst::SetGLIBGlobals(const GLIB_GlobalsMessage& settings) {
  Lock lock;
  sm_PGlobalsInst->SetGLIBGlobals(settings);
}

void GLIB_GlobalsInst::AddUserMessageCallback(GLIB_UserMessageCallback* cb) {
  Lock lock;
  sm_PGlobalsInst->AddUserMessageCallback(cb);
}

void GLIB_GlobalsInst::RemoveUserMessageCallback(GLIB_UserMessageCallback* cb) {
  Lock lock;
  sm_PGlobalsInst->RemoveUserMessageCallback(cb);
}

void GLIB_GlobalsInst::NotifyObserver() {
  Lock lock;
  sm_PGlobalsInst->NotifyObserver();
}

void GLIB_GlobalsInst::FreeExceptionHandlingMemory() {
  Lock lock;
  sm_PGlobalsInst->FreeExceptionHandlingMemory();
}

void GLIB_GlobalsInst::Register(const GLIB_CallbackBase* cb) {
  Lock lock;
  sm_PGlobalsInst->Register(cb);
}

void GLIB_GlobalsInst::UnregisterListener(const GLIB_MessageTarget& target) const {
  Lock lock;
  sm_PGlobalsInst->UnregisterListener(target);
}

void GLIB_GlobalsInst::UnregisterAllListeners() const {
  Lock lock;
  sm_PGlobalsInst->UnregisterAllListeners();
}
