#include "TIFX/TIFX_KRXFile.h"

#include "GLIB/GLIB_Exception.h"
#include "TIFX/TIFX_xtiff.h"
#include "TIFX/iTIFX_Fields.h"
#include "TIFX/iTIFX_PrintDirectory.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <vector>

void (*TIFX_KRXFile::sm_ParentExtender)(tiff*) = nullptr;
void (*TIFX_KRXFile::sm_ErrorHandler)(char const*, char const*, va_list) = nullptr;
void (*TIFX_KRXFile::sm_WarningHandler)(char const*, char const*, va_list) = nullptr;
std::once_flag TIFX_KRXFile::sm_CallbacksInstalled;
std::mutex TIFX_KRXFile::sm_MessageMutex;
std::string TIFX_KRXFile::sm_LastErrorMessage;
std::string TIFX_KRXFile::sm_LastWarningMessage;

static_assert(kTIFX_TagNewSubfileType == TIFFTAG_SUBFILETYPE &&
                  kTIFX_TagImageWidth == TIFFTAG_IMAGEWIDTH &&
                  kTIFX_TagImageLength == TIFFTAG_IMAGELENGTH &&
                  kTIFX_TagBitsPerSample == TIFFTAG_BITSPERSAMPLE &&
                  kTIFX_TagCompression == TIFFTAG_COMPRESSION &&
                  kTIFX_TagPhotometric == TIFFTAG_PHOTOMETRIC &&
                  kTIFX_TagOrientation == TIFFTAG_ORIENTATION &&
                  kTIFX_TagXResolution == TIFFTAG_XRESOLUTION &&
                  kTIFX_TagYResolution == TIFFTAG_YRESOLUTION &&
                  kTIFX_TagPlanarConfig == TIFFTAG_PLANARCONFIG &&
                  kTIFX_TagResolutionUnit == TIFFTAG_RESOLUTIONUNIT &&
                  kTIFX_TagTileWidth == TIFFTAG_TILEWIDTH &&
                  kTIFX_TagTileLength == TIFFTAG_TILELENGTH &&
                  kTIFX_TagInkNames == TIFFTAG_INKNAMES,
              "the exported tag numbers are the TIFF library's");

