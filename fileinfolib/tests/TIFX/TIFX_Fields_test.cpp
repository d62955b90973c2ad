#include "TIFX/iTIFX_Fields.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

iTIFX_FieldValue Integers(std::vector<std::uint32_t> values) {
  iTIFX_FieldValue v;
  v.integers = std::move(values);
  return v;
}

iTIFX_FieldValue Reals(std::vector<double> values) {
  iTIFX_FieldValue v;
  v.isReal = true;
  v.reals = std::move(values);
  return v;
}

iTIFX_FieldValue Text(std::string text) {
  iTIFX_FieldValue v;
  v.isText = true;
  v.text = std::move(text);
  return v;
}

// A file in memory.
class MemoryFile : public iTIFX_ByteSource {
public:
  explicit MemoryFile(std::vector<std::uint8_t> bytes) : m_Bytes(std::move(bytes)) {}
  std::uint64_t Size() override { return m_Bytes.size(); }
  bool Read(std::uint64_t offset, std::size_t size, std::uint8_t* out) override {
    if (offset > m_Bytes.size() || size > m_Bytes.size() - offset)
      return false;
    std::memcpy(out, m_Bytes.data() + offset, size);
    return true;
  }

private:
  std::vector<std::uint8_t> m_Bytes;
};

// Builds an embedded directory in either byte order.
class BlockBuilder {
public:
  explicit BlockBuilder(bool big) : m_Big(big) {}
  void Put(std::vector<std::uint8_t>& out, std::uint32_t value, unsigned size) const {
    for (unsigned i = 0; i < size; ++i)
      out.push_back(static_cast<std::uint8_t>(value >> (8 * (m_Big ? size - 1 - i : i))));
  }
  void Entry(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
             std::vector<std::uint8_t> field) {
    Put(m_Entries, tag, 2);
    Put(m_Entries, type, 2);
    Put(m_Entries, count, 4);
    field.resize(4, 0);
    m_Entries.insert(m_Entries.end(), field.begin(), field.end());
    ++m_Count;
  }
  std::vector<std::uint8_t> Block(int storedCount = -1) const {
    // One allocation for the whole block: GCC 12 at -O3 wrongly reports the move of the
    // two-byte count when appending the entries regrows the vector (-Warray-bounds).
    std::vector<std::uint8_t> out;
    out.reserve(2 + m_Entries.size());
    Put(out, storedCount < 0 ? m_Count : static_cast<std::uint32_t>(storedCount), 2);
    out.insert(out.end(), m_Entries.begin(), m_Entries.end());
    return out;
  }

private:
  bool m_Big;
  std::uint32_t m_Count = 0;
  std::vector<std::uint8_t> m_Entries;
};

}  // namespace

