// Writes preview files for tests: a tiled 1-bit separation in IFD 0, an 8-bit thumbnail in IFD 1
// (or a second 1-bit image in IFD 1 and the thumbnail in IFD 2), and the private job directory,
// embedded in tag 34756 or as tags standing directly in each IFD. Every part can be bent to make
// the broken files a reader must survive: missing tags, wrong tile sizes, lying counts, offsets
// beyond the end of the file.
//
// Typical use:
//   PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(1200, 700, 8);
//   file.job.title = "Leaflet";
//   file.image.bits = [](std::uint32_t x, std::uint32_t y) { return x < 100 && y < 100; };
//   PreviewFixture::Write(PreviewFixture::TempFilePath("leaflet.tif"), file);
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace PreviewFixture {

// TIFF data types used by the private entries.
enum Type : std::uint16_t {
  kByte = 1,
  kAscii = 2,
  kShort = 3,
  kLong = 4,
  kRational = 5,
  kSByte = 6,
  kUndefined = 7,
  kSShort = 8,
  kSLong = 9,
  kSRational = 10,
  kFloat = 11,
  kDouble = 12
};

enum class ByteOrder {
  Host,
  Little,
  Big
};
enum class Compression {
  None,
  PackBits,
  LZW,
  Deflate,
  CCITTG4
};
// Where the private job directory goes: embedded in tag 34756; as tags in the IFD itself (with
// an empty tag 34756 beside them, which a valid file needs); or nowhere (no tag 34756).
enum class PrivateTags {
  Embedded,
  Direct,
  Absent
};
// Where the out-of-line values of embedded entries go: after the entries inside the tag's value,
// or appended at the end of the file.
enum class ValuePlacement {
  InBlock,
  AtFileEnd
};
enum class ThumbnailAt {
  Ifd1,
  Ifd2,
  Nowhere
};

// One entry of the private directory. Numbers are kept as doubles (exact for every 32-bit
// value) and written in the entry's type; ASCII text gets its terminating zero.
struct PrivateEntry {
  std::uint16_t tag = 0;
  std::uint16_t type = kLong;
  std::vector<double> values;
  std::string text;
  // Stored count and value field when they must lie about the data (embedded entries only).
  std::optional<std::uint32_t> count;
  std::optional<std::uint32_t> offset;

  static PrivateEntry Ascii(std::uint16_t tag, const std::string& text);
  static PrivateEntry Short(std::uint16_t tag, std::uint16_t value);
  static PrivateEntry Long(std::uint16_t tag, std::uint32_t value);
  static PrivateEntry Float(std::uint16_t tag, float value);
  static PrivateEntry Bytes(std::uint16_t tag, const std::vector<std::uint8_t>& values);
  static PrivateEntry Shorts(std::uint16_t tag, const std::vector<std::uint16_t>& values);
  static PrivateEntry Longs(std::uint16_t tag, const std::vector<std::uint32_t>& values);
  static PrivateEntry Floats(std::uint16_t tag, const std::vector<float>& values);

  std::uint32_t ElementCount() const;  // values, or text bytes with the terminating zero
};

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// Edges are inclusive, as the private directory stores them.
struct Edges {
  std::uint32_t top = 0;
  std::uint32_t left = 0;
  std::uint32_t bottom = 0;
  std::uint32_t right = 0;
};

struct Page {
  std::uint16_t number = 1;
  std::uint16_t orientation = 0;
  Edges position;
  Edges bleed;
  Edges maxBleed;
  std::uint32_t bottleX = 0;
  std::uint32_t bottleY = 0;
  float bottleAngle = 0;
  std::vector<std::vector<Point>> clipPaths;  // written only when some page has a path
  std::optional<Edges> typeSafety;            // written only when every page has one
};

// The job information every IFD carries. Optional members are written only when set.
struct Job {
  std::string title = "Job";
  std::uint16_t signature = 1;
  std::uint16_t surface = 0;  // sheet = surface / 2 + 1, even = front
  std::uint16_t workStyle = 1;
  std::uint16_t orientation = 0;  // ImpoTileOrientation
  std::optional<Edges> pressSheet;
  std::vector<Page> pages;  // NumPages and the page arrays, when not empty
  bool bottleAngleAsLong = false;
  std::string inkName = "Black";  // ColorStr
  std::uint16_t color = 4;        // 0 unknown, 1 C, 2 M, 3 Y, 4 K, 5 R, 6 G, 7 B
  std::optional<std::vector<std::uint16_t>> opacity;
  std::optional<std::array<std::uint16_t, 4>> cmyk;
  std::optional<std::uint16_t> printOrder;
  std::optional<std::string> printTime;
  std::optional<std::vector<std::string>> versions;  // each name ends with a zero byte
  std::optional<std::uint32_t> interfaceVersion;     // NoltTagIntfVersion
  std::vector<PrivateEntry> extra;                   // written after the generated entries
  std::set<std::uint16_t> omit;                      // generated entries left out, by tag

  // The entries for one IFD; scale is that IFD's "Scale" (1 : N of IFD 0).
  std::vector<PrivateEntry> Entries(std::uint16_t scale) const;
};

// Pixel sources. Bits: true = inked (a set bit). Grey: the 8-bit value. Tiles: fills the
// tile whose top-left pixel is (left, top); row bytes as given; the buffer starts zeroed.
using BitSource = std::function<bool(std::uint32_t x, std::uint32_t y)>;
using GreySource = std::function<std::uint8_t(std::uint32_t x, std::uint32_t y)>;
using TileSource = std::function<void(std::uint32_t left, std::uint32_t top, std::uint8_t* tile,
                                      std::uint32_t rowBytes)>;

struct Image {
  std::uint32_t width = 512;
  std::uint32_t length = 512;
  std::uint32_t tileWidth = 512;
  std::uint32_t tileLength = 512;
  std::uint16_t bitsPerSample = 1;
  std::uint16_t photometric = 0;  // WhiteIsZero
  Compression compression = Compression::None;
  std::optional<std::uint32_t> newSubfileType;
  float xResolution = 2400;
  float yResolution = 2400;
  std::uint16_t resolutionUnit = 2;
  std::optional<std::string> inkNames;              // tag 333
  std::set<std::uint32_t> omitTags;                 // standard tags left out (256, 296, 322, ...)
  std::uint16_t scale = 1;                          // private "Scale" of this IFD
  bool privateDirectory = true;                     // carries the job information
  std::optional<std::uint16_t> embeddedEntryCount;  // stored entry count when it must lie
  std::vector<PrivateEntry> extraPrivate;           // this IFD only, after the job's
  BitSource bits;
  GreySource grey;
  TileSource tiles;
};

struct PreviewFile {
  ByteOrder byteOrder = ByteOrder::Host;
  PrivateTags privateTags = PrivateTags::Embedded;
  ValuePlacement values = ValuePlacement::InBlock;
  Job job;
  Image image;      // IFD 0: the 1-bit separation
  Image middle;     // IFD 1 when the thumbnail is in IFD 2
  Image thumbnail;  // 8-bit
  ThumbnailAt thumbnailAt = ThumbnailAt::Ifd1;

  // A valid preview file of the given size whose thumbnail is 1 : scale of it.
  static PreviewFile Make(std::uint32_t width, std::uint32_t length, std::uint16_t scale = 8);
};

// Writes the file; throws std::runtime_error when it cannot.
void Write(const std::string& path, const PreviewFile& file);

// A path (UTF-8) in a folder of this test process under the system's temporary folder; the
// folder goes when the process ends. Write needs an ASCII path on Windows.
std::string TempFilePath(const std::string& name);

// Bytes of the file, and a way to damage one: replace bytes at an offset, or cut the file.
std::vector<std::uint8_t> ReadAll(const std::string& path);
void Patch(const std::string& path, std::uint64_t offset, const std::vector<std::uint8_t>& bytes);
void Truncate(const std::string& path, std::uint64_t size);
// Makes the entry of tag in IFD ifd (0 first) one LONG of the given value, in the file's own
// byte order; throws std::runtime_error when there is no such entry.
void PatchEntryValue(const std::string& path, unsigned ifd, std::uint16_t tag, std::uint32_t value);

}  // namespace PreviewFixture