namespace {

// The record of the file this thread is opening: the tag extender hangs it on the new handle,
// and messages the library reports before the handle exists land in it. Handles this module
// did not open get no record and are left alone.
struct OpeningState {
  TIFX_xtiff* record = nullptr;
  bool attached = false;
};
thread_local OpeningState t_Opening;

class OpeningScope {
public:
  explicit OpeningScope(TIFX_xtiff* record) : m_Saved(t_Opening) { t_Opening = {record, false}; }
  ~OpeningScope() { t_Opening = m_Saved; }
  OpeningScope(OpeningScope const&) = delete;
  OpeningScope& operator=(OpeningScope const&) = delete;

private:
  OpeningState m_Saved;
};

// "[module] message", each part cut to the 1024-byte formatting buffer.
std::string FormatMessage(char const* module, char const* format, va_list args) {
  char buffer[1024];
  std::string text;
  if (module) {
    std::snprintf(buffer, sizeof buffer, "[%s] ", module);
    text = buffer;
  }
  std::vsnprintf(buffer, sizeof buffer, format, args);
  return text + buffer;
}

int HandleError(TIFF*, void* record, char const* module, char const* format, va_list args) {
  static_cast<TIFX_xtiff*>(record)->LastErrorMessage = FormatMessage(module, format, args);
  return 1;
}

int HandleWarning(TIFF*, void* record, char const* module, char const* format, va_list args) {
  static_cast<TIFX_xtiff*>(record)->LastWarningMessage = FormatMessage(module, format, args);
  return 1;
}

// The error text without the module prefix, "[module] ".
std::string WithoutModule(std::string const& text) {
  const std::size_t bracket = text.find(']');
  if (bracket == std::string::npos)
    return text;
  std::size_t start = bracket + 1;
  if (start < text.size() && text[start] == ' ')
    ++start;
  return text.substr(start);
}

TIFFFieldInfo const* FieldInfo() {
  static const std::vector<TIFFFieldInfo> info = [] {
    std::vector<TIFFFieldInfo> rows;
    for (iTIFX_FieldRow const& row : kTIFX_FieldTable) {
      // Arrays take the 32-bit count form: clip paths can be long.
      const short count = row.type == kTIFX_Ascii ? TIFF_VARIABLE
                          : row.variable          ? TIFF_VARIABLE2
                                                  : 1;
      rows.push_back({row.tag, count, count, static_cast<TIFFDataType>(row.type), FIELD_CUSTOM, 1,
                      static_cast<unsigned char>(row.passCount), const_cast<char*>(row.name)});
    }
    return rows;
  }();
  return info.data();
}

TIFX_xtiff* RecordOf(TIFF* tif) {
  return static_cast<TIFX_xtiff*>(TIFFGetClientInfo(tif, kTIFX_ClientInfoKey));
}

void InstallPrintHook(TIFF* tif, TIFX_xtiff* record) {
  if (record->Flags & kTIFX_PrintHookInstalled)
    return;
  TIFFTagMethods* methods = TIFFAccessTagMethods(tif);
  if (methods->printdir != TIFX_KRXFile::PrintDirectory)
    record->SavedPrintDir = methods->printdir;
  methods->printdir = TIFX_KRXFile::PrintDirectory;
  record->Flags |= kTIFX_PrintHookInstalled;
}

// The values of a field as the library passes them for the field's definition.
iTIFX_FieldValue ValueFromArguments(TIFFField const* field, va_list args) {
  iTIFX_FieldValue value;
  const TIFFDataType type = TIFFFieldDataType(field);
  if (type == TIFF_ASCII && !TIFFFieldPassCount(field)) {
    char const* text = va_arg(args, char const*);
    value.isText = true;
    value.text = text ? text : "";
    return value;
  }
  if (!TIFFFieldPassCount(field)) {
    switch (type) {
      case TIFF_FLOAT:
      case TIFF_DOUBLE:
      case TIFF_RATIONAL:
      case TIFF_SRATIONAL:
        value.isReal = true;
        value.reals.push_back(va_arg(args, double));
        break;
      case TIFF_LONG:
      case TIFF_SLONG:
        value.integers.push_back(va_arg(args, std::uint32_t));
        break;
      default:
        value.integers.push_back(static_cast<std::uint32_t>(va_arg(args, int)));
        break;
    }
    return value;
  }
  const std::uint32_t count = TIFFFieldWriteCount(field) == TIFF_VARIABLE2
                                  ? va_arg(args, std::uint32_t)
                                  : static_cast<std::uint32_t>(va_arg(args, int));
  void const* data = va_arg(args, void const*);
  if (!data)
    return value;
  for (std::uint32_t i = 0; i < count; ++i) {
    switch (type) {
      case TIFF_SHORT:
        value.integers.push_back(static_cast<std::uint16_t const*>(data)[i]);
        break;
      case TIFF_SSHORT:
        value.integers.push_back(
            static_cast<std::uint32_t>(static_cast<std::int16_t const*>(data)[i]));
        break;
      case TIFF_LONG:
      case TIFF_SLONG:
        value.integers.push_back(static_cast<std::uint32_t const*>(data)[i]);
        break;
      case TIFF_FLOAT:
        value.isReal = true;
        value.reals.push_back(static_cast<float const*>(data)[i]);
        break;
      case TIFF_DOUBLE:
        value.isReal = true;
        value.reals.push_back(static_cast<double const*>(data)[i]);
        break;
      case TIFF_SBYTE:
        value.integers.push_back(
            static_cast<std::uint32_t>(static_cast<std::int8_t const*>(data)[i]));
        break;
      default:
        value.integers.push_back(static_cast<std::uint8_t const*>(data)[i]);
        break;
    }
  }
  return value;
}

// The file behind a handle, reached through the handle's own procedures.
class HandleByteSource : public iTIFX_ByteSource {
public:
  explicit HandleByteSource(TIFF* tif)
      : m_File(TIFFClientdata(tif)),
        m_Read(TIFFGetReadProc(tif)),
        m_Seek(TIFFGetSeekProc(tif)),
        m_Size(TIFFGetSizeProc(tif)) {}

