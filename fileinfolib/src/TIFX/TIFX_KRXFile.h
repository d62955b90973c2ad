// An open preview file: the file spec plus one read-only TIFF handle, the preview-file
// test, directory selection, typed reads of standard tags and the parsed private directory of
// the current IFD.
#pragma once

#include "GFIL/GFIL_FileSpec.h"
#include "TIFX/TIFX_Exception.h"
#include "TIFX/TIFX_NoltDirectory.h"
#include "TIFX/TIFX_Tags.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

struct tiff;
struct TIFX_xtiff;

class TIFX_KRXFile : public GFIL_FileSpec {
public:
  // Index reported while the library's current directory is not known (after a failed
  // selection).
  static constexpr unsigned short kUnknownDirectory = 0xFFFF;
  // IFD 0: the full-resolution separation.
  static constexpr unsigned short kImageDirectory = 0;
  // The longest side a valid file's image may have: at 8:1, eight display pixels to one, it
  // still fits a signed 32-bit number.
  static constexpr std::uint32_t kMaxSide = (std::uint32_t{1} << 28) - 1;
  // A tile's offset and byte count in a classic TIFF file: the least room each tile takes.
  static constexpr std::uint64_t kTableBytesPerTile = 8;

  explicit TIFX_KRXFile(GFIL_FileSpec const& spec);
  // A copy names the same file and starts closed.
  TIFX_KRXFile(TIFX_KRXFile const& other);
  TIFX_KRXFile& operator=(TIFX_KRXFile const& other);
  ~TIFX_KRXFile();

  // Installs the tag extender and the recording error and warning handlers, once per process.
  static void SetCallbackFunctions();

  // Opens read-only and reads IFD 0; nothing when already open. Throws TIFX_FileIOException.
  void Open();
  void Close();
  bool IsOpen() const { return m_IsOpen; }

  // The preview-file test; leaves the current directory as it found it. Besides the tags, the
  // sizes must be ones the viewer can address: image sides from 1 to kMaxSide pixels, a
  // thumbnail no larger than the image at the thumbnail's scale (a pixel to spare), and no more
  // tiles in either than the file has room for in its tile tables.
  bool IsValid();
  int SetDirectory(unsigned short index);
  // Makes the directory current, reading it only when another one is; the result as
  // SetDirectory's, 1 when it was current already.
  int SelectDirectoryIfNeeded(unsigned short index);
  int SelectImageDirectory() { return SelectDirectoryIfNeeded(kImageDirectory); }
  unsigned short CurrentDirectory() const { return m_DirectoryIndex; }

  // T is the tag's own type: std::uint32_t, std::uint16_t, float or char const* (text owned by
  // the handle, valid until the directory changes). Throws TIFX_TagNotFoundException.
  template <class T>
  T GetTag(std::uint32_t tag);

  // C, M, Y, K of the current private directory; throws TIFX_TagNotFoundException (63) when
  // the directory has none.
  std::uint16_t const* GetCMYKEquivalent() const;
  TIFX_NoltDirectory const& GetPrivateDirectory() const;

  // Reads the tile holding pixel (x, y) of the current directory into a buffer of bufferSize
  // bytes; the byte count, or -1 (also when the tile does not fit the buffer).
  long ReadTile(void* buffer, std::size_t bufferSize, std::uint32_t x, std::uint32_t y);
  tiff* GetTIFFHandle() const { return m_TIFF; }

  // The TIFF library's hooks.
  static void ErrorHandler(char const* module, char const* format, va_list args);
  static void WarningHandler(char const* module, char const* format, va_list args);
  static void DefaultDirectory(tiff* tif);
  static int VSetField(tiff* tif, std::uint32_t tag, va_list args);
  static void PrintDirectory(tiff* tif, FILE* out, long flags);

  // Texts of the last error and warning reported outside any of this module's handles.
  static std::string LastErrorMessage();
  static std::string LastWarningMessage();

private:
  void RequireOpen() const;
  void RefreshDirectory();
  bool DirectoryIsComplete();
  bool ThumbnailPasses();
  // The current directory's sides are 1 to max pixels, and its tile tables fit the file.
  bool SizeFits(std::uint32_t maxWidth, std::uint32_t maxLength);
  // The flavour's own way to open the file; null on failure (the library reported why).
  tiff* OpenHandle(void* openOptions);

  bool m_IsOpen = false;
  tiff* m_TIFF = nullptr;
  TIFX_NoltDirectory const* m_CurrentDirectory = nullptr;
  std::unique_ptr<TIFX_xtiff> m_Extension;
  unsigned short m_DirectoryIndex = kUnknownDirectory;

  static void (*sm_ParentExtender)(tiff*);
  static void (*sm_ErrorHandler)(char const*, char const*, va_list);
  static void (*sm_WarningHandler)(char const*, char const*, va_list);
  static std::once_flag sm_CallbacksInstalled;
  static std::mutex sm_MessageMutex;
  static std::string sm_LastErrorMessage;
  static std::string sm_LastWarningMessage;
};

template <>
std::uint32_t TIFX_KRXFile::GetTag<std::uint32_t>(std::uint32_t tag);
template <>
std::uint16_t TIFX_KRXFile::GetTag<std::uint16_t>(std::uint32_t tag);
template <>
float TIFX_KRXFile::GetTag<float>(std::uint32_t tag);
template <>
char const* TIFX_KRXFile::GetTag<char const*>(std::uint32_t tag);
