// The Mac lock of the globals. Background tasks log and allocate too, so it is a real recursive
// lock: a listener that runs while it is held may take it again on the same thread.
#include "GLIB/GLIB_Globals.h"

#include <mutex>

class iGLIB_GlobalsPlatformMutex : public iGLIB_GlobalsMutex {
public:
  void Acquire() override { m_Mutex.lock(); }
  void Release() override { m_Mutex.unlock(); }

private:
  std::recursive_mutex m_Mutex;
};

iGLIB_GlobalsMutex* iGLIB_NewGlobalsPlatformMutex(std::size_t& sizeOut) {
  sizeOut = sizeof(iGLIB_GlobalsPlatformMutex);
  return new iGLIB_GlobalsPlatformMutex;
}
