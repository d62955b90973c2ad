#include "FILT/FILT_FilterBuffer.h"
#include "FILT/FILT_FilterPipe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Copies at most `chunk` bytes per call and adds `delta` to each; reports its destruction.
class StepFilter : public FILT_Filter {
public:
  StepFilter(unsigned chunk, unsigned char delta, int* destroyed = nullptr)
      : m_Chunk(chunk),
        m_Delta(delta),
        m_Destroyed(destroyed) {}
  ~StepFilter() override {
    if (m_Destroyed)
      ++*m_Destroyed;
  }
  char const* Name() const override { return "Step"; }
  void ProcessBytes(FILT_FilterBuffer& in, FILT_FilterBuffer& out) override {
    unsigned n = std::min({m_Chunk, in.DataSize(), out.FreeSpace()});
    for (unsigned i = 0; i < n; ++i)
      out.GetWritePtr()[i] = static_cast<unsigned char>(in.GetReadPtr()[i] + m_Delta);
    in.RemoveBytes(n);
    out.AddBytes(n);
    if (in.IsDone())
      out.SetDone(true);
  }

private:
  unsigned m_Chunk;
  unsigned char m_Delta;
  int* m_Destroyed;
};

TEST(FILT_FilterPipe, WithoutFiltersCopiesWhatFitsAndPassesTheEndOn) {
  FILT_FilterPipe pipe(FILT_FilterPipe::DEFAULT_BUFFER_SIZE);
  EXPECT_STREQ(pipe.Name(), "FILT_FilterPipe");
  FILT_FilterBuffer in(10u);
  FILT_FilterBuffer out(6u);
  in.AddBytes(8);
  in.SetDone(true);
  pipe.ProcessBytes(in, out);
  EXPECT_EQ(out.DataSize(), 6u);
  EXPECT_EQ(in.DataSize(), 2u);
  EXPECT_FALSE(out.GetDoneFlag());  // in still holds data

  out.Empty();
  pipe.ProcessBytes(in, out);
  EXPECT_EQ(out.DataSize(), 2u);
  EXPECT_TRUE(out.GetDoneFlag());
}

TEST(FILT_FilterPipe, InsertingFiltersAddsOneIntermediateBufferEach) {
  FILT_FilterPipe pipe;
  auto* a = new StepFilter(100, 1);
  auto* b = new StepFilter(100, 2);
  auto* c = new StepFilter(100, 4);
  ASSERT_TRUE(pipe.AddToTail(a));
  EXPECT_EQ(pipe.GetInputBufferForFilter(0), nullptr);  // the caller's slots, empty between calls
  EXPECT_EQ(pipe.GetOutputBufferForFilter(0), nullptr);

  ASSERT_TRUE(pipe.AddToTail(b));
  FILT_FilterBuffer* ab = pipe.GetOutputBufferForFilter(0);
  ASSERT_NE(ab, nullptr);
  EXPECT_EQ(pipe.GetInputBufferForFilter(1), ab);
  EXPECT_EQ(ab->GetSize(), FILT_FilterPipe::DEFAULT_BUFFER_SIZE);

  ASSERT_TRUE(pipe.InsertAt(0, c));  // c, a, b
  EXPECT_EQ(pipe.FilterCount(), 3);
  EXPECT_NE(pipe.GetOutputBufferForFilter(0), nullptr);
  EXPECT_EQ(pipe.GetOutputBufferForFilter(1), ab);
  EXPECT_EQ(pipe.GetInputBufferForFilter(2), ab);
}

TEST(FILT_FilterPipe, RefusesAnIndexOutsideTheChain) {
  int destroyed = 0;
  StepFilter outside(1, 0, &destroyed);
  FILT_FilterPipe pipe;
  EXPECT_FALSE(pipe.InsertAt(1, &outside));
  EXPECT_FALSE(pipe.InsertAt(-1, &outside));
  EXPECT_EQ(pipe.FilterCount(), 0);
}

TEST(FILT_FilterPipe, OwnsItsFilters) {
  int destroyed = 0;
  {
    FILT_FilterPipe pipe;
    pipe.AddToTail(new StepFilter(1, 0, &destroyed));
    pipe.AddToTail(new StepFilter(1, 0, &destroyed));
  }
  EXPECT_EQ(destroyed, 2);
}

// Feeds bytes 0, 1, 2, ... through the pipe from a 7-byte input into a 4-byte output buffer,
// as many calls as it takes, and returns what came out.
std::vector<unsigned char> Stream(FILT_FilterPipe& pipe, std::size_t size) {
  std::vector<unsigned char> source(size);
  for (unsigned i = 0; i < source.size(); ++i)
    source[i] = static_cast<unsigned char>(i);
  std::vector<unsigned char> result;

  FILT_FilterBuffer in(7u);
  FILT_FilterBuffer out(4u);
  std::size_t fed = 0;
  for (int calls = 0; calls < 1000 && !out.IsDone(); ++calls) {
    if (in.DataSize() == 0)
      in.Empty();
    unsigned n = std::min<std::size_t>(in.FreeSpace(), source.size() - fed);
    std::memcpy(in.GetWritePtr(), source.data() + fed, n);
    in.AddBytes(n);
    fed += n;
    if (fed == source.size())
      in.SetDone(true);

    pipe.ProcessBytes(in, out);
    result.insert(result.end(), out.GetReadPtr(), out.GetWritePtr());
    out.RemoveBytes(out.DataSize());
    bool const done = out.GetDoneFlag();
    out.Empty();
    out.SetDone(done);
  }
  return result;
}

TEST(FILT_FilterPipe, StreamsThroughTheChainAcrossCalls) {
  // Small caller buffers and filters that move a few bytes per call: the pipe must go back
  // for more input and forward with what was produced, and resume on the next call.
  FILT_FilterPipe pipe;
  pipe.AddToTail(new StepFilter(3, 1));
  pipe.AddToTail(new StepFilter(5, 10));

  std::vector<unsigned char> const result = Stream(pipe, 100);
  ASSERT_EQ(result.size(), 100u);
  for (unsigned i = 0; i < result.size(); ++i)
    EXPECT_EQ(result[i], static_cast<unsigned char>(i + 11)) << i;
}

TEST(FILT_FilterPipe, IntermediateBuffersTakeTheSizeThePipeWasMadeWith) {
  // Buffers smaller than what the filters move per call still carry every byte; a size of
  // nothing would stall the chain and is taken as one byte.
  struct Case {
    unsigned long asked;
    unsigned int size;
  } const cases[] = {{0, 1}, {1, 1}, {2, 2}, {64, 64}};
  for (Case const& c : cases) {
    FILT_FilterPipe pipe(c.asked);
    pipe.AddToTail(new StepFilter(3, 1));
    pipe.AddToTail(new StepFilter(5, 10));
    pipe.InsertAt(1, new StepFilter(4, 100));
    for (int i = 0; i + 1 < pipe.FilterCount(); ++i)
      EXPECT_EQ(pipe.GetOutputBufferForFilter(i)->GetSize(), c.size) << c.asked;

    std::vector<unsigned char> const result = Stream(pipe, 100);
    ASSERT_EQ(result.size(), 100u) << c.asked;
    for (unsigned i = 0; i < result.size(); ++i)
      EXPECT_EQ(result[i], static_cast<unsigned char>(i + 111)) << c.asked << " at " << i;
  }
}

}  // namespace
