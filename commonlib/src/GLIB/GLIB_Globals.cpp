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

GLIB_GlobalsMessage::GLIB_GlobalsMessage(GLIB_LogHandlerPtr logHandler,
                                         GLIB_String autoFilePrefix,
                                         GLIB_DetailMessageFormattingFunctionPtr formatter,
                                         GLIB_NewFailHandlerPtr newFailHandler,
                                         const GLIB_UserMessageCallbackVector& userCallbacks)
    : m_autoFilePrefix(std::move(autoFilePrefix)),
      m_formatter(formatter),
      m_newFailHandler(newFailHandler),
      m_logHandler(logHandler),
      m_userCallbacks(userCallbacks) {}

iGLIB_GlobalsMutex::~iGLIB_GlobalsMutex() = default;
void iGLIB_GlobalsMutex::Acquire() {}
void iGLIB_GlobalsMutex::Release() {}

// ---------------------------------------------------------------------------------------------

void GLIB_Globals::GlobalsDispatcher::BroadcastMessage(const GLIB_Message& message) const {
  GetDispatcher().BroadcastMessage(message);
}

void GLIB_Globals::GlobalsDispatcher::UnregisterAll() const { GetDispatcher().UnregisterAll(); }

GLIB_Globals::GLIB_Globals()
    : m_newFailHandler(GLIB_DefaultNewFailHandler),
      m_logHandler(GLIB_DefaultLogMessageHandler),
      m_autoFilePrefix("TEMP"),
      m_formatter(GLIB_DefaultMessageFormattingCallbackFunction),
      m_dispatcher(nullptr),
      m_exceptionHandlingMemory(new (std::nothrow) char[kExceptionHandlingReserveSize]) {
  if (m_exceptionHandlingMemory == nullptr) {
    throw GLIB_BadAllocException(kExceptionHandlingReserveSize, __FILE__, __LINE__);
  }
}

GLIB_Globals::~GLIB_Globals() {
  FreeExceptionHandlingMemory();
  delete m_dispatcher;
}

void GLIB_Globals::SetLogHandler(GLIB_LogHandlerPtr handler) {
  m_logHandler = handler;
  NotifyObserver();
}

void GLIB_Globals::SetNewFailHandler(GLIB_NewFailHandlerPtr handler) {
  m_newFailHandler = handler;
  NotifyObserver();
}

void GLIB_Globals::SetDetailMsgFmtPtr(GLIB_DetailMessageFormattingFunctionPtr formatter) {
  m_formatter = formatter;
  NotifyObserver();
}

void GLIB_Globals::SetAutoFilePrefix(GLIB_String prefix) {
  m_autoFilePrefix = std::move(prefix);
  NotifyObserver();
}

void GLIB_Globals::SetGLIBGlobals(const GLIB_GlobalsMessage& settings) {
  m_formatter = settings.GetDetailMsgFmtPtr();
  m_logHandler = settings.GetLogHandler();
  m_newFailHandler = settings.GetNewFailHandler();
  m_userCallbacks = settings.GetUserMessageCallbacks();
  m_autoFilePrefix = settings.GetAutoFilePrefix();
  NotifyObserver();
}

void GLIB_Globals::AddUserMessageCallback(GLIB_UserMessageCallback* cb) {
  if (cb == nullptr) {
    return;
  }
  m_userCallbacks.push_back(cb);
  NotifyObserver();
}

void GLIB_Globals::RemoveUserMessageCallback(GLIB_UserMessageCallback* cb) {
  if (cb == nullptr) {
    return;
  }
  for (auto it = m_userCallbacks.begin(); it != m_userCallbacks.end(); ++it) {
    if (*it == cb) {
      m_userCallbacks.erase(it);
      NotifyObserver();
      return;
    }
  }
}

void GLIB_Globals::NotifyObserver() {
  if (m_dispatcher == nullptr) {
    return;
  }
  const GLIB_GlobalsMessage message(m_logHandler, m_autoFilePrefix, m_formatter,
                                    m_newFailHandler, m_userCallbacks);
  m_dispatcher->BroadcastMessage(message);
}

void GLIB_Globals::InitializeDispatcher() const {
  // A listener may have registered (and so made one) before the creator got here.
  if (m_dispatcher == nullptr) {
    m_dispatcher = new (__LINE__, __FILE__) GlobalsDispatcher;
  }
}

void GLIB_Globals::Register(const GLIB_CallbackBase* cb) {
  InitializeDispatcher();
  m_dispatcher->Register(cb);
}

void GLIB_Globals::UnregisterListener(const GLIB_MessageTarget& target) const {
  if (m_dispatcher != nullptr) {
    m_dispatcher->UnregisterListener(target);
  }
}

void GLIB_Globals::UnregisterAllListeners() const {
  if (m_dispatcher != nullptr) {
    m_dispatcher->UnregisterAll();
  }
}

void GLIB_Globals::FreeExceptionHandlingMemory() {
  delete[] m_exceptionHandlingMemory;
  m_exceptionHandlingMemory = nullptr;
}

// ---------------------------------------------------------------------------------------------

std::atomic<std::uint32_t> GLIB_GlobalsInst::sm_refCount{0};
iGLIB_GlobalsMutex* GLIB_GlobalsInst::sm_pMutex = nullptr;
GLIB_Globals* GLIB_GlobalsInst::sm_pGlobalsInst = nullptr;

