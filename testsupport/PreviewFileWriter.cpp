#include "PreviewFileWriter.h"

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#ifdef _WIN32
#include <process.h>
#define PREVIEW_FIXTURE_PID _getpid()
#else
#include <unistd.h>
#define PREVIEW_FIXTURE_PID getpid()
#endif

namespace PreviewFixture {

namespace {

constexpr std::uint16_t kPrivateDirectoryTag = 34756;
// Standard tags that must be removed after writing (libtiff insists on them) get a tag number
// from here on, which no reader knows.
constexpr std::uint16_t kRenamedTagBase = 65000;

void Fail(const std::string& what) {
  throw std::runtime_error("PreviewFixture: " + what);
}

bool HostIsBigEndian() {
  const std::uint16_t probe = 1;
  std::uint8_t first = 0;
  std::memcpy(&first, &probe, 1);
  return first == 0;
}

bool FileIsBigEndian(ByteOrder order) {
  return order == ByteOrder::Big || (order == ByteOrder::Host && HostIsBigEndian());
}

std::uint32_t TypeSize(std::uint16_t type) {
  switch (type) {
    case kShort:
    case kSShort:
      return 2;
    case kLong:
    case kSLong:
    case kFloat:
      return 4;
    case kRational:
    case kSRational:
    case kDouble:
      return 8;
    default:
      return 1;
  }
}

// Little helper that lays numbers down in the file's byte order.
class ByteWriter {
public:
  explicit ByteWriter(bool bigEndian) : m_Big(bigEndian) {}