  std::uint64_t Size() override { return m_Size(m_File); }

  bool Read(std::uint64_t offset, std::size_t size, std::uint8_t* out) override {
    const toff_t here = m_Seek(m_File, 0, SEEK_CUR);
    bool ok = m_Seek(m_File, offset, SEEK_SET) == offset &&
              m_Read(m_File, out, static_cast<tmsize_t>(size)) == static_cast<tmsize_t>(size);
    m_Seek(m_File, here, SEEK_SET);
    return ok;
  }

private:
  thandle_t m_File;
  TIFFReadWriteProc m_Read;
  TIFFSeekProc m_Seek;
  TIFFSizeProc m_Size;
};

// A slot wide enough for whatever TIFFGetField writes for one argument.
union TagSlot {
  std::uint64_t u64;
  double d;
  void* p;
};

}  // namespace

TIFX_KRXFile::TIFX_KRXFile(GFIL_FileSpec const& spec) : GFIL_FileSpec(spec) {
  SetCallbackFunctions();
}

TIFX_KRXFile::TIFX_KRXFile(TIFX_KRXFile const& other) : GFIL_FileSpec(other) {}

TIFX_KRXFile& TIFX_KRXFile::operator=(TIFX_KRXFile const& other) {
  if (this != &other) {
    Close();
    GFIL_FileSpec::operator=(other);
  }
  return *this;
}

TIFX_KRXFile::~TIFX_KRXFile() {
  Close();
}

void TIFX_KRXFile::SetCallbackFunctions() {
  std::call_once(sm_CallbacksInstalled, [] {
    TIFFExtendProc parent = TIFFSetTagExtender(DefaultDirectory);
    sm_ParentExtender = parent == DefaultDirectory ? nullptr : parent;
    sm_ErrorHandler = TIFFSetErrorHandler(ErrorHandler);
    sm_WarningHandler = TIFFSetWarningHandler(WarningHandler);
  });
}

void TIFX_KRXFile::Open() {
  if (m_IsOpen)
    return;
  SetCallbackFunctions();
  if (!HasSpec())
    throw TIFX_FileIOException(nullptr, "The file spec names no file.", __FILE__, __LINE__);
  auto record = std::make_unique<TIFX_xtiff>();
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(options, HandleError, record.get());
  TIFFOpenOptionsSetWarningHandlerExtR(options, HandleWarning, record.get());
  TIFF* tif = nullptr;
  std::string fileLayerError;
  {
    OpeningScope scope(record.get());
    try {
      tif = OpenHandle(options);
    } catch (GLIB_Exception const& e) {
      fileLayerError = e.NMessage();
    }
  }
  TIFFOpenOptionsFree(options);
  if (!fileLayerError.empty())
    throw TIFX_FileIOException(nullptr, fileLayerError.c_str(), __FILE__, __LINE__);
  if (!tif) {
    const std::string text = WithoutModule(record->LastErrorMessage);
    throw TIFX_FileIOException(nullptr, text.c_str(), __FILE__, __LINE__);
  }
  if (RecordOf(tif) != record.get())
    TIFFSetClientInfo(tif, record.get(), kTIFX_ClientInfoKey);
  m_TIFF = tif;
  m_Extension = std::move(record);
  m_IsOpen = true;
  m_DirectoryIndex = 0;
  RefreshDirectory();
}

void TIFX_KRXFile::Close() {
  if (!m_IsOpen)
    return;
  TIFFClose(m_TIFF);
  m_TIFF = nullptr;
  m_Extension.reset();
  m_CurrentDirectory = nullptr;
  m_DirectoryIndex = kUnknownDirectory;
  m_IsOpen = false;
}