// Holds the globals lock for one accessor operation, also when it throws.
class GLIB_GlobalsInst::Lock {
public:
  Lock() { sm_pMutex->Acquire(); }
  ~Lock() { sm_pMutex->Release(); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
};

GLIB_GlobalsInst::GLIB_GlobalsInst() {
  // While any accessor lives the globals exist: just count this one.
  std::uint32_t count = sm_refCount.load();
  while (count != 0) {
    if (sm_refCount.compare_exchange_weak(count, count + 1)) {
      return;
    }
  }

  bool created = false;
  {
    LifecycleGuard guard;
    if (sm_pGlobalsInst == nullptr) {
      CreateGlobals();  // on failure the count stays as it was, so the next accessor retries
      created = true;
    }
    sm_refCount.fetch_add(1);
  }
  if (created) {
    // Counted already, so an allocation failure handler that makes an accessor finds the
    // globals.
    try {
      Lock lock;
      sm_pGlobalsInst->InitializeDispatcher();
    } catch (...) {
      ReleaseReference();
      throw;
    }
    KeepGlobalsUntilExit();
  }
}

GLIB_GlobalsInst::~GLIB_GlobalsInst() { ReleaseReference(); }

void GLIB_GlobalsInst::ReleaseReference() {
  if (sm_refCount.fetch_sub(1) != 1) {
    return;
  }
  LifecycleGuard guard;
  // Another accessor may have come and counted itself meanwhile.
  if (sm_refCount.load() == 0 && sm_pGlobalsInst != nullptr) {
    delete sm_pGlobalsInst;
    sm_pGlobalsInst = nullptr;
    delete sm_pMutex;
    sm_pMutex = nullptr;
  }
}

void GLIB_GlobalsInst::CreateGlobals() {
  std::size_t mutexSize = 0;
  try {
    sm_pMutex = iGLIB_NewGlobalsPlatformMutex(mutexSize);
  } catch (const std::bad_alloc&) {
    sm_pMutex = nullptr;
    throw GLIB_BadAllocException(mutexSize, __FILE__, __LINE__);
  }
  try {
    sm_pGlobalsInst = new GLIB_Globals;
  } catch (const std::bad_alloc&) {
    sm_pGlobalsInst = nullptr;
    delete sm_pMutex;
    sm_pMutex = nullptr;
    throw GLIB_BadAllocException(sizeof(GLIB_Globals), __FILE__, __LINE__);
  }
}

void GLIB_GlobalsInst::KeepGlobalsUntilExit() {
  // Destroyed by the exit-time destructors, after every accessor made before it.
  static GLIB_GlobalsInst keeper;
}

GLIB_LogHandlerPtr GLIB_GlobalsInst::GetLogHandler() const {
  Lock lock;
  return sm_pGlobalsInst->GetLogHandler();
}

GLIB_NewFailHandlerPtr GLIB_GlobalsInst::GetNewFailHandler() const {
  Lock lock;
  return sm_pGlobalsInst->GetNewFailHandler();
}

GLIB_DetailMessageFormattingFunctionPtr GLIB_GlobalsInst::GetDetailMsgFmtPtr() const {
  Lock lock;
  return sm_pGlobalsInst->GetDetailMsgFmtPtr();
}

GLIB_String GLIB_GlobalsInst::GetAutoFilePrefix() const {
  Lock lock;
  return sm_pGlobalsInst->GetAutoFilePrefix();
}

GLIB_UserMessageCallbackVector GLIB_GlobalsInst::GetUserMessageCallbacks() const {
  Lock lock;
  return sm_pGlobalsInst->GetUserMessageCallbacks();
}

bool GLIB_GlobalsInst::HasExceptionHandlingMemory() const {
  Lock lock;
  return sm_pGlobalsInst->HasExceptionHandlingMemory();
}

void GLIB_GlobalsInst::SetLogHandler(GLIB_LogHandlerPtr handler) {
  Lock lock;
  sm_pGlobalsInst->SetLogHandler(handler);
}

void GLIB_GlobalsInst::SetNewFailHandler(GLIB_NewFailHandlerPtr handler) {
  Lock lock;
  sm_pGlobalsInst->SetNewFailHandler(handler);
}

void GLIB_GlobalsInst::SetDetailMsgFmtPtr(GLIB_DetailMessageFormattingFunctionPtr formatter) {
  Lock lock;
  sm_pGlobalsInst->SetDetailMsgFmtPtr(formatter);
}

void GLIB_GlobalsInst::SetAutoFilePrefix(GLIB_String prefix) {
  Lock lock;
  sm_pGlobalsInst->SetAutoFilePrefix(std::move(prefix));
}

void GLIB_GlobalsInst::SetGLIBGlobals(const GLIB_GlobalsMessage& settings) {
  Lock lock;
  sm_pGlobalsInst->SetGLIBGlobals(settings);
}

void GLIB_GlobalsInst::AddUserMessageCallback(GLIB_UserMessageCallback* cb) {
  Lock lock;
  sm_pGlobalsInst->AddUserMessageCallback(cb);
}

void GLIB_GlobalsInst::RemoveUserMessageCallback(GLIB_UserMessageCallback* cb) {
  Lock lock;
  sm_pGlobalsInst->RemoveUserMessageCallback(cb);
}

void GLIB_GlobalsInst::NotifyObserver() {
  Lock lock;
  sm_pGlobalsInst->NotifyObserver();
}

void GLIB_GlobalsInst::FreeExceptionHandlingMemory() {
  Lock lock;
  sm_pGlobalsInst->FreeExceptionHandlingMemory();
}

void GLIB_GlobalsInst::Register(const GLIB_CallbackBase* cb) {
  Lock lock;
  sm_pGlobalsInst->Register(cb);
}

void GLIB_GlobalsInst::UnregisterListener(const GLIB_MessageTarget& target) const {
  Lock lock;
  sm_pGlobalsInst->UnregisterListener(target);
}

void GLIB_GlobalsInst::UnregisterAllListeners() const {
  Lock lock;
  sm_pGlobalsInst->UnregisterAllListeners();
}