  void Put(std::vector<std::uint8_t>& out, std::uint64_t value, unsigned size) const {
    for (unsigned i = 0; i < size; ++i) {
      const unsigned shift = 8 * (m_Big ? size - 1 - i : i);
      out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
  }
  void PutAt(std::vector<std::uint8_t>& out, std::size_t at, std::uint64_t value,
             unsigned size) const {
    std::vector<std::uint8_t> bytes;
    Put(bytes, value, size);
    std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
  }
  std::uint64_t Get(const std::uint8_t* in, unsigned size) const {
    std::uint64_t value = 0;
    for (unsigned i = 0; i < size; ++i) {
      const unsigned shift = 8 * (m_Big ? size - 1 - i : i);
      value |= static_cast<std::uint64_t>(in[i]) << shift;
    }
    return value;
  }

private:
  bool m_Big;
};

std::uint64_t AsInteger(double value) {
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(std::llround(value)));
}

// The value bytes of an entry in the file's byte order.
std::vector<std::uint8_t> ValueBytes(const PrivateEntry& entry, const ByteWriter& writer) {
  std::vector<std::uint8_t> out;
  if (entry.type == kAscii) {
    out.assign(entry.text.begin(), entry.text.end());
    out.push_back(0);
    return out;
  }
  for (double v : entry.values) {
    switch (entry.type) {
      case kFloat: {
        const float f = static_cast<float>(v);
        std::uint32_t bits = 0;
        std::memcpy(&bits, &f, 4);
        writer.Put(out, bits, 4);
        break;
      }
      case kDouble: {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v, 8);
        writer.Put(out, bits, 8);
        break;
      }
      case kRational:
      case kSRational:
        writer.Put(out, AsInteger(v * 1000.0), 4);
        writer.Put(out, 1000, 4);
        break;
      default:
        writer.Put(out, AsInteger(v), TypeSize(entry.type));
        break;
    }
  }
  return out;
}

// The embedded directory of one IFD: the bytes written into tag 34756 with placeholders where
// out-of-line values will be pointed at, and the values still to be placed.
struct EmbeddedBlock {
  struct Pending {
    std::size_t fieldAt;                // offset of the 4-byte value field within the block
    std::optional<std::size_t> dataAt;  // offset of the data within the block (InBlock)
    std::vector<std::uint8_t> data;
    std::optional<std::uint32_t> forcedOffset;
  };
  std::vector<std::uint8_t> bytes;
  std::vector<Pending> pending;
};

EmbeddedBlock BuildBlock(const std::vector<PrivateEntry>& entries,
                         std::optional<std::uint16_t> storedCount, ValuePlacement placement,
                         const ByteWriter& writer) {
  EmbeddedBlock block;
  const std::size_t n = entries.size();
  writer.Put(block.bytes, storedCount ? *storedCount : n, 2);
  block.bytes.resize(2 + 12 * n);
  std::vector<std::uint8_t> dataArea;
  for (std::size_t i = 0; i < n; ++i) {
    const PrivateEntry& entry = entries[i];
    const std::size_t at = 2 + 12 * i;
    const std::vector<std::uint8_t> data = ValueBytes(entry, writer);
    writer.PutAt(block.bytes, at, entry.tag, 2);
    writer.PutAt(block.bytes, at + 2, entry.type, 2);
    writer.PutAt(block.bytes, at + 4, entry.count ? *entry.count : entry.ElementCount(), 4);
    if (data.size() <= 4 && !entry.offset) {
      std::copy(data.begin(), data.end(),
                block.bytes.begin() + static_cast<std::ptrdiff_t>(at + 8));
      continue;
    }
    EmbeddedBlock::Pending pending{at + 8, std::nullopt, data, entry.offset};
    if (placement == ValuePlacement::InBlock && !entry.offset) {
      if (dataArea.size() % 2)
        dataArea.push_back(0);
      pending.dataAt = block.bytes.size() + dataArea.size();
      dataArea.insert(dataArea.end(), data.begin(), data.end());
    }
    block.pending.push_back(pending);
  }
  block.bytes.insert(block.bytes.end(), dataArea.begin(), dataArea.end());
  return block;
}

bool IsArrayTag(std::uint16_t tag) {
  return (tag >= 12001 && tag <= 12023) || tag == 12289 || tag == 12290 || tag == 12500 ||
         tag == 34032;
}

// Registers the private tags of one directory with the writing handle; libtiff forgets them at
// every new directory.
void RegisterFields(TIFF* tif, const std::vector<PrivateEntry>& entries) {
  static const char* const kName = "FixturePrivateTag";
  std::vector<TIFFFieldInfo> infos;
  infos.push_back({kPrivateDirectoryTag, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFF_BYTE, FIELD_CUSTOM, 1,
                   1, const_cast<char*>("NoltIFD")});
  for (const PrivateEntry& e : entries) {
    if (TIFFFindField(tif, e.tag, TIFF_ANY))
      continue;
    const bool ascii = e.type == kAscii;
    const bool array = !ascii && (IsArrayTag(e.tag) || e.values.size() != 1);
    const short count = ascii ? TIFF_VARIABLE : array ? TIFF_VARIABLE2 : 1;
    infos.push_back({e.tag, count, count, static_cast<TIFFDataType>(e.type), FIELD_CUSTOM, 1,
                     static_cast<unsigned char>(array), const_cast<char*>(kName)});
  }
  if (TIFFMergeFieldInfo(tif, infos.data(), static_cast<std::uint32_t>(infos.size())) != 0)
    Fail("cannot register the private tags");
}

template <class T>
std::vector<T> ValuesAs(const PrivateEntry& e) {
  std::vector<T> out;
  for (double v : e.values) {
    if constexpr (std::is_floating_point_v<T>)
      out.push_back(static_cast<T>(v));
    else
      out.push_back(static_cast<T>(AsInteger(v)));
  }
  return out;
}

void SetDirectTag(TIFF* tif, const PrivateEntry& e) {
  const TIFFField* field = TIFFFindField(tif, e.tag, TIFF_ANY);
  if (!field)
    Fail("private tag not registered");
  int ok = 1;
  if (e.type == kAscii) {
    ok = TIFFSetField(tif, e.tag, e.text.c_str());
  } else if (TIFFFieldPassCount(field)) {
    if (e.values.empty())
      return;  // libtiff writes no empty arrays
    const std::uint32_t n = static_cast<std::uint32_t>(e.values.size());
    switch (e.type) {
      case kShort:
      case kSShort:
        ok = TIFFSetField(tif, e.tag, n, ValuesAs<std::uint16_t>(e).data());
        break;
      case kLong:
      case kSLong:
        ok = TIFFSetField(tif, e.tag, n, ValuesAs<std::uint32_t>(e).data());
        break;
      case kFloat:
      case kRational:
      case kSRational:
        ok = TIFFSetField(tif, e.tag, n, ValuesAs<float>(e).data());
        break;
      case kDouble:
        ok = TIFFSetField(tif, e.tag, n, ValuesAs<double>(e).data());
        break;
      default:
        ok = TIFFSetField(tif, e.tag, n, ValuesAs<std::uint8_t>(e).data());
        break;
    }
  } else {
    const double v = e.values.at(0);
    switch (e.type) {
      case kFloat:
      case kDouble:
      case kRational:
      case kSRational:
        ok = TIFFSetField(tif, e.tag, v);
        break;
      case kLong:
      case kSLong:
        ok = TIFFSetField(tif, e.tag, static_cast<std::uint32_t>(AsInteger(v)));
        break;
      default:
        ok = TIFFSetField(tif, e.tag, static_cast<int>(AsInteger(v)));
        break;
    }
  }
  if (!ok)
    Fail("cannot set private tag " + std::to_string(e.tag));
}

std::uint16_t LibtiffCompression(Compression c) {
  switch (c) {
    case Compression::PackBits:
      return COMPRESSION_PACKBITS;
    case Compression::LZW:
      return COMPRESSION_LZW;
    case Compression::Deflate:
      return COMPRESSION_ADOBE_DEFLATE;
    case Compression::CCITTG4:
      return COMPRESSION_CCITTFAX4;
    default:
      return COMPRESSION_NONE;
  }
}

void FillTile(const Image& image, std::uint32_t left, std::uint32_t top, std::uint8_t* tile,
              std::uint32_t rowBytes) {
  if (image.tiles) {
    image.tiles(left, top, tile, rowBytes);
    return;
  }
  const std::uint32_t right = std::min(image.width, left + image.tileWidth);
  const std::uint32_t bottom = std::min(image.length, top + image.tileLength);
  for (std::uint32_t y = top; y < bottom; ++y) {
    std::uint8_t* row = tile + static_cast<std::size_t>(y - top) * rowBytes;
    for (std::uint32_t x = left; x < right; ++x) {
      if (image.bitsPerSample == 1) {
        if (image.bits && image.bits(x, y))
          row[(x - left) / 8] |= static_cast<std::uint8_t>(0x80u >> ((x - left) % 8));
      } else if (image.grey) {
        row[x - left] = image.grey(x, y);
      }
    }
  }
}

bool Omitted(const Image& image, std::uint32_t tag) {
  return image.omitTags.count(tag) != 0;
}

void WriteImage(TIFF* tif, const Image& image, const std::vector<PrivateEntry>& entries,
                const PreviewFile& file, const ByteWriter& writer,
                std::vector<EmbeddedBlock>& blocks) {
  const bool direct = file.privateTags == PrivateTags::Direct && image.privateDirectory;
  RegisterFields(tif, direct ? entries : std::vector<PrivateEntry>{});

  auto set = [&](std::uint32_t tag, auto... args) {
    if (!Omitted(image, tag) && !TIFFSetField(tif, tag, args...))
      Fail("cannot set tag " + std::to_string(tag));
  };
  if (image.newSubfileType)
    set(TIFFTAG_SUBFILETYPE, *image.newSubfileType);
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, image.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, image.length);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, static_cast<int>(image.bitsPerSample));
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, static_cast<int>(LibtiffCompression(image.compression)));
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, static_cast<int>(image.photometric));
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  set(TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  set(TIFFTAG_XRESOLUTION, static_cast<double>(image.xResolution));
  set(TIFFTAG_YRESOLUTION, static_cast<double>(image.yResolution));
  set(TIFFTAG_RESOLUTIONUNIT, static_cast<int>(image.resolutionUnit));
  if (image.inkNames) {
    const std::string names = *image.inkNames + std::string(1, '\0');
    set(TIFFTAG_INKNAMES, static_cast<int>(names.size()), names.c_str());
  }
  TIFFSetField(tif, TIFFTAG_TILEWIDTH, image.tileWidth);
  TIFFSetField(tif, TIFFTAG_TILELENGTH, image.tileLength);

  if (image.privateDirectory && file.privateTags != PrivateTags::Absent) {
    blocks.push_back(BuildBlock(direct ? std::vector<PrivateEntry>{} : entries,
                                image.embeddedEntryCount, file.values, writer));
    const std::vector<std::uint8_t>& bytes = blocks.back().bytes;
    if (!TIFFSetField(tif, kPrivateDirectoryTag, static_cast<std::uint32_t>(bytes.size()),
                      bytes.data()))
      Fail("cannot set the private directory");
    if (direct)
      for (const PrivateEntry& e : entries)
        SetDirectTag(tif, e);
  } else {
    blocks.emplace_back();
  }

  const std::uint32_t rowBytes =
      image.bitsPerSample == 1 ? (image.tileWidth + 7) / 8 : image.tileWidth;
  const tmsize_t tileSize = TIFFTileSize(tif);
  if (tileSize <= 0)
    Fail("bad tile size");
  std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileSize));
  for (std::uint32_t top = 0; top < image.length; top += image.tileLength) {
    for (std::uint32_t left = 0; left < image.width; left += image.tileWidth) {
      std::fill(tile.begin(), tile.end(), 0);
      FillTile(image, left, top, tile.data(), rowBytes);
      if (TIFFWriteTile(tif, tile.data(), left, top, 0, 0) < 0)
        Fail("cannot write a tile");
    }
  }
  if (!TIFFWriteDirectory(tif))
    Fail("cannot write a directory");
}

