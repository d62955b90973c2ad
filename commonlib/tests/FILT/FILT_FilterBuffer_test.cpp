#include "FILT/FILT_FilterBuffer.h"
#include "FILT/FILT_TupleBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Puts bytes into a buffer as a producer would.
void Produce(FILT_FilterBuffer& buffer, std::vector<unsigned char> const& bytes) {
  std::memcpy(buffer.GetWritePtr(), bytes.data(), bytes.size());
  buffer.AddBytes(static_cast<unsigned int>(bytes.size()));
}

std::vector<unsigned char> Bytes(unsigned n, unsigned char first) {
  std::vector<unsigned char> bytes(n);
  for (unsigned i = 0; i < n; ++i)
    bytes[i] = static_cast<unsigned char>(first + i);
  return bytes;
}

TEST(FILT_FilterBuffer, NullDataAllocatesAndOwnsWhateverTheOwnerSays) {
  FILT_FilterBuffer buffer(nullptr, 100, FILT_FilterBuffer::kCallerOwnsBuffer);
  EXPECT_NE(buffer.GetStart(), nullptr);
  EXPECT_EQ(buffer.GetSize(), 100u);
  EXPECT_EQ(buffer.GetOwner(), FILT_FilterBuffer::kBufferOwnsBuffer);
  EXPECT_EQ(buffer.FreeSpace(), 100u);
  EXPECT_EQ(buffer.DataSize(), 0u);

  FILT_FilterBuffer empty(0u);
  EXPECT_EQ(empty.GetStart(), nullptr);
  EXPECT_TRUE(empty.IsFull());
}

TEST(FILT_FilterBuffer, CallerMemoryStaysTheCallers) {
  unsigned char storage[8] = {};
  {
    FILT_FilterBuffer buffer(storage, sizeof storage, FILT_FilterBuffer::kCallerOwnsBuffer);
    Produce(buffer, Bytes(3, 7));
    EXPECT_EQ(buffer.GetStart(), storage);
    buffer.ReleaseBuffer();  // not owned: the window stays, the counters go
    EXPECT_EQ(buffer.GetStart(), storage);
    EXPECT_EQ(buffer.GetAdded(), 0u);
  }  // leaving the scope must not free the array
  EXPECT_EQ(storage[0], 7);
}

TEST(FILT_FilterBuffer, CountersTellWhatHappenedSinceTheOtherSideLooked) {
  FILT_FilterBuffer buffer(16u);
  buffer.AddBytes(5);
  buffer.AddBytes(3);
  EXPECT_EQ(buffer.GetAdded(), 8u);
  EXPECT_EQ(buffer.GetRemoved(), 0u);
  buffer.RemoveBytes(2);
  buffer.RemoveBytes(4);
  EXPECT_EQ(buffer.GetRemoved(), 6u);
  EXPECT_EQ(buffer.GetAdded(), 0u);
  EXPECT_EQ(buffer.DataSize(), 2u);

  buffer.SetDone(true);
  buffer.EmptyNoReset();  // positions back to the start, consumed bytes go to the offset
  EXPECT_EQ(buffer.GetOffset(), 6u);
  EXPECT_EQ(buffer.DataSize(), 0u);
  EXPECT_EQ(buffer.FreeSpace(), 16u);
  EXPECT_FALSE(buffer.GetDoneFlag());
  EXPECT_EQ(buffer.GetRemoved(), 6u);

  buffer.AddBytes(4);
  buffer.RemoveBytes(4);
  buffer.Empty();
  EXPECT_EQ(buffer.GetOffset(), 10u);
  EXPECT_EQ(buffer.GetRemoved(), 0u);
  EXPECT_EQ(buffer.GetAdded(), 0u);
}

TEST(FILT_FilterBuffer, CopyIntoMovesWhatFits) {
  FILT_FilterBuffer source(10u);
  FILT_FilterBuffer dest(4u);
  Produce(source, Bytes(6, 1));
  EXPECT_EQ(source.CopyInto(dest), 4u);
  EXPECT_EQ(source.DataSize(), 2u);
  EXPECT_TRUE(dest.IsFull());
  EXPECT_EQ(std::vector<unsigned char>(dest.GetReadPtr(), dest.GetWritePtr()), Bytes(4, 1));
  EXPECT_EQ(source.CopyInto(dest), 0u);  // nothing fits: nothing changes
  EXPECT_EQ(source.GetRemoved(), 4u);
}

TEST(FILT_FilterBuffer, DoneOnlyWhenDrained) {
  FILT_FilterBuffer buffer(4u);
  Produce(buffer, Bytes(2, 0));
  buffer.SetDone(true);
  EXPECT_FALSE(buffer.IsDone());
  buffer.RemoveBytes(2);
  EXPECT_TRUE(buffer.IsDone());
}

