// Navigation Services of the Mac stand-in (see HIToolbox/Navigation.h).
#include <HIToolbox/Navigation.h>

#include "../Files/iStandInFiles.h"

#include <atomic>
#include <cstring>

struct __NavDialog {};

namespace {
std::atomic<long> g_liveDialogs{0};
}

void NavDialogDispose(NavDialogRef inDialog) {
  standin_files::EnterCall("NavDialogDispose");
  if (inDialog) {
    delete inDialog;
    --g_liveDialogs;
  }
}

OSStatus NavDisposeReply(NavReplyRecord* inReply) {
  if (OSErr err = standin_files::EnterCall("NavDisposeReply"))
    return err;
  if (inReply == nullptr)
    return paramErr;
  AEDisposeDesc(&inReply->selection);
  if (inReply->saveFileName)
    CFRelease(inReply->saveFileName);
  std::memset(inReply, 0, sizeof *inReply);
  return noErr;
}

NavDialogRef StandIn_NavNewDialog() {
  ++g_liveDialogs;
  return new __NavDialog;
}

long StandIn_NavLiveDialogCount() {
  return g_liveDialogs.load();
}