// Walks the written file's directories: points the embedded entries at their values and takes
// out the standard tags that had to be written.
class FileFixer {
public:
  FileFixer(const std::string& path, bool bigEndian) : m_Path(path), m_Writer(bigEndian) {
    m_Bytes = ReadAll(path);
  }

  void Fix(const std::vector<const Image*>& images, std::vector<EmbeddedBlock>& blocks) {
    std::uint64_t ifd = m_Writer.Get(&m_Bytes.at(4), 4);
    for (std::size_t index = 0; index < images.size() && ifd != 0; ++index) {
      const std::uint16_t n = static_cast<std::uint16_t>(m_Writer.Get(&m_Bytes.at(ifd), 2));
      for (std::uint16_t i = 0; i < n; ++i) {
        const std::size_t at = static_cast<std::size_t>(ifd) + 2 + 12u * i;
        const std::uint16_t tag = static_cast<std::uint16_t>(m_Writer.Get(&m_Bytes.at(at), 2));
        if (tag == kPrivateDirectoryTag && index < blocks.size())
          PlaceValues(at, blocks[index]);
        else if (Omitted(*images[index], tag))
          m_Writer.PutAt(m_Bytes, at, kRenamedTagBase + i, 2);
      }
      ifd = m_Writer.Get(&m_Bytes.at(static_cast<std::size_t>(ifd) + 2 + 12u * n), 4);
    }
    std::ofstream out(m_Path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(m_Bytes.data()),
              static_cast<std::streamsize>(m_Bytes.size()));
    if (!out)
      Fail("cannot rewrite " + m_Path);
  }

private:
  void PlaceValues(std::size_t entryAt, EmbeddedBlock& block) {
    if (block.pending.empty())
      return;
    const std::size_t blockAt = static_cast<std::size_t>(m_Writer.Get(&m_Bytes.at(entryAt + 8), 4));
    for (const EmbeddedBlock::Pending& p : block.pending) {
      std::uint64_t offset = 0;
      if (p.forcedOffset) {
        offset = *p.forcedOffset;
      } else if (p.dataAt) {
        offset = blockAt + *p.dataAt;
      } else {
        if (m_Bytes.size() % 2)
          m_Bytes.push_back(0);
        offset = m_Bytes.size();
        m_Bytes.insert(m_Bytes.end(), p.data.begin(), p.data.end());
      }
      m_Writer.PutAt(m_Bytes, blockAt + p.fieldAt, offset, 4);
    }
  }

