#include "FILT/FILT_DecimKernel.h"
#include "FILT/FILT_DownSampleFactors.h"
#include "FILT/FILT_DownSampler.h"
#include "FILT/FILT_FilterBuffer.h"
#include "FILT/FILT_FilterPipe.h"
#include "GLIB/GLIB_Exception.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

using Image = std::vector<unsigned char>;

struct Geometry {
  unsigned samples, inWidth, inHeight, outWidth, outHeight;
};

FILT_DownSampler* MakeDownSampler(Geometry const& g) {
  auto* sampler = new FILT_DownSampler;
  sampler->SetSamplesPerPixel(g.samples);
  sampler->SetInputSize(g.inWidth, g.inHeight);
  sampler->SetOutputSize(g.outWidth, g.outHeight);
  sampler->SetKernel(new FILT_BicubicKernel);
  return sampler;
}

// Whole image in, whole image out, in one call (as the thumbnail does).
Image ShrinkAtOnce(Geometry const& g, Image input, FILT_Filter& filter) {
  Image output(static_cast<std::size_t>(g.samples) * std::max(g.outWidth, 1u) *
               std::max(g.outHeight, 1u));
  FILT_FilterBuffer in(input.data(), static_cast<unsigned>(input.size()),
                       FILT_FilterBuffer::kCallerOwnsBuffer);
  FILT_FilterBuffer out(output.data(), static_cast<unsigned>(output.size()),
                        FILT_FilterBuffer::kCallerOwnsBuffer);
  in.Empty();
  in.AddBytes(static_cast<unsigned>(input.size()));
  filter.ProcessBytes(in, out);
  EXPECT_EQ(out.DataSize(), output.size());
  return output;
}

Image ShrinkAtOnce(Geometry const& g, Image const& input) {
  FILT_DownSampler* sampler = MakeDownSampler(g);
  FILT_FilterPipe pipe(FILT_FilterPipe::DEFAULT_BUFFER_SIZE);
  pipe.AddToTail(sampler);
  return ShrinkAtOnce(g, input, pipe);
}

// Input and output in small chunks of awkward sizes, so lines are split across buffers.
Image ShrinkInChunks(Geometry const& g, Image const& input, unsigned inChunk, unsigned outChunk) {
  FILT_DownSampler* sampler = MakeDownSampler(g);
  FILT_FilterPipe pipe;
  pipe.AddToTail(sampler);
  FILT_FilterBuffer in(inChunk);
  FILT_FilterBuffer out(outChunk);
  Image result;
  std::size_t fed = 0;
  std::size_t const maxCalls = input.size() / inChunk + input.size() / outChunk + 100;
  for (std::size_t calls = 0; calls < maxCalls && !out.GetDoneFlag(); ++calls) {
    if (in.DataSize() == 0)
      in.Empty();
    unsigned const n =
        static_cast<unsigned>(std::min<std::size_t>(in.FreeSpace(), input.size() - fed));
    std::memcpy(in.GetWritePtr(), input.data() + fed, n);
    in.AddBytes(n);
    fed += n;
    in.SetDone(fed == input.size());
    pipe.ProcessBytes(in, out);
    result.insert(result.end(), out.GetReadPtr(), out.GetWritePtr());
    bool const done = out.GetDoneFlag();
    out.Empty();
    out.SetDone(done);
  }
  EXPECT_TRUE(out.GetDoneFlag());
  return result;
}

Image Pattern(Geometry const& g) {
  Image image(static_cast<std::size_t>(g.samples) * g.inWidth * g.inHeight);
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<unsigned char>((i * 7919u) >> 3);
  return image;
}

