// Apple Help of the Mac stand-in (see Help/AppleHelp.h).
#include <Help/AppleHelp.h>

#include "../Files/iStandInFiles.h"

#include <algorithm>
#include <mutex>
#include <sys/stat.h>

namespace {

std::mutex g_Mutex;
std::vector<std::string> g_Books;

}  // namespace

OSStatus AHRegisterHelpBook(const FSRef* appBundleRef) {
  if (OSErr err = standin_files::EnterCall("AHRegisterHelpBook"))
    return err;
  if (appBundleRef == nullptr)
    return paramErr;
  std::string path;
  struct stat st;
  if (standin_files::PathOfRef(appBundleRef, &path) != noErr || ::stat(path.c_str(), &st) != 0 ||
      !S_ISDIR(st.st_mode))
    return fnfErr;
  std::lock_guard<std::mutex> lock(g_Mutex);
  if (std::find(g_Books.begin(), g_Books.end(), path) == g_Books.end())
    g_Books.push_back(path);
  return noErr;
}

std::vector<std::string> StandIn_RegisteredHelpBooks() {
  std::lock_guard<std::mutex> lock(g_Mutex);
  return g_Books;
}

void StandIn_HelpReset() {
  std::lock_guard<std::mutex> lock(g_Mutex);
  g_Books.clear();
}