  std::string m_Path;
  ByteWriter m_Writer;
  std::vector<std::uint8_t> m_Bytes;
};

}  // namespace

PrivateEntry PrivateEntry::Ascii(std::uint16_t tag, const std::string& text) {
  PrivateEntry e;
  e.tag = tag;
  e.type = kAscii;
  e.text = text;
  return e;
}

PrivateEntry PrivateEntry::Short(std::uint16_t tag, std::uint16_t value) {
  return Shorts(tag, {value});
}

PrivateEntry PrivateEntry::Long(std::uint16_t tag, std::uint32_t value) {
  return Longs(tag, {value});
}

PrivateEntry PrivateEntry::Float(std::uint16_t tag, float value) {
  return Floats(tag, {value});
}

template <class T>
static PrivateEntry MakeArray(std::uint16_t tag, std::uint16_t type, const std::vector<T>& values) {
  PrivateEntry e;
  e.tag = tag;
  e.type = type;
  e.values.assign(values.begin(), values.end());
  return e;
}

PrivateEntry PrivateEntry::Bytes(std::uint16_t tag, const std::vector<std::uint8_t>& values) {
  return MakeArray(tag, kByte, values);
}

PrivateEntry PrivateEntry::Shorts(std::uint16_t tag, const std::vector<std::uint16_t>& values) {
  return MakeArray(tag, kShort, values);
}