void TIFX_KRXFile::RequireOpen() const {
  if (!m_IsOpen)
    throw TIFX_FileIOException(nullptr, "The file is not open.", __FILE__, __LINE__);
}

void TIFX_KRXFile::RefreshDirectory() {
  m_CurrentDirectory = &m_Extension->Directory;
}

int TIFX_KRXFile::SetDirectory(unsigned short index) {
  RequireOpen();
  const int result = TIFFSetDirectory(m_TIFF, index);
  // After a failed selection the library may hold a half-read directory: the next selection
  // must read again whatever it asks for.
  m_DirectoryIndex = result ? index : kUnknownDirectory;
  RefreshDirectory();
  return result;
}

int TIFX_KRXFile::SelectDirectoryIfNeeded(unsigned short index) {
  RequireOpen();
  return m_DirectoryIndex == index ? 1 : SetDirectory(index);
}

bool TIFX_KRXFile::DirectoryIsComplete() {
  static const std::uint32_t kRequired[] = {
      kTIFX_TagImageWidth,  kTIFX_TagImageLength, kTIFX_TagTileWidth,      kTIFX_TagTileLength,
      kTIFX_TagXResolution, kTIFX_TagYResolution, kTIFX_TagResolutionUnit, kTIFX_TagBitsPerSample,
      kTIFX_TagCompression, kTIFX_TagPhotometric, kTIFX_TagOrientation,    kTIFX_TagPlanarConfig};
  for (std::uint32_t tag : kRequired) {
    TagSlot a{}, b{}, c{};
    if (!TIFFGetField(m_TIFF, tag, &a, &b, &c))
      return false;
  }
  return m_Extension->NoltIFDPresent;
}

bool TIFX_KRXFile::ThumbnailPasses() {
  TagSlot a{}, b{}, c{};
  return DirectoryIsComplete() && TIFFGetField(m_TIFF, kTIFX_TagNewSubfileType, &a, &b, &c) &&
         GetTag<std::uint16_t>(kTIFX_TagBitsPerSample) == 8 &&
         GetTag<std::uint16_t>(kTIFX_TagPhotometric) == PHOTOMETRIC_MINISWHITE &&
         GetTag<std::uint32_t>(kTIFX_TagTileWidth) == 512 &&
         GetTag<std::uint32_t>(kTIFX_TagTileLength) == 512;
}

bool TIFX_KRXFile::SizeFits(std::uint32_t maxWidth, std::uint32_t maxLength) {
  const std::uint32_t width = GetTag<std::uint32_t>(kTIFX_TagImageWidth);
  const std::uint32_t length = GetTag<std::uint32_t>(kTIFX_TagImageLength);
  const std::uint64_t tileWidth = GetTag<std::uint32_t>(kTIFX_TagTileWidth);
  const std::uint64_t tileLength = GetTag<std::uint32_t>(kTIFX_TagTileLength);
  if (width == 0 || length == 0 || width > maxWidth || length > maxLength || tileWidth == 0 ||
      tileLength == 0)
    return false;
  const std::uint64_t tiles =
      (width + tileWidth - 1) / tileWidth * ((length + tileLength - 1) / tileLength);
  const toff_t fileSize = TIFFGetSizeProc(m_TIFF)(TIFFClientdata(m_TIFF));
  return fileSize != static_cast<toff_t>(-1) && tiles <= fileSize / kTableBytesPerTile;
}

