// Reference counting of specs, buffers and handles, over a recording stand-in file system.
#include "GFIL/GFIL_FileHandle.h"
#include "GFIL/GFIL_FileSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// Records what the layer asks of it; knows no item.
class RecordingFileSystem : public GFIL_FileSystem {
public:
  explicit RecordingFileSystem(std::vector<std::string>* log) : m_Log(log) {}
  ~RecordingFileSystem() override { m_Log->push_back("deleted"); }

  const void* PlatformSpecPtr() const override { return nullptr; }
  void* PlatformHandle() const override { return nullptr; }
  bool HasFileSpec() const override { return true; }
  bool FileSpecExists() const override { return true; }
  bool FileSpecIsAFolder() const override { return false; }
  bool FileSpecIsAFile() const override { return true; }
  bool FileSpecIsTheRoot() const override { return false; }
  GLIB_WString FileSpecName() const override { return L"item"; }
  GFIL_FileSpec FileSpecParent() const override { return GFIL_FileSpec(); }
  bool FileSpecContains(const GLIB_WString&) const override { return false; }
  GFIL_FileSpec FileSpecConcat(const GLIB_WString&) const override { return GFIL_FileSpec(); }
  void Create(unsigned long flags) override {
    m_Log->push_back("create");
    NoteCreateFlags(flags);
    NoteOpened(flags);
  }
  void Open(unsigned long flags) override { NoteOpened(flags); }
  void Close() override {
    if (IsOpen())
      m_Log->push_back("close");
    NoteClosed();
  }
  void RemoveFile() override { m_Log->push_back("remove"); }
  long long FileSize() const override { return 0; }
  void SetFileSize(const long long&) override {}
  GFIL_DataBuffer ReadBuffer(const long long&) override { return AcquireWriteBuffer(); }
  void PrimeForReading(const long long&, const long long&) override {}
  void CancelOutstandingReads() override {}
  GFIL_DataBuffer AcquireWriteBuffer() override {
    unsigned long size = EffectiveDataBufferSize();
    return MakeDataBuffer(new unsigned char[size], size);
  }
  void ReleaseBuffer(const GFIL_DataBuffer& buffer) override {
    m_Log->push_back("release");
    delete[] BufferMemoryPtr(buffer);
    ClearDataBuffer(buffer);
  }
  void WriteBuffer(const GFIL_DataBuffer&, const long long& offset) override {
    m_Log->push_back("write@" + std::to_string(offset));
  }
  bool AreWritesPending() const override { return false; }
  void WaitForWriteCompletion() override {}
  void FlushToDisk() override {}
  GFIL_FileSpecVector FolderContents() const override { return {}; }

private:
  std::vector<std::string>* m_Log;
};

using Log = std::vector<std::string>;

TEST(GFIL_FileSpecCounting, CopiesShareOneObjectAndTheLastOneDeletesIt) {
  Log log;
  auto* fs = new RecordingFileSystem(&log);
  {
    GFIL_FileSpec first(fs);
    {
      GFIL_FileSpec second = first;
      EXPECT_EQ(fs, second.FileSystemImplPtr());
      EXPECT_EQ(2u, fs->ReferenceCount());
      second = second;  // self-assignment changes nothing
      EXPECT_EQ(2u, fs->ReferenceCount());
    }
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(1u, fs->ReferenceCount());
    EXPECT_TRUE(first.HasSpec());
  }
  EXPECT_EQ(Log{"deleted"}, log);
}

TEST(GFIL_FileSpecCounting, ASpecWithoutFileSystemNamesNothing) {
  GFIL_FileSpec none;
  EXPECT_FALSE(none.HasSpec());
  EXPECT_FALSE(none.Exists());
  EXPECT_FALSE(none.IsAFolder());
  EXPECT_FALSE(none.IsTheRoot());

  Log log;
  GFIL_FileSpec spec(new RecordingFileSystem(&log));
  spec.SetFileSystemImplPtr(spec.FileSystemImplPtr());  // already held: nothing happens
  EXPECT_EQ(1u, spec.FileSystemImplPtr()->ReferenceCount());
  spec = none;
  EXPECT_EQ(Log{"deleted"}, log);
}

TEST(GFIL_FileSpecCounting, BuffersMoveOnCopyAndGiveTheirMemoryBackOnce) {
  Log log;
  GFIL_FileSpec spec(new RecordingFileSystem(&log));
  GFIL_FileSystem* fs = spec.FileSystemImplPtr();
  fs->SetDataBufferSize(16);
  {
    GFIL_DataBuffer source = fs->AcquireWriteBuffer();
    source.SetData(2, 5);
    source.SetEndOfFile(true);
    unsigned char* memory = source.Memory();
    GFIL_DataBuffer target(source);
    EXPECT_EQ(nullptr, source.Memory());
    EXPECT_EQ(nullptr, source.Owner());
    EXPECT_EQ(0u, source.Capacity());
    EXPECT_EQ(memory, target.Memory());
    EXPECT_EQ(16u, target.Capacity());
    EXPECT_EQ(2u, target.DataOffset());
    EXPECT_EQ(5u, target.DataSize());
    EXPECT_TRUE(target.IsEndOfFile());
    EXPECT_EQ(3u, target.ConsumeData(3));
    EXPECT_EQ(5u, target.DataOffset());
    EXPECT_EQ(2u, target.DataSize());

    GFIL_DataBuffer other = fs->AcquireWriteBuffer();
    other = target;  // other's own memory goes back first
    EXPECT_EQ(Log{"release"}, log);
    other = other;
    EXPECT_EQ(memory, other.Memory());
    EXPECT_EQ(2u, fs->ReferenceCount());
  }
  // The emptied source and target gave nothing back; the holder did, once.
  EXPECT_EQ((Log{"release", "release"}), log);
  EXPECT_EQ(1u, fs->ReferenceCount());
}