PrivateEntry PrivateEntry::Longs(std::uint16_t tag, const std::vector<std::uint32_t>& values) {
  return MakeArray(tag, kLong, values);
}

PrivateEntry PrivateEntry::Floats(std::uint16_t tag, const std::vector<float>& values) {
  return MakeArray(tag, kFloat, values);
}

std::uint32_t PrivateEntry::ElementCount() const {
  if (type == kAscii)
    return static_cast<std::uint32_t>(text.size() + 1);
  return static_cast<std::uint32_t>(values.size());
}

std::vector<PrivateEntry> Job::Entries(std::uint16_t scale) const {
  std::vector<PrivateEntry> e;
  e.push_back(PrivateEntry::Ascii(10004, title));
  e.push_back(PrivateEntry::Short(10005, scale));
  if (interfaceVersion)
    e.push_back(PrivateEntry::Long(10006, *interfaceVersion));
  e.push_back(PrivateEntry::Short(10008, workStyle));
  if (printTime)
    e.push_back(PrivateEntry::Ascii(10013, *printTime));
  e.push_back(PrivateEntry::Ascii(10014, inkName));
  e.push_back(PrivateEntry::Short(10015, color));
  if (pressSheet) {
    e.push_back(PrivateEntry::Long(10016, pressSheet->top));
    e.push_back(PrivateEntry::Long(10017, pressSheet->left));
    e.push_back(PrivateEntry::Long(10018, pressSheet->bottom));
    e.push_back(PrivateEntry::Long(10019, pressSheet->right));
  }
  if (printOrder)
    e.push_back(PrivateEntry::Short(10024, *printOrder));
  if (!pages.empty())
    e.push_back(PrivateEntry::Short(11001, static_cast<std::uint16_t>(pages.size())));
  e.push_back(PrivateEntry::Short(11002, signature));
  e.push_back(PrivateEntry::Short(11003, surface));
  e.push_back(PrivateEntry::Short(11010, orientation));

  if (!pages.empty()) {
    auto longs = [&](std::uint16_t tag, auto member) {
      std::vector<std::uint32_t> v;
      for (const Page& p : pages)
        v.push_back(member(p));
      e.push_back(PrivateEntry::Longs(tag, v));
    };
    auto shorts = [&](std::uint16_t tag, auto member) {
      std::vector<std::uint16_t> v;
      for (const Page& p : pages)
        v.push_back(member(p));
      e.push_back(PrivateEntry::Shorts(tag, v));
    };
    longs(12001, [](const Page& p) { return p.position.top; });
    longs(12002, [](const Page& p) { return p.position.left; });
    longs(12003, [](const Page& p) { return p.position.bottom; });
    longs(12004, [](const Page& p) { return p.position.right; });
    longs(12005, [](const Page& p) { return p.bleed.top; });
    longs(12006, [](const Page& p) { return p.bleed.left; });
    longs(12007, [](const Page& p) { return p.bleed.bottom; });
    longs(12008, [](const Page& p) { return p.bleed.right; });
    shorts(12009, [](const Page& p) { return p.orientation; });
    shorts(12010, [](const Page& p) { return p.number; });
    longs(12011, [](const Page& p) { return p.bottleX; });
    longs(12012, [](const Page& p) { return p.bottleY; });
    PrivateEntry angles;
    angles.tag = 12013;
    angles.type = bottleAngleAsLong ? kLong : kFloat;
    for (const Page& p : pages)
      angles.values.push_back(p.bottleAngle);
    e.push_back(angles);
    longs(12014, [](const Page& p) { return p.maxBleed.top; });
    longs(12015, [](const Page& p) { return p.maxBleed.left; });
    longs(12016, [](const Page& p) { return p.maxBleed.bottom; });
    longs(12017, [](const Page& p) { return p.maxBleed.right; });
    const bool anyPath =
        std::any_of(pages.begin(), pages.end(), [](const Page& p) { return !p.clipPaths.empty(); });
    if (anyPath) {
      PrivateEntry paths;
      paths.tag = 12018;
      paths.type = kLong;
      for (const Page& p : pages) {
        paths.values.push_back(static_cast<double>(p.clipPaths.size()));
        for (const auto& path : p.clipPaths) {
          paths.values.push_back(static_cast<double>(path.size()));
          for (const Point& pt : path) {
            paths.values.push_back(pt.x);
            paths.values.push_back(pt.y);
          }
        }
      }
      e.push_back(paths);
    }
    const bool allSafety = std::all_of(pages.begin(), pages.end(),
                                       [](const Page& p) { return p.typeSafety.has_value(); });
    if (allSafety) {
      longs(12020, [](const Page& p) { return p.typeSafety->top; });
      longs(12021, [](const Page& p) { return p.typeSafety->left; });
      longs(12022, [](const Page& p) { return p.typeSafety->bottom; });
      longs(12023, [](const Page& p) { return p.typeSafety->right; });
    }
  }
  if (opacity)
    e.push_back(PrivateEntry::Shorts(12290, *opacity));
  if (versions) {
    std::vector<std::uint8_t> bytes;
    for (const std::string& name : *versions) {
      bytes.insert(bytes.end(), name.begin(), name.end());
      bytes.push_back(0);
    }
    e.push_back(PrivateEntry::Bytes(12500, bytes));
  }
  if (cmyk)
    e.push_back(PrivateEntry::Shorts(34032, {(*cmyk)[0], (*cmyk)[1], (*cmyk)[2], (*cmyk)[3]}));

  e.erase(std::remove_if(e.begin(), e.end(),
                         [&](const PrivateEntry& x) { return omit.count(x.tag) != 0; }),
          e.end());
  e.insert(e.end(), extra.begin(), extra.end());
  return e;
}