bool TIFX_KRXFile::IsValid() {
  RequireOpen();
  const unsigned short remembered = m_DirectoryIndex;
  bool valid = false;
  try {
    SelectImageDirectory();
    const bool imagePasses =
        m_DirectoryIndex == kImageDirectory && DirectoryIsComplete() &&
        GetTag<std::uint16_t>(kTIFX_TagBitsPerSample) == 1 &&
        GetTag<std::uint16_t>(kTIFX_TagPhotometric) == PHOTOMETRIC_MINISWHITE &&
        GetTag<std::uint32_t>(kTIFX_TagTileWidth) == 512 &&
        GetTag<std::uint32_t>(kTIFX_TagTileLength) == 512 && SizeFits(kMaxSide, kMaxSide);
    if (imagePasses) {
      const std::uint64_t width = GetTag<std::uint32_t>(kTIFX_TagImageWidth);
      const std::uint64_t length = GetTag<std::uint32_t>(kTIFX_TagImageLength);
      // The thumbnail is IFD 1 when that is 8-bit, else IFD 2.
      bool selected = SetDirectory(1) != 0;
      if (!selected || GetTag<std::uint16_t>(kTIFX_TagBitsPerSample) != 8)
        selected = SetDirectory(2) != 0;
      if (selected && ThumbnailPasses()) {
        // 1 : Scale of the image, with a pixel to spare for the writer's rounding.
        const std::uint64_t scale = std::max<std::uint64_t>(GetPrivateDirectory().Scale, 1);
        valid = SizeFits(static_cast<std::uint32_t>((width + scale - 1) / scale + 1),
                         static_cast<std::uint32_t>((length + scale - 1) / scale + 1));
      }
    }
  } catch (TIFX_TagNotFoundException const&) {
    valid = false;
  }
  if (remembered != kUnknownDirectory)
    SelectDirectoryIfNeeded(remembered);
  return valid;
}

namespace {

template <class T>
T TagValue(TIFF* tif, std::uint32_t tag, unsigned short directory) {
  TagSlot a{}, b{}, c{};
  if (!TIFFGetField(tif, tag, &a, &b, &c))
    throw TIFX_TagNotFoundException(tag, directory, __FILE__, __LINE__);
  T value;
  std::memcpy(&value, &a, sizeof value);
  return value;
}

}  // namespace

template <>
std::uint32_t TIFX_KRXFile::GetTag<std::uint32_t>(std::uint32_t tag) {
  RequireOpen();
  return TagValue<std::uint32_t>(m_TIFF, tag, m_DirectoryIndex);
}

template <>
std::uint16_t TIFX_KRXFile::GetTag<std::uint16_t>(std::uint32_t tag) {
  RequireOpen();
  return TagValue<std::uint16_t>(m_TIFF, tag, m_DirectoryIndex);
}

template <>
float TIFX_KRXFile::GetTag<float>(std::uint32_t tag) {
  RequireOpen();
  return TagValue<float>(m_TIFF, tag, m_DirectoryIndex);
}

template <>
char const* TIFX_KRXFile::GetTag<char const*>(std::uint32_t tag) {
  RequireOpen();
  return TagValue<char const*>(m_TIFF, tag, m_DirectoryIndex);
}

std::uint16_t const* TIFX_KRXFile::GetCMYKEquivalent() const {
  TIFX_NoltDirectory const& directory = GetPrivateDirectory();
  if (!directory.FieldBitSet(NoltField::CMYKEquivalent))
    throw TIFX_TagNotFoundException(static_cast<unsigned>(NoltField::CMYKEquivalent),
                                    m_DirectoryIndex, __FILE__, __LINE__);
  return directory.CMYKEquivalent;
}

TIFX_NoltDirectory const& TIFX_KRXFile::GetPrivateDirectory() const {
  RequireOpen();
  return *m_CurrentDirectory;
}

long TIFX_KRXFile::ReadTile(void* buffer, std::size_t bufferSize, std::uint32_t x,
                            std::uint32_t y) {
  RequireOpen();
  const tmsize_t tileSize = TIFFTileSize(m_TIFF);
  if (tileSize <= 0 || static_cast<std::uint64_t>(tileSize) > bufferSize)
    return -1;
  if (!TIFFCheckTile(m_TIFF, x, y, 0, 0))
    return -1;
  return static_cast<long>(TIFFReadTile(m_TIFF, buffer, x, y, 0, 0));
}