TEST(GFIL_FileSpecCounting, ABufferMayHoldTheLastReferenceToItsOwner) {
  Log log;
  GFIL_DataBuffer buffer;
  {
    GFIL_FileSpec spec(new RecordingFileSystem(&log));
    buffer = spec.FileSystemImplPtr()->AcquireWriteBuffer();
  }
  EXPECT_TRUE(log.empty());
  buffer.Release();
  EXPECT_EQ((Log{"release", "deleted"}), log);
  EXPECT_EQ(nullptr, buffer.Memory());
}

TEST(GFIL_FileSpecCounting, TheLastHandleClosesAndRemovesATemporaryFile) {
  for (bool temporary : {false, true}) {
    Log log;
    {
      GFIL_FileSpec spec(new RecordingFileSystem(&log));
      GFIL_FileHandle first(spec);
      first.Create(GFIL_FileSystem::OPEN_WRITABLE |
                   (temporary ? GFIL_FileSystem::CREATE_TEMPORARY : 0));
      {
        GFIL_FileHandle second(first);
        EXPECT_EQ(2u, spec.FileSystemImplPtr()->OpenHandleCount());
        EXPECT_EQ(0, second.Position());
      }
      EXPECT_EQ(Log{"create"}, log);
      GFIL_FileHandle third;
      third = first;
      third = third;
      EXPECT_EQ(2u, spec.FileSystemImplPtr()->OpenHandleCount());
      first.SetFileSpec(GFIL_FileSpec());
      EXPECT_EQ(Log{"create"}, log);
    }
    Log expected{"create", "close"};
    if (temporary)
      expected.push_back("remove");
    expected.push_back("deleted");
    EXPECT_EQ(expected, log) << "temporary " << temporary;
  }
}

TEST(GFIL_FileSpecCounting, HandlesReadAndWriteSequentially) {
  Log log;
  GFIL_FileSpec spec(new RecordingFileSystem(&log));
  spec.FileSystemImplPtr()->SetDataBufferSize(8);
  GFIL_FileHandle handle(spec);
  handle.SetPosition(10);
  GFIL_DataBuffer buffer = handle.FileSystem()->AcquireWriteBuffer();
  buffer.SetDataSize(6);
  handle.WriteBuffer(buffer);
  EXPECT_EQ(16, handle.Position());
  buffer.SetDataSize(2);
  handle.WriteBuffer(buffer);
  EXPECT_EQ(18, handle.Position());
  EXPECT_EQ((Log{"write@10", "write@16"}), log);
}

TEST(GFIL_FileSpecCounting, FlagWordKeepsTheCreateByteAcrossOpens) {
  Log log;
  GFIL_FileSpec spec(new RecordingFileSystem(&log));
  GFIL_FileSystem* fs = spec.FileSystemImplPtr();
  fs->Create(GFIL_FileSystem::CREATE_TEMPORARY | GFIL_FileSystem::OPEN_WRITABLE);
  EXPECT_EQ(GFIL_FileSystem::CREATE_TEMPORARY | GFIL_FileSystem::OPEN_WRITABLE, fs->Flags());
  fs->Close();
  fs->Open(GFIL_FileSystem::OPEN_READABLE);
  EXPECT_EQ(GFIL_FileSystem::CREATE_TEMPORARY | GFIL_FileSystem::OPEN_READABLE, fs->Flags());
  EXPECT_TRUE(fs->IsOpen());
}

}  // namespace

// The tile workers copy and drop specs and handles of files that other threads hold too.
TEST(GFIL_FileSpecCounting, CopiesAndHandlesOnSeveralThreadsKeepTheCountsRight) {
  Log log;
  {
    GFIL_FileSpec spec(new RecordingFileSystem(&log));
    GFIL_FileHandle handle(spec);
    handle.Open(GFIL_FileSystem::OPEN_READABLE);
    GFIL_FileSystem* const fs = spec.FileSystemImplPtr();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([&spec, &handle] {
        for (int i = 0; i < 20000; ++i) {
          GFIL_FileSpec copy(spec);
          GFIL_FileHandle another(handle);
        }
      });
    for (std::thread& thread : threads)
      thread.join();
    EXPECT_EQ(2u, fs->ReferenceCount());  // the spec's and the handle's
    EXPECT_EQ(1u, fs->OpenHandleCount());
    EXPECT_TRUE(log.empty());
  }
  EXPECT_EQ((Log{"close", "deleted"}), log);
}