PreviewFile PreviewFile::Make(std::uint32_t width, std::uint32_t length, std::uint16_t scale) {
  PreviewFile file;
  file.image.width = width;
  file.image.length = length;
  file.middle = file.image;
  file.thumbnail.width = (width + scale - 1) / scale;
  file.thumbnail.length = (length + scale - 1) / scale;
  file.thumbnail.bitsPerSample = 8;
  file.thumbnail.newSubfileType = 1;
  file.thumbnail.scale = scale;
  file.thumbnail.xResolution = file.image.xResolution / scale;
  file.thumbnail.yResolution = file.image.yResolution / scale;
  return file;
}

void Write(const std::string& path, const PreviewFile& file) {
  const bool big = FileIsBigEndian(file.byteOrder);
  const ByteWriter writer(big);
  std::vector<const Image*> images{&file.image};
  if (file.thumbnailAt == ThumbnailAt::Ifd2)
    images.push_back(&file.middle);
  if (file.thumbnailAt != ThumbnailAt::Nowhere)
    images.push_back(&file.thumbnail);

  const char* mode = file.byteOrder == ByteOrder::Host ? "w" : big ? "wb" : "wl";
  TIFF* tif = TIFFOpen(path.c_str(), mode);
  if (!tif)
    Fail("cannot create " + path);
  std::vector<EmbeddedBlock> blocks;
  try {
    for (const Image* image : images) {
      std::vector<PrivateEntry> entries = file.job.Entries(image->scale);
      entries.insert(entries.end(), image->extraPrivate.begin(), image->extraPrivate.end());
      WriteImage(tif, *image, entries, file, writer, blocks);
    }
  } catch (...) {
    TIFFClose(tif);
    throw;
  }
  TIFFClose(tif);
  FileFixer(path, big).Fix(images, blocks);
}