TEST(FILT_TupleBufferR, TupleSplitAcrossBuffersComesFromTheSpanningCopy) {
  FILT_TupleBufferR reader;
  reader.Reset(6);
  FILT_FilterBuffer first(4u);
  FILT_FilterBuffer second(8u);
  Produce(first, Bytes(4, 0));
  Produce(second, Bytes(8, 4));

  reader.AssignNextBuffer(&first);
  EXPECT_EQ(first.DataSize(), 0u);  // less than a tuple: gathered at once
  EXPECT_EQ(reader.ContigTuplesAvailable(), 0u);
  EXPECT_EQ(reader.GetPtr(), nullptr);

  reader.AssignNextBuffer(&second);
  ASSERT_EQ(reader.ContigTuplesAvailable(), 1u);
  EXPECT_EQ(std::vector<unsigned char>(reader.GetPtr(), reader.GetPtr() + 6), Bytes(6, 0));
  reader.RemoveTuples(1);

  ASSERT_EQ(reader.ContigTuplesAvailable(), 1u);
  EXPECT_EQ(reader.GetPtr(), second.GetReadPtr());  // read in place
  EXPECT_EQ(std::vector<unsigned char>(reader.GetPtr(), reader.GetPtr() + 6), Bytes(6, 6));
  reader.RemoveTuples(1);
  EXPECT_EQ(reader.ContigTuplesAvailable(), 0u);
  EXPECT_FALSE(reader.IsTruncated());
}

TEST(FILT_TupleBufferR, WholeTuplesAreReadInPlaceAndTheRemainderIsKept) {
  FILT_TupleBufferR reader;
  reader.Reset(3);
  FILT_FilterBuffer buffer(8u);
  Produce(buffer, Bytes(8, 0));
  reader.AssignNextBuffer(&buffer);
  EXPECT_EQ(reader.ContigTuplesAvailable(), 2u);
  reader.RemoveTuples(2);  // the 2 bytes left move into the spanning copy
  EXPECT_EQ(buffer.DataSize(), 0u);
  EXPECT_EQ(reader.ContigTuplesAvailable(), 0u);

  FILT_FilterBuffer next(4u);
  Produce(next, Bytes(4, 8));
  reader.AssignNextBuffer(&next);
  ASSERT_EQ(reader.ContigTuplesAvailable(), 1u);
  EXPECT_EQ(std::vector<unsigned char>(reader.GetPtr(), reader.GetPtr() + 3), Bytes(3, 6));
}

TEST(FILT_TupleBufferR, DataEndingInsideATupleIsTruncated) {
  FILT_TupleBufferR reader;
  reader.Reset(6);
  FILT_FilterBuffer buffer(8u);
  Produce(buffer, Bytes(8, 0));
  buffer.SetDone(true);
  reader.AssignNextBuffer(&buffer);
  EXPECT_EQ(reader.ContigTuplesAvailable(), 1u);
  reader.RemoveTuples(1);
  EXPECT_TRUE(reader.IsTruncated());
  EXPECT_EQ(reader.ContigTuplesAvailable(), 0u);
  EXPECT_EQ(reader.GetPtr(), nullptr);
}

TEST(FILT_TupleBufferW, TupleLargerThanTheSpaceLeftIsSplitAcrossBuffers) {
  FILT_TupleBufferW writer;
  writer.Reset(4);
  FILT_FilterBuffer first(10u);
  writer.AssignNextBuffer(&first);
  EXPECT_EQ(writer.ContigTuplesRemaining(), 2u);
  std::memcpy(writer.PutPtr(), Bytes(8, 0).data(), 8);
  writer.AddTuples(2);

  // Two bytes left: the next tuple goes through the spanning copy.
  EXPECT_TRUE(writer.UseSpanningTupleBuffer());
  EXPECT_EQ(writer.ContigTuplesRemaining(), 1u);
  std::memcpy(writer.PutPtr(), Bytes(4, 8).data(), 4);
  writer.AddTuples(1);
  EXPECT_EQ(writer.PendingBytes(), 2u);
  EXPECT_TRUE(first.IsFull());
  EXPECT_EQ(std::vector<unsigned char>(first.GetReadPtr(), first.GetWritePtr()), Bytes(10, 0));
  EXPECT_EQ(writer.ContigTuplesRemaining(), 0u);

  writer.SetFinished();  // bytes pending: not done yet
  EXPECT_FALSE(first.GetDoneFlag());

  FILT_FilterBuffer second(10u);
  writer.AssignNextBuffer(&second);
  EXPECT_EQ(writer.PendingBytes(), 0u);
  EXPECT_EQ(std::vector<unsigned char>(second.GetReadPtr(), second.GetWritePtr()), Bytes(2, 10));
  EXPECT_TRUE(second.GetDoneFlag());  // finished and flushed
}

TEST(FILT_TupleBufferW, WithoutABufferThereIsNowhereToWrite) {
  FILT_TupleBufferW writer;
  writer.Reset(4);
  EXPECT_EQ(writer.PutPtr(), nullptr);
  EXPECT_EQ(writer.ContigTuplesRemaining(), 0u);
  FILT_FilterBuffer buffer(8u);
  writer.AssignNextBuffer(&buffer);
  writer.SetFinished();  // nothing pending: done at once
  EXPECT_TRUE(buffer.GetDoneFlag());
}

}  // namespace
