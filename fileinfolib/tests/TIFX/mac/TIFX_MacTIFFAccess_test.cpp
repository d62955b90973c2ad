#include "TIFX/mac/TIFX_MacTIFFAccess.h"

#include "PreviewFileWriter.h"
#include "TIFX/TIFX_KRXFile.h"
#include "TIFX_TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using ::testing::HasSubstr;

namespace {

class TIFX_MacAccess : public ::testing::Test {
protected:
  void SetUp() override {
    TIFX_KRXFile::SetCallbackFunctions();
    StandIn_FilesReset();
    m_Path = PreviewFixture::TempFilePath("mac-access.tif");
    PreviewFixture::Write(m_Path, PreviewFixture::PreviewFile::Make(600, 600));
    ASSERT_EQ(FSPathMakeRef(reinterpret_cast<UInt8 const*>(m_Path.c_str()), &m_Ref, nullptr),
              noErr);
  }
  void TearDown() override { StandIn_FilesReset(); }

  FSIORefNum OpenFork(SInt8 permission) {
    HFSUniStr255 name;
    FSGetDataForkName(&name);
    FSIORefNum fork = 0;
    EXPECT_EQ(FSOpenFork(&m_Ref, name.length, name.unicode, permission, &fork), noErr);
    return fork;
  }

  static thandle_t Handle(FSIORefNum fork) {
    return reinterpret_cast<thandle_t>(static_cast<std::intptr_t>(fork));
  }

  std::string m_Path;
  FSRef m_Ref;
};

}  // namespace

TEST_F(TIFX_MacAccess, OpensForReadingAndClosesTheForkWithTheHandle) {
  TIFF* tif = TIFFFSRefOpen(&m_Ref, "r");
  ASSERT_NE(tif, nullptr);
  EXPECT_EQ(StandIn_FilesOpenForkCount(), 1);
  EXPECT_STREQ(TIFFFileName(tif), m_Path.c_str());
  std::uint32_t width = 0;
  EXPECT_EQ(TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width), 1);
  EXPECT_EQ(width, 600u);
  TIFFClose(tif);
  EXPECT_EQ(StandIn_FilesOpenForkCount(), 0);
}

TEST_F(TIFX_MacAccess, SelectingTheCurrentDirectoryReadsNothing) {
  TIFX_KRXFile file(PreviewFixture::SpecFromPath(m_Path));
  file.Open();
  int const afterOpen = StandIn_FilesCallCount("FSReadFork");
  EXPECT_EQ(file.SelectImageDirectory(), 1);
  EXPECT_EQ(StandIn_FilesCallCount("FSReadFork"), afterOpen);
  ASSERT_EQ(file.SetDirectory(1), 1);
  int const onThumbnail = StandIn_FilesCallCount("FSReadFork");
  EXPECT_GT(onThumbnail, afterOpen);
  EXPECT_EQ(file.SelectDirectoryIfNeeded(1), 1);
  EXPECT_EQ(StandIn_FilesCallCount("FSReadFork"), onThumbnail);
  EXPECT_EQ(file.SelectImageDirectory(), 1);
  EXPECT_GT(StandIn_FilesCallCount("FSReadFork"), onThumbnail);
}

TEST_F(TIFX_MacAccess, ModesThatCreateAreRefusedWithoutOpeningAFork) {
  for (char const* mode : {"w", "a", "x"}) {
    EXPECT_EQ(TIFFFSRefOpen(&m_Ref, mode), nullptr);
    EXPECT_EQ(TIFX_KRXFile::LastErrorMessage(),
              "[TIFFFSRefOpen] Encountered unsupported file mode (O_CREAT).");
  }
  EXPECT_EQ(StandIn_FilesCallCount("FSOpenFork"), 0);
  EXPECT_EQ(StandIn_FilesOpenForkCount(), 0);
}

TEST_F(TIFX_MacAccess, AForkThatCannotBeOpenedIsReportedWithItsPath) {
  StandIn_FilesFailNext("FSOpenFork", permErr);
  EXPECT_EQ(TIFFFSRefOpen(&m_Ref, "r"), nullptr);
  EXPECT_EQ(TIFX_KRXFile::LastErrorMessage(),
            "[TIFFFSRefOpen] Unable to open file \"" + m_Path + "\" for 'O_RDONLY' mode");
  StandIn_FilesFailNext("FSOpenFork", permErr);
  EXPECT_EQ(TIFFFSRefOpen(&m_Ref, "r+"), nullptr);
  EXPECT_THAT(TIFX_KRXFile::LastErrorMessage(), HasSubstr("for 'O_RDWR' mode"));
}

TEST_F(TIFX_MacAccess, AFailedClientOpenClosesTheFork) {
  std::ofstream(m_Path, std::ios::trunc) << "plain text";
  EXPECT_EQ(TIFFFSRefOpen(&m_Ref, "r"), nullptr);
  EXPECT_EQ(StandIn_FilesOpenForkCount(), 0);
}

