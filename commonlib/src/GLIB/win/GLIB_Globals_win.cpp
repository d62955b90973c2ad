// The Windows lock of the globals: a critical section, which its holder may enter again.
#include "GLIB/GLIB_Globals.h"

#include <windows.h>

class iGLIB_GlobalsPlatformMutex : public iGLIB_GlobalsMutex {
public:
  iGLIB_GlobalsPlatformMutex() { InitializeCriticalSection(&m_Section); }
  ~iGLIB_GlobalsPlatformMutex() override { DeleteCriticalSection(&m_Section); }

  void Acquire() override { EnterCriticalSection(&m_Section); }
  void Release() override { LeaveCriticalSection(&m_Section); }

private:
  CRITICAL_SECTION m_Section;
};

iGLIB_GlobalsMutex* iGLIB_NewGlobalsPlatformMutex(std::size_t& sizeOut) {
  sizeOut = sizeof(iGLIB_GlobalsPlatformMutex);
  return new iGLIB_GlobalsPlatformMutex;
}