TEST(TIFX_Fields, VersionNamesEndAtZeroBytes) {
  TIFX_NoltDirectory dir;
  ASSERT_TRUE(iTIFX_ApplyField(dir, 12500, Integers({'A', 0, 'B', 0, 'C'})));
  EXPECT_EQ(dir.Versions, (std::vector<std::string>{"A", "B"}));
  dir.Reset();
  iTIFX_ApplyField(dir, 12500, Integers({0, 0}));
  EXPECT_EQ(dir.Versions, (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(dir.FieldBitSet(NoltField::Versions));
}

TEST(TIFX_Fields, PageArraysFillOnlyThePagesThatExist) {
  TIFX_NoltDirectory dir;
  EXPECT_TRUE(iTIFX_ApplyField(dir, 12010, Integers({9})));
  EXPECT_TRUE(dir.Pages.empty());
  iTIFX_ApplyField(dir, 11001, Integers({2}));
  iTIFX_ApplyField(dir, 12010, Integers({4, 5, 6}));
  ASSERT_EQ(dir.Pages.size(), 2u);
  EXPECT_EQ(dir.Pages[0].Number, 4);
  EXPECT_EQ(dir.Pages[1].Number, 5);
  iTIFX_ApplyField(dir, 11001, Integers({1}));
  EXPECT_EQ(dir.Pages.size(), 3u);
  EXPECT_EQ(dir.NumPages, 1);
  EXPECT_TRUE(dir.FieldBitSet(NoltField::Pages));
  EXPECT_TRUE(dir.FieldBitSet(NoltField::NumPages));
}

TEST(TIFX_Fields, ValuesConvertBetweenIntegerAndRealTypes) {
  TIFX_NoltDirectory dir;
  iTIFX_ApplyField(dir, 11001, Integers({2}));
  iTIFX_ApplyField(dir, 12013, Integers({90, 4000000000u}));
  EXPECT_EQ(dir.Pages[0].BottleAngle, 90.0f);
  EXPECT_EQ(dir.Pages[1].BottleAngle, 4000000000.0f);
  iTIFX_ApplyField(dir, 12011, Reals({-3.5, 1e300}));
  EXPECT_EQ(dir.Pages[0].BottleX, 0u);
  EXPECT_EQ(dir.Pages[1].BottleX, 0xFFFFFFFFu);
  iTIFX_ApplyField(dir, 10001, Reals({2.25}));
  EXPECT_EQ(dir.InterpretationTime, 2.25f);
}

TEST(TIFX_Fields, ValuesThatDoNotFitTheFieldAreDropped) {
  TIFX_NoltDirectory dir;
  EXPECT_FALSE(iTIFX_ApplyField(dir, 10004, Integers({65})));
  EXPECT_FALSE(iTIFX_ApplyField(dir, 10005, Text("3")));
  EXPECT_FALSE(iTIFX_ApplyField(dir, 10005, Integers({})));
  EXPECT_FALSE(iTIFX_ApplyField(dir, 34032, Integers({1, 2, 3})));
  EXPECT_FALSE(iTIFX_ApplyField(dir, 50000, Integers({1})));
  EXPECT_FALSE(iTIFX_ApplyField(dir, 34756, Integers({0, 0})));
  EXPECT_EQ(dir.FieldSet[0] | dir.FieldSet[1], 0u);
  EXPECT_EQ(dir.Scale, 1);
}

TEST(TIFX_Fields, ClipPathsAreCheckedAgainstTheirOwnCounts) {
  TIFX_NoltDirectory dir;
  iTIFX_ApplyField(dir, 11001, Integers({2}));
  // Page 0: one path of two points; page 1: no path.
  ASSERT_TRUE(iTIFX_ApplyField(dir, 12018, Integers({1, 2, 10, 20, 0xFFFFFFFF, 40, 0})));
  ASSERT_EQ(dir.Pages[0].SCPaths.size(), 1u);
  EXPECT_EQ(dir.Pages[0].SCPaths[0][1].x, -1);
  EXPECT_TRUE(dir.Pages[1].SCPaths.empty());

  TIFX_NoltDirectory cut;
  iTIFX_ApplyField(cut, 11001, Integers({2}));
  for (auto const& values : std::vector<std::vector<std::uint32_t>>{
           {1, 2, 10, 20, 30},      // a point short
           {1, 2, 10, 20, 30, 40},  // page 1's path count missing
           {0x7FFFFFFF, 1, 1, 1},   // more paths than values
           {1, 0x80000000, 1, 2, 0}}) {
    EXPECT_FALSE(iTIFX_ApplyField(cut, 12018, Integers(values)));
    EXPECT_TRUE(cut.Pages[0].SCPaths.empty());
    EXPECT_FALSE(cut.FieldBitSet(NoltField::PageSourceClipPath));
  }
}

TEST(TIFX_Fields, EmbeddedDirectoryReadsTheSameInBothByteOrders) {
  for (bool big : {false, true}) {
    BlockBuilder b(big);
    std::vector<std::uint8_t> scale, offset;
    b.Put(scale, 16, 2);
    b.Entry(10005, kTIFX_Short, 1, scale);
    b.Entry(10004, kTIFX_Ascii, 3, {'A', 'b', 0});
    std::vector<std::uint8_t> file(40, 0xEE);
    const char title[] = "Long title";  // 11 bytes at offset 20
    std::memcpy(file.data() + 20, title, sizeof title);
    b.Put(offset, 20, 4);
    b.Entry(10014, kTIFX_Ascii, sizeof title, offset);
    b.Entry(10012, kTIFX_Ascii, 30, offset);  // runs past the end of the file
    std::vector<std::uint8_t> far;
    b.Put(far, 0xFFFFFFF0u, 4);
    b.Entry(10011, kTIFX_Ascii, 8, far);
    b.Entry(10008, 99, 1, scale);  // unknown type
    MemoryFile source(file);
    TIFX_NoltDirectory dir;
    const std::vector<std::uint8_t> block = b.Block();
    ASSERT_TRUE(iTIFX_ParseEmbeddedDirectory(block.data(), block.size(), big, source, dir));
    EXPECT_EQ(dir.Scale, 16);
    EXPECT_EQ(dir.Title, "Ab");
    EXPECT_EQ(dir.ColorStr, "Long title");
    EXPECT_FALSE(dir.FieldBitSet(NoltField::SourceMachine));
    EXPECT_FALSE(dir.FieldBitSet(NoltField::DigVersion));
    EXPECT_FALSE(dir.FieldBitSet(NoltField::WorkStyle));

    TIFX_NoltDirectory none;
    const std::vector<std::uint8_t> lying = b.Block(7);
    EXPECT_FALSE(iTIFX_ParseEmbeddedDirectory(lying.data(), lying.size(), big, source, none));
    EXPECT_FALSE(iTIFX_ParseEmbeddedDirectory(lying.data(), 1, big, source, none));
    EXPECT_EQ(none.FieldSet[0] | none.FieldSet[1], 0u);
  }
}

// A file that fails any read longer than a limit: values must still come one by one when the
// span holding them all cannot be read.
class ShortReadsOnly : public MemoryFile {
public:
  ShortReadsOnly(std::vector<std::uint8_t> bytes, std::size_t limit)
      : MemoryFile(std::move(bytes)),
        m_Limit(limit) {}
  bool Read(std::uint64_t offset, std::size_t size, std::uint8_t* out) override {
    ++reads;
    return size <= m_Limit && MemoryFile::Read(offset, size, out);
  }
  int reads = 0;

private:
  std::size_t m_Limit;
};

TEST(TIFX_Fields, EmbeddedValuesAreReadTogetherOrElseOneByOne) {
  BlockBuilder b(false);
  std::vector<std::uint8_t> file(400, 0);
  std::memcpy(file.data() + 8, "Colour", 7);
  std::memcpy(file.data() + 300, "Machine", 8);
  std::vector<std::uint8_t> at8, at300;
  b.Put(at8, 8, 4);
  b.Put(at300, 300, 4);
  b.Entry(10014, kTIFX_Ascii, 7, at8);
  b.Entry(10012, kTIFX_Ascii, 8, at300);
  const std::vector<std::uint8_t> block = b.Block();
  for (std::size_t limit : {std::size_t{1000}, std::size_t{8}}) {
    ShortReadsOnly source(file, limit);
    TIFX_NoltDirectory dir;
    ASSERT_TRUE(iTIFX_ParseEmbeddedDirectory(block.data(), block.size(), false, source, dir));
    EXPECT_EQ(dir.ColorStr, "Colour");
    EXPECT_EQ(dir.SourceMachine, "Machine");
    EXPECT_EQ(source.reads, limit == 1000 ? 1 : 3);
  }
}