namespace {

// The folder of this process's files; removed with everything in it when the process ends.
class TempFolder {
public:
  // Test cases run as processes side by side, and wine hands out process ids again soon: the
  // folder takes a name no other process holds.
  TempFolder() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0;; ++attempt) {
      m_Path = base / ("previewfixture-" + std::to_string(PREVIEW_FIXTURE_PID) + "-" +
                       std::to_string(stamp) + "-" + std::to_string(attempt));
      if (std::filesystem::create_directory(m_Path))
        break;
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_Path, ignored);
  }
  const std::filesystem::path& Path() const { return m_Path; }

private:
  std::filesystem::path m_Path;
};

}  // namespace

std::string TempFilePath(const std::string& name) {
  static const TempFolder folder;
  return (folder.Path() / std::filesystem::u8path(name)).u8string();
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    Fail("cannot read " + path);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

void Patch(const std::string& path, std::uint64_t offset, const std::vector<std::uint8_t>& bytes) {
  std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
  f.seekp(static_cast<std::streamoff>(offset));
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f)
    Fail("cannot patch " + path);
}

void Truncate(const std::string& path, std::uint64_t size) {
  std::filesystem::resize_file(path, size);
}

void PatchEntryValue(const std::string& path, unsigned ifd, std::uint16_t tag,
                     std::uint32_t value) {
  const std::vector<std::uint8_t> bytes = ReadAll(path);
  const bool big = bytes.size() >= 2 && bytes[0] == 'M';
  auto number = [&](std::size_t at, int size) {
    if (at + size > bytes.size())
      Fail("entry beyond the end of " + path);
    std::uint32_t v = 0;
    for (int i = 0; i < size; ++i)
      v |= std::uint32_t(bytes[at + i]) << 8 * (big ? size - 1 - i : i);
    return v;
  };
  std::size_t at = number(4, 4);
  for (unsigned i = 0; i < ifd; ++i)
    at = number(at + 2 + std::size_t(number(at, 2)) * 12, 4);
  for (std::uint32_t i = 0, n = number(at, 2); i < n; ++i) {
    const std::size_t entry = at + 2 + std::size_t(i) * 12;
    if (number(entry, 2) != tag)
      continue;
    // Type LONG, count 1, then the value.
    std::vector<std::uint8_t> field(10);
    auto put = [&](std::size_t at, std::uint32_t v, int size) {
      for (int b = 0; b < size; ++b)
        field[at + b] = std::uint8_t(v >> 8 * (big ? size - 1 - b : b));
    };
    put(0, kLong, 2);
    put(2, 1, 4);
    put(6, value, 4);
    Patch(path, entry + 2, field);
    return;
  }
  Fail("no entry " + std::to_string(tag) + " in IFD " + std::to_string(ifd) + " of " + path);
}

}  // namespace PreviewFixture