TEST(FILT_BicubicKernel, WeightsOfTheCubicConvolution) {
  FILT_BicubicKernel kernel;
  EXPECT_STREQ(kernel.Name(), "Bicubic");
  EXPECT_EQ(kernel.GetWidth(), 4);
  EXPECT_EQ(kernel.GetMaxPixAffected(), 5);
  std::map<float, float> const expected = {{0.0f, 1.0f}, {1.0f, 0.0f},      {1.5f, -0.09375f},
                                           {2.0f, 0.0f}, {-0.5f, 0.59375f}, {-1.5f, -0.09375f},
                                           {3.0f, 0.0f}, {1.9999995f, 0.0f}};
  for (auto const& [x, weight] : expected)
    EXPECT_FLOAT_EQ(kernel.CalculateWeight(x), weight) << "x = " << x;
}

TEST(FILT_DownSampleFactors, EveryOutputsWeightsSumToOneInInputOrder) {
  FILT_BicubicKernel kernel;
  struct Sizes {
    unsigned long in, out;
  };
  for (Sizes const sizes : {Sizes{700, 350}, Sizes{1000, 350}, Sizes{351, 122}, Sizes{10, 3},
                            Sizes{5, 1}, Sizes{1, 1}, Sizes{350, 350}, Sizes{3000, 7}}) {
    FILT_DownSampleFactors factors;
    EXPECT_TRUE(factors.CalculateScaleFactors(&kernel, sizes.in, sizes.out));
    std::vector<double> sums(sizes.out, 0.0);
    for (unsigned i = 0; i < factors.Count(); ++i) {
      auto const& f = factors[i];
      ASSERT_LT(f.input, sizes.in);
      ASSERT_LT(f.output, sizes.out);
      if (i > 0) {
        ASSERT_LE(factors[i - 1].input, f.input);
      }
      sums[f.output] += f.weight;
    }
    for (unsigned long o = 0; o < sizes.out; ++o)
      EXPECT_NEAR(sums[o], 1.0, 1e-5) << sizes.in << "->" << sizes.out << " output " << o;
    auto const& terminator = factors[factors.Count()];
    EXPECT_EQ(terminator.weight, 0.0f);
    EXPECT_EQ(terminator.input, 0);
    EXPECT_EQ(terminator.output, 0);
  }
}

TEST(FILT_DownSampleFactors, ZeroSizesCountAsOne) {
  FILT_BicubicKernel kernel;
  FILT_DownSampleFactors factors;
  EXPECT_TRUE(factors.CalculateScaleFactors(&kernel, 10, 0));
  double sum = 0;
  for (unsigned i = 0; i < factors.Count(); ++i) {
    EXPECT_EQ(factors[i].output, 0);
    sum += factors[i].weight;
  }
  EXPECT_NEAR(sum, 1.0, 1e-6);
  EXPECT_TRUE(factors.CalculateScaleFactors(&kernel, 0, 0));
  ASSERT_EQ(factors.Count(), 1u);
  EXPECT_EQ(factors[0].weight, 1.0f);
}

TEST(FILT_DownSampler, HalvingARowMatchesTheKernelByHand) {
  // 4 -> 2 pixels: output 0 = 0.5 a + 0.439453125 b + 0.130859375 c - 0.0703125 d, output 1
  // mirrored; each rounded half up after clamping to 0..255.
  Geometry const g{1, 4, 1, 2, 1};
  EXPECT_EQ(ShrinkAtOnce(g, Image{0, 100, 200, 255}), (Image{52, 228}));
  EXPECT_EQ(ShrinkAtOnce(g, Image{255, 0, 0, 0}), (Image{128, 0}));  // 127.5 up; -17.9 clamped
  EXPECT_EQ(ShrinkAtOnce(g, Image{0, 0, 255, 0}), (Image{33, 112}));
}

TEST(FILT_DownSampler, HalvingAColumnMatchesTheKernelByHand) {
  Geometry const g{1, 1, 4, 1, 2};
  EXPECT_EQ(ShrinkAtOnce(g, Image{0, 100, 200, 255}), (Image{52, 228}));
}

