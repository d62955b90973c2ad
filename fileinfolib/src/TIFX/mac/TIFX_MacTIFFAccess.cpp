#include "TIFX/mac/TIFX_MacTIFFAccess.h"

#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr toff_t kSeekFailed = static_cast<toff_t>(-1);

FSIORefNum ForkOf(thandle_t handle) {
  return static_cast<FSIORefNum>(reinterpret_cast<std::intptr_t>(handle));
}

thandle_t HandleOf(FSIORefNum fork) {
  return reinterpret_cast<thandle_t>(static_cast<std::intptr_t>(fork));
}

// Releases a CoreFoundation object when the scope ends.
class CFReleaser {
public:
  explicit CFReleaser(CFTypeRef object) : m_Object(object) {}
  ~CFReleaser() {
    if (m_Object)
      CFRelease(m_Object);
  }
  CFReleaser(CFReleaser const&) = delete;
  CFReleaser& operator=(CFReleaser const&) = delete;

private:
  CFTypeRef m_Object;
};

// The POSIX path of ref in the system encoding; empty when it cannot be made. The buffer is
// sized for the encoding, not for the number of characters.
std::vector<char> PathOf(FSRef const* ref) {
  CFURLRef url = CFURLCreateFromFSRef(nullptr, ref);
  CFReleaser urlReleaser(url);
  if (!url)
    return {};
  CFStringRef path = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
  CFReleaser pathReleaser(path);
  if (!path)
    return {};
  // A name the system encoding cannot hold is given in UTF-8, the path's own encoding.
  for (CFStringEncoding encoding :
       {CFStringGetSystemEncoding(), CFStringEncoding{kCFStringEncodingUTF8}}) {
    const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(path), encoding);
    if (size < 0)
      continue;
    std::vector<char> name(static_cast<std::size_t>(size) + 1, '\0');
    if (CFStringGetCString(path, name.data(), static_cast<CFIndex>(name.size()), encoding))
      return name;
  }
  return {};
}

void PrintMessage(char const* module, char const* prefix, char const* format, va_list args) {
  if (module)
    std::fprintf(stderr, "%s: ", module);
  std::fputs(prefix, stderr);
  std::vfprintf(stderr, format, args);
  std::fputs(".\n", stderr);
}

}  // namespace

TIFF* TIFFFSRefOpen(FSRef const* ref, char const* mode, TIFFOpenOptions* options) {
  static char const* const kModule = "TIFFFSRefOpen";
  const std::vector<char> name = PathOf(ref);
  if (name.empty()) {
    TIFFErrorExt(nullptr, kModule, "Cannot make the path of the file");
    return nullptr;
  }
  HFSUniStr255 forkName;
  FSGetDataForkName(&forkName);
  if (!mode || mode[0] != 'r') {
    TIFFErrorExt(nullptr, kModule, "Encountered unsupported file mode (O_CREAT).");
    return nullptr;
  }
  const bool readWrite = std::strchr(mode, '+') != nullptr;
  FSIORefNum fork = 0;
  if (FSOpenFork(ref, forkName.length, forkName.unicode, readWrite ? fsRdWrPerm : fsRdPerm,
                 &fork) != noErr) {
    TIFFErrorExt(nullptr, kModule,
                 readWrite ? "Unable to open file \"%s\" for 'O_RDWR' mode"
                           : "Unable to open file \"%s\" for 'O_RDONLY' mode",
                 name.data());
    return nullptr;
  }
  TIFF* tif = TIFFClientOpenExt(name.data(), mode, HandleOf(fork), _tiffReadProc, _tiffWriteProc,
                                _tiffSeekProc, _tiffCloseProc, _tiffSizeProc, _tiffMapProc,
                                _tiffUnmapProc, options);
  if (!tif) {
    FSCloseFork(fork);
    return nullptr;
  }
  TIFFSetFileno(tif, fork);
  return tif;
}

// Gives the number of bytes read: fewer at the end of the file (0 there) and 0 when the read
// fails. Never -1 for a read: libtiff 4.5 adds the result to its count before it checks it and
// then clears its buffer from one byte before the start.
tmsize_t _tiffReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  if (size < 0)
    return -1;
  ByteCount done = 0;
  const OSErr result =
      FSReadFork(ForkOf(handle), fsAtMark, 0, static_cast<ByteCount>(size), buffer, &done);
  if (result != noErr && result != eofErr)
    return 0;
  return static_cast<tmsize_t>(done);
}

tmsize_t _tiffWriteProc(thandle_t handle, void* buffer, tmsize_t size) {
  ByteCount done = 0;
  if (size < 0 || FSWriteFork(ForkOf(handle), fsAtMark, 0, static_cast<ByteCount>(size), buffer,
                              &done) != noErr)
    return -1;
  return static_cast<tmsize_t>(done);
}

// Moves the mark; a seek never changes the fork's size, so a place beyond the end (or before
// the start) fails.
toff_t _tiffSeekProc(thandle_t handle, toff_t offset, int whence) {
  // Every tile read seeks: the size is asked for only where the target depends on it, as
  // setting the position itself refuses a place beyond the end.
  const FSIORefNum fork = ForkOf(handle);
  SInt64 size = 0, position = 0;
  if (FSGetForkPosition(fork, &position) != noErr)
    return kSeekFailed;
  const std::int64_t delta = static_cast<std::int64_t>(offset);
  std::int64_t target = 0;
  switch (whence) {
    case SEEK_SET:
      if (offset > static_cast<toff_t>(INT64_MAX))
        return kSeekFailed;
      target = delta;
      break;
    case SEEK_CUR:
      target = position + delta;
      break;
    case SEEK_END:
      if (FSGetForkSize(fork, &size) != noErr)
        return kSeekFailed;
      target = size + delta;
      break;
    default:
      return static_cast<toff_t>(position);
  }
  if (target < 0)
    return kSeekFailed;
  if (FSSetForkPosition(fork, fsFromStart, target) != noErr)
    return kSeekFailed;
  if (FSGetForkPosition(fork, &position) != noErr)
    return kSeekFailed;
  return static_cast<toff_t>(position);
}

int _tiffCloseProc(thandle_t handle) {
  return FSCloseFork(ForkOf(handle));
}

toff_t _tiffSizeProc(thandle_t handle) {
  SInt64 size = 0;
  if (FSGetForkSize(ForkOf(handle), &size) != noErr) {
    TIFFErrorExt(nullptr, "_tiffSizeProc", "%s: Cannot get file size", "_tiffSizeProc");
    return static_cast<toff_t>(-1);
  }
  // A classic TIFF file addresses its data with 32-bit offsets.
  if (size >= (SInt64{1} << 32)) {
    TIFFErrorExt(nullptr, "_tiffSizeProc", "%s: file size too big for libtiff", "_tiffSizeProc");
    return static_cast<toff_t>(-1);
  }
  return static_cast<toff_t>(size);
}

int _tiffMapProc(thandle_t, void**, toff_t*) {
  return 0;
}

void _tiffUnmapProc(thandle_t, void*, toff_t) {}

void MacOSXWarningHandler(char const* module, char const* format, va_list args) {
  PrintMessage(module, "Warning, ", format, args);
}

void MacOSXErrorHandler(char const* module, char const* format, va_list args) {
  PrintMessage(module, "", format, args);
}