void TIFX_KRXFile::ErrorHandler(char const* module, char const* format, va_list args) {
  const std::string text = FormatMessage(module, format, args);
  if (t_Opening.record)
    t_Opening.record->LastErrorMessage = text;
  std::lock_guard<std::mutex> lock(sm_MessageMutex);
  sm_LastErrorMessage = text;
}

void TIFX_KRXFile::WarningHandler(char const* module, char const* format, va_list args) {
  const std::string text = FormatMessage(module, format, args);
  if (t_Opening.record)
    t_Opening.record->LastWarningMessage = text;
  std::lock_guard<std::mutex> lock(sm_MessageMutex);
  sm_LastWarningMessage = text;
}

std::string TIFX_KRXFile::LastErrorMessage() {
  std::lock_guard<std::mutex> lock(sm_MessageMutex);
  return sm_LastErrorMessage;
}

std::string TIFX_KRXFile::LastWarningMessage() {
  std::lock_guard<std::mutex> lock(sm_MessageMutex);
  return sm_LastWarningMessage;
}

void TIFX_KRXFile::DefaultDirectory(tiff* tif) {
  TIFX_xtiff* record = RecordOf(tif);
  if (!record && t_Opening.record && !t_Opening.attached) {
    record = t_Opening.record;
    t_Opening.attached = true;
    TIFFSetClientInfo(tif, record, kTIFX_ClientInfoKey);
  }
  if (record) {
    // The library rebuilds its field list at every directory set-up.
    if (!TIFFFindField(tif, kTIFX_NoltIFDTag, TIFF_ANY))
      TIFFMergeFieldInfo(tif, FieldInfo(), kTIFX_FieldCount);
    record->Flags = 0;
    record->SavedPrintDir = nullptr;
    record->SavedVGetField = nullptr;
    record->NoltIFDPresent = false;
    record->Directory.Reset();
    TIFFTagMethods* methods = TIFFAccessTagMethods(tif);
    if (methods->vsetfield != VSetField) {
      record->SavedVSetField = methods->vsetfield;
      methods->vsetfield = VSetField;
    }
  }
  if (sm_ParentExtender)
    sm_ParentExtender(tif);
}

int TIFX_KRXFile::VSetField(tiff* tif, std::uint32_t tag, va_list args) {
  TIFX_xtiff* record = RecordOf(tif);
  if (!record)
    return 0;
  iTIFX_FieldRow const* row = iTIFX_FindRow(tag);
  TIFFField const* field = TIFFFieldWithTag(tif, tag);
  const bool ours = row && field && (row->bit >= 0 || tag == kTIFX_NoltIFDTag);
  if (!ours)
    return record->SavedVSetField ? record->SavedVSetField(tif, tag, args) : 0;

  if (tag == kTIFX_NoltIFDTag) {
    if (!TIFFFieldPassCount(field))
      return 1;
    const std::uint32_t count = TIFFFieldWriteCount(field) == TIFF_VARIABLE2
                                    ? va_arg(args, std::uint32_t)
                                    : static_cast<std::uint32_t>(va_arg(args, int));
    std::uint8_t const* block = va_arg(args, std::uint8_t const*);
    HandleByteSource file(tif);
    record->NoltIFDPresent =
        block && iTIFX_ParseEmbeddedDirectory(block, count, TIFFIsBigEndian(tif) != 0, file,
                                              record->Directory);
    if (record->Directory.FieldSet[0] || record->Directory.FieldSet[1])
      InstallPrintHook(tif, record);
    return 1;
  }
  if (iTIFX_ApplyField(record->Directory, tag, ValueFromArguments(field, args)))
    InstallPrintHook(tif, record);
  return 1;
}

void TIFX_KRXFile::PrintDirectory(tiff* tif, FILE* out, long flags) {
  TIFX_xtiff* record = RecordOf(tif);
  if (!record)
    return;
  if (record->SavedPrintDir)
    record->SavedPrintDir(tif, out, flags);
  iTIFX_PrintNoltDirectory(record->Directory, out);
}