TEST(FILT_DownSampler, UniformImagesStayUniform) {
  for (unsigned samples : {1u, 2u, 3u, 4u, 5u})
    for (unsigned char value : {0, 1, 127, 128, 254, 255}) {
      Geometry const g{samples, 37, 23, 11, 9};
      Image const out = ShrinkAtOnce(g, Image(samples * 37 * 23, value));
      for (unsigned char byte : out)
        ASSERT_EQ(byte, value) << samples << " samples, value " << int(value);
    }
}

TEST(FILT_DownSampler, HalvesTheThumbnailSize) {
  Geometry const g{4, 700, 350, 350, 175};
  FILT_DownSampler* sampler = MakeDownSampler(g);
  EXPECT_STREQ(sampler->Name(), "Decimation Filter");
  FILT_FilterPipe pipe;
  pipe.AddToTail(sampler);
  Image const out = ShrinkAtOnce(g, Pattern(g), pipe);
  EXPECT_EQ(out.size(), 175u * 1400u);
  EXPECT_EQ(sampler->GetOutputLines(), 175u);
  EXPECT_EQ(sampler->GetState(), FILT_DownSampler::kFinished);
}

TEST(FILT_DownSampler, ChunkedStreamingGivesTheSameBytes) {
  Geometry const cases[] = {
      {4, 700, 350, 350, 175}, {3, 101, 57, 40, 19}, {1, 351, 1000, 122, 350}};
  for (Geometry const& g : cases) {
    Image const input = Pattern(g);
    Image const whole = ShrinkAtOnce(g, input);
    EXPECT_EQ(ShrinkInChunks(g, input, 997, 313), whole) << g.inWidth << "x" << g.inHeight;
    EXPECT_EQ(ShrinkInChunks(g, input, 5, 7), whole) << g.inWidth << "x" << g.inHeight;
  }
}

TEST(FILT_DownSampler, TooFewLinesAtTheEndThrow) {
  FILT_DownSampler sampler;
  sampler.SetSamplesPerPixel(1);
  sampler.SetInputSize(8, 20);
  sampler.SetOutputSize(4, 10);
  sampler.SetKernel(new FILT_BicubicKernel);
  Image input(8 * 10, 50);
  Image output(40);
  FILT_FilterBuffer in(input.data(), 80, FILT_FilterBuffer::kCallerOwnsBuffer);
  FILT_FilterBuffer out(output.data(), 40, FILT_FilterBuffer::kCallerOwnsBuffer);
  in.AddBytes(80);
  in.SetDone(true);
  try {
    sampler.ProcessBytes(in, out);
    FAIL() << "no exception";
  } catch (GLIB_Exception const& e) {
    EXPECT_EQ(e.code(), 1130022u);
    EXPECT_EQ(e.NMessage(),
              "Insufficient data passed to downsampler. Expecting 20 lines, received 10");
  }
  EXPECT_EQ(sampler.GetState(), FILT_DownSampler::kRunning);
}

TEST(FILT_DownSampler, AnInputEndingInsideALineThrows) {
  Geometry const g{2, 8, 4, 4, 2};
  FILT_DownSampler* sampler = MakeDownSampler(g);
  FILT_FilterPipe pipe;
  pipe.AddToTail(sampler);
  Image input(2 * 8 * 3 + 5, 9);  // three lines and a bit
  Image output(16);
  FILT_FilterBuffer in(input.data(), static_cast<unsigned>(input.size()),
                       FILT_FilterBuffer::kCallerOwnsBuffer);
  FILT_FilterBuffer out(output.data(), 16, FILT_FilterBuffer::kCallerOwnsBuffer);
  in.AddBytes(static_cast<unsigned>(input.size()));
  in.SetDone(true);
  EXPECT_THROW(pipe.ProcessBytes(in, out), GLIB_Exception);
}