TEST_F(TIFX_MacAccess, SeeksMoveTheMarkAndNeverTheSize) {
  const FSIORefNum fork = OpenFork(fsRdWrPerm);
  const thandle_t h = Handle(fork);
  const toff_t size = _tiffSizeProc(h);
  EXPECT_EQ(_tiffSeekProc(h, static_cast<toff_t>(-10), SEEK_END), size - 10);
  EXPECT_EQ(_tiffSeekProc(h, 4, SEEK_CUR), size - 6);
  EXPECT_EQ(_tiffSeekProc(h, 10, SEEK_END), static_cast<toff_t>(-1));
  EXPECT_EQ(_tiffSeekProc(h, size + 10, SEEK_SET), static_cast<toff_t>(-1));
  EXPECT_EQ(_tiffSeekProc(h, static_cast<toff_t>(-1) - size, SEEK_END), static_cast<toff_t>(-1));
  EXPECT_EQ(_tiffSeekProc(h, 0, 7), size - 6);
  EXPECT_EQ(_tiffSizeProc(h), size);
  EXPECT_EQ(_tiffSeekProc(h, 8, SEEK_SET), 8u);
  char bytes[4];
  EXPECT_EQ(_tiffReadProc(h, bytes, 4), 4);
  EXPECT_EQ(_tiffSeekProc(h, 0, SEEK_END), size);
  EXPECT_EQ(_tiffReadProc(h, bytes, 4), 0);
  EXPECT_EQ(_tiffCloseProc(h), noErr);
}

TEST_F(TIFX_MacAccess, ReadsGiveTheBytesTheyReadAndNeverMinusOne) {
  const thandle_t h = Handle(OpenFork(fsRdPerm));
  const toff_t size = _tiffSizeProc(h);
  char bytes[8] = {};
  ASSERT_EQ(_tiffSeekProc(h, size - 3, SEEK_SET), size - 3);
  EXPECT_EQ(_tiffReadProc(h, bytes, 8), 3);  // short at the end of the file
  EXPECT_EQ(_tiffReadProc(h, bytes, 8), 0);  // at the end
  ASSERT_EQ(_tiffSeekProc(h, 0, SEEK_SET), 0u);
  StandIn_FilesFailNext("FSReadFork", ioErr);
  EXPECT_EQ(_tiffReadProc(h, bytes, 8), 0);  // a failing read
  EXPECT_EQ(_tiffReadProc(h, bytes, 2), 2);
  EXPECT_EQ(std::string(bytes, 2), PreviewFixture::ReadAll(m_Path).at(0) == 'I' ? "II" : "MM");
  EXPECT_EQ(_tiffReadProc(h, bytes, -1), -1);  // no read at all
  _tiffCloseProc(h);
}

TEST_F(TIFX_MacAccess, FailingFileManagerCallsGiveMinusOne) {
  const FSIORefNum fork = OpenFork(fsRdPerm);
  const thandle_t h = Handle(fork);
  StandIn_FilesFailNext("FSGetForkSize", ioErr);
  EXPECT_EQ(_tiffSizeProc(h), static_cast<toff_t>(-1));
  EXPECT_EQ(TIFX_KRXFile::LastErrorMessage(),
            "[_tiffSizeProc] _tiffSizeProc: Cannot get file size");
  StandIn_FilesFailNext("FSGetForkPosition", ioErr);
  EXPECT_EQ(_tiffSeekProc(h, 0, SEEK_SET), static_cast<toff_t>(-1));
  char byte = 0;
  EXPECT_EQ(_tiffWriteProc(h, &byte, 1), -1);
  void* base = nullptr;
  toff_t mapped = 0;
  EXPECT_EQ(_tiffMapProc(h, &base, &mapped), 0);
  _tiffCloseProc(h);
}

TEST_F(TIFX_MacAccess, AForkOfFourGibibytesIsTooBig) {
  // Sparse: no disk space is taken.
  std::filesystem::resize_file(m_Path, std::uintmax_t{1} << 32);
  const thandle_t h = Handle(OpenFork(fsRdPerm));
  EXPECT_EQ(_tiffSizeProc(h), static_cast<toff_t>(-1));
  EXPECT_EQ(TIFX_KRXFile::LastErrorMessage(),
            "[_tiffSizeProc] _tiffSizeProc: file size too big for libtiff");
  std::filesystem::resize_file(m_Path, (std::uintmax_t{1} << 32) - 1);
  EXPECT_EQ(_tiffSizeProc(h), (toff_t{1} << 32) - 1);
  _tiffCloseProc(h);
  std::filesystem::resize_file(m_Path, 0);
}
