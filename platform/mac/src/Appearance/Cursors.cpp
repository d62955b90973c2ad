// Cursors of the Mac stand-in (see HIToolbox/Appearance.h): theme cursors by number, resource
// cursors from PNG files in the main bundle's resources.
#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFURL.h>
#include <CoreGraphics/CoreGraphics.h>
#include <HIToolbox/Appearance.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

struct StandIn_ResourceCursor {
  OSType type = 0;
  SInt16 id = 0;
  std::size_t width = 0, height = 0;
};

namespace {

constexpr OSType kColourCursor = 0x63727372;  // 'crsr'
constexpr OSType kPlainCursor = 0x43555253;   // 'CURS'

std::mutex g_Mutex;
StandIn_CursorRecord g_Current;
std::atomic<long> g_LiveCursors{0};

// The cursor's image size from "<type>_<id>.png" in the main bundle's resources; false when the
// bundle lacks it or it is no PNG image.
bool ReadCursor(OSType type, SInt16 id, StandIn_ResourceCursor* cursor) {
  CFBundleRef bundle = CFBundleGetMainBundle();
  if (bundle == nullptr)
    return false;
  const std::string name =
      std::string(type == kColourCursor ? "crsr_" : "CURS_") + std::to_string(id);
  CFStringRef resource = CFStringCreateWithCString(nullptr, name.c_str(), kCFStringEncodingUTF8);
  CFURLRef url =
      resource ? CFBundleCopyResourceURL(bundle, resource, CFSTR("png"), nullptr) : nullptr;
  if (resource)
    CFRelease(resource);
  if (url == nullptr)
    return false;
  CGDataProviderRef provider = CGDataProviderCreateWithURL(url);
  CFRelease(url);
  CGImageRef image = provider ? CGImageCreateWithPNGDataProvider(provider, nullptr, false,
                                                                 kCGRenderingIntentDefault)
                              : nullptr;
  CGDataProviderRelease(provider);
  if (image == nullptr)
    return false;
  cursor->type = type;
  cursor->id = id;
  cursor->width = CGImageGetWidth(image);
  cursor->height = CGImageGetHeight(image);
  CGImageRelease(image);
  return true;
}

// A handle (a pointer to a pointer) to a record that holds the cursor; null when it cannot be
// read.
template <class Record>
Record** NewCursorHandle(OSType type, SInt16 id) {
  auto cursor = std::make_unique<StandIn_ResourceCursor>();
  if (!ReadCursor(type, id, cursor.get()))
    return nullptr;
  auto record = std::make_unique<Record>();
  auto handle = std::make_unique<Record*>(record.get());
  record->cursor = cursor.release();
  record.release();
  ++g_LiveCursors;
  return handle.release();
}

void Show(const StandIn_ResourceCursor& cursor) {
  std::lock_guard<std::mutex> lock(g_Mutex);
  g_Current = StandIn_CursorRecord{};
  g_Current.theme = false;
  g_Current.resourceType = cursor.type;
  g_Current.resourceID = cursor.id;
  g_Current.width = cursor.width;
  g_Current.height = cursor.height;
}

}  // namespace

OSStatus SetThemeCursor(ThemeCursor inCursor) {
  if (inCursor > kThemePointingHandCursor)
    return paramErr;
  std::lock_guard<std::mutex> lock(g_Mutex);
  g_Current = StandIn_CursorRecord{};
  g_Current.themeCursor = inCursor;
  return noErr;
}

CCrsrHandle GetCCursor(SInt16 crsrID) {
  return NewCursorHandle<CCrsr>(kColourCursor, crsrID);
}

void SetCCursor(CCrsrHandle cCrsr) {
  if (cCrsr != nullptr && *cCrsr != nullptr)
    Show(*(*cCrsr)->cursor);
}

void DisposeCCursor(CCrsrHandle cCrsr) {
  if (cCrsr == nullptr)
    return;
  if (*cCrsr != nullptr) {
    delete (*cCrsr)->cursor;
    delete *cCrsr;
  }
  delete cCrsr;
  --g_LiveCursors;
}

CursHandle GetCursor(SInt16 cursorID) {
  return NewCursorHandle<Cursor>(kPlainCursor, cursorID);
}

void SetCursor(const Cursor* crsr) {
  if (crsr != nullptr && crsr->cursor != nullptr)
    Show(*crsr->cursor);
}

StandIn_CursorRecord StandIn_CurrentCursor() {
  std::lock_guard<std::mutex> lock(g_Mutex);
  return g_Current;
}

long StandIn_ResourceCursorCount() {
  return g_LiveCursors.load();
}