TEST(FILT_DownSampler, WaitsForMoreWhileTheInputIsNotDone) {
  Geometry const g{1, 8, 20, 4, 10};
  FILT_DownSampler* sampler = MakeDownSampler(g);
  Image input(8 * 10, 50);
  Image output(40);
  FILT_FilterBuffer in(input.data(), 80, FILT_FilterBuffer::kCallerOwnsBuffer);
  FILT_FilterBuffer out(output.data(), 40, FILT_FilterBuffer::kCallerOwnsBuffer);
  in.AddBytes(80);
  EXPECT_NO_THROW(sampler->ProcessBytes(in, out));
  EXPECT_EQ(sampler->GetInputLines(), 10u);
  EXPECT_FALSE(out.GetDoneFlag());
  delete sampler;
}

TEST(FILT_DownSampler, ACallAfterTheLastRowOnlyReportsTheEnd) {
  Geometry const g{1, 8, 4, 4, 2};
  FILT_DownSampler* sampler = MakeDownSampler(g);
  Image input(32, 77);
  Image output(8);
  FILT_FilterBuffer in(input.data(), 32, FILT_FilterBuffer::kCallerOwnsBuffer);
  FILT_FilterBuffer out(output.data(), 8, FILT_FilterBuffer::kCallerOwnsBuffer);
  in.AddBytes(32);
  sampler->ProcessBytes(in, out);
  EXPECT_TRUE(out.GetDoneFlag());

  FILT_FilterBuffer more(16u);
  more.AddBytes(16);
  FILT_FilterBuffer after(16u);
  sampler->ProcessBytes(more, after);
  EXPECT_TRUE(after.GetDoneFlag());
  EXPECT_EQ(after.DataSize(), 0u);
  EXPECT_EQ(more.DataSize(), 16u);
  delete sampler;
}

TEST(FILT_DownSampler, ALineSplitAtTheVeryEndIsDeliveredBeforeTheEnd) {
  // The last output line does not fit the output buffer: its rest must come with the call
  // that reports the end.
  Geometry const g{1, 8, 4, 4, 2};
  FILT_DownSampler* sampler = MakeDownSampler(g);
  Image input(32, 77);
  FILT_FilterBuffer in(input.data(), 32, FILT_FilterBuffer::kCallerOwnsBuffer);
  in.AddBytes(32);
  FILT_FilterBuffer out(6u);
  sampler->ProcessBytes(in, out);
  EXPECT_EQ(out.DataSize(), 6u);
  EXPECT_FALSE(out.GetDoneFlag());
  out.Empty();
  sampler->ProcessBytes(in, out);
  EXPECT_EQ(out.DataSize(), 2u);
  EXPECT_TRUE(out.GetDoneFlag());
  for (unsigned char const* p = out.GetReadPtr(); p != out.GetWritePtr(); ++p)
    EXPECT_EQ(*p, 77);
  delete sampler;
}

TEST(FILT_DownSampler, ZeroTargetSizesBecomeOne) {
  // A very narrow picture scaled to 350 lines has a width of 0 by truncation.
  struct Case {
    Geometry g;
    unsigned width, height;
  };
  for (Case const& c : {Case{{4, 1, 1000, 0, 350}, 1, 350}, Case{{4, 1000, 1, 350, 0}, 350, 1},
                        Case{{1, 3, 3, 0, 0}, 1, 1}}) {
    FILT_DownSampler* sampler = MakeDownSampler(c.g);
    FILT_FilterPipe pipe;
    pipe.AddToTail(sampler);
    Image const out = ShrinkAtOnce(c.g, Image(c.g.samples * c.g.inWidth * c.g.inHeight, 200), pipe);
    EXPECT_EQ(sampler->GetOutputWidth(), c.width);
    EXPECT_EQ(sampler->GetOutputHeight(), c.height);
    EXPECT_EQ(sampler->GetState(), FILT_DownSampler::kFinished);
    for (unsigned char byte : out)
      ASSERT_EQ(byte, 200);
  }
}

}  // namespace
