#include "IMPN/IMPN_ThumbnailImage.h"

#include "FILT/FILT_DecimKernel.h"
#include "FILT/FILT_DownSampler.h"
#include "FILT/FILT_FilterBuffer.h"
#include "FILT/FILT_FilterPipe.h"
#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "GLIB/GLIB_New.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace {
long const kBytesPerPixel = 4;
}  // namespace

IMPN_ThumbnailImage::IMPN_ThumbnailImage(std::vector<IMPN_Separation*>& separations,
                                         IMPN_RGBColor8& surfaceColour)
    : m_Width(0),
      m_Length(0),
      m_BitMap(),
      m_Scale(0),
      m_SurfaceColor(surfaceColour),
      m_Separations(separations) {
  GenerateThumbnailImage(false);
}

IMPN_ThumbnailImage::~IMPN_ThumbnailImage() {
  ClearTile();
}

void IMPN_ThumbnailImage::FreePixels::operator()(std::uint8_t* pixels) const noexcept {
  ::operator delete(pixels);
}

IMPN_ThumbnailImage::Pixels IMPN_ThumbnailImage::NewPixels(std::size_t bytes) {
  return Pixels(static_cast<std::uint8_t*>(operator new(bytes, __LINE__, __FILE__)));
}

void IMPN_ThumbnailImage::ClearTile() {
  m_Pixels.reset();
  m_BitMap = IMPN_BitMap();
}

void IMPN_ThumbnailImage::TakePixels(Pixels pixels) {
  m_Pixels = std::move(pixels);
  m_BitMap.pixels = m_Pixels.get();
  m_BitMap.rowBytes = static_cast<std::uint16_t>(m_Width * kBytesPerPixel);
  m_BitMap.timeStamp = IMPN_Registry::GetNewTimeStamp();
  m_BitMap.rect = IMPN_RectT<long>(0, 0, m_Width, m_Length);
  m_BitMap.kind = kIMPN_BitMap32;
  m_BitMap.palette = nullptr;
}

void IMPN_ThumbnailImage::GenerateThumbnailImage(bool visibleOnly) {
  if (m_Separations.empty()) {
    ClearTile();
    m_Width = m_Length = 0;
    return;
  }
  IMPN_Separation& first = *m_Separations.front();
  long width = 0;
  long length = 0;
  long tileWidth = 0;
  long tileLength = 0;
  first.GetThumbnailDimensions(width, length, tileWidth, tileLength);
  double const scale = static_cast<double>(first.GetThumbnailScale());
  // Row bytes are 16 bits wide.
  if (width <= 0 || length <= 0 || std::int64_t{width} * kBytesPerPixel > 0xFFFF) {
    ClearTile();
    m_Width = m_Length = 0;
    m_Scale = scale;
    return;
  }

  std::size_t const count = static_cast<std::size_t>(width) * static_cast<std::size_t>(length);
  Pixels pixels = NewPixels(count * kBytesPerPixel);
  std::uint8_t* p = pixels.get();
  for (std::size_t i = 0; i < count; ++i, p += kBytesPerPixel) {
    std::memcpy(p, &m_SurfaceColor, 3);
    p[3] = 0;
  }
  for (IMPN_Separation* separation : m_Separations)
    if (!visibleOnly || separation->IsVisible())
      BlendSeparation(*separation, pixels.get(), width, length);
  m_Width = width;
  m_Length = length;
  m_Scale = scale;
  TakePixels(std::move(pixels));
  AdjustImageSize();
}

void IMPN_ThumbnailImage::BlendSeparation(IMPN_Separation& separation, std::uint8_t* picture,
                                          long width, long length) {
  IMPN_BitMap grey;
  long greyWidth = 0;
  long greyLength = 0;
  long const read = separation.GetThumbnail(grey, greyWidth, greyLength);
  std::unique_ptr<std::uint8_t[]> const greyPixels(grey.pixels);
  if (read < 0 || !grey.pixels)
    return;
  // The file ink at the opacity of each grey value, over paper, once per value.
  IMPN_Ink ink(separation.GetFileInk());
  IMPN_RGBColor8 inkOverPaper[256];
  for (int g = 0; g < 256; ++g) {
    ink.SetOpacity(static_cast<long>(g / 2.55));
    ink.GetColor(inkOverPaper[g]);
  }
  // A thumbnail of another size than the first covers only its own part of the picture.
  long const columns = std::min(greyWidth, width);
  long const rows = std::min(greyLength, length);
  std::size_t const rowBytes = static_cast<std::size_t>(width) * kBytesPerPixel;
  for (long y = 0; y < rows; ++y) {
    std::uint8_t const* in = grey.pixels + static_cast<std::size_t>(y) * grey.rowBytes;
    std::uint8_t* out = picture + static_cast<std::size_t>(y) * rowBytes;
    for (long x = 0; x < columns; ++x, out += kBytesPerPixel) {
      IMPN_RGBColor8 const& g = inkOverPaper[in[x]];
      IMPN_RGBColor8 below;
      std::memcpy(&below, out, 3);
      below.red = static_cast<std::uint8_t>((unsigned(g.red) * (below.red + 1u)) >> 8);
      below.green = static_cast<std::uint8_t>((unsigned(g.green) * (below.green + 1u)) >> 8);
      below.blue = static_cast<std::uint8_t>((unsigned(g.blue) * (below.blue + 1u)) >> 8);
      std::memcpy(out, &below, 3);
    }
  }
}

void IMPN_ThumbnailImage::AdjustImageSize() {
  if (m_Width <= kMaxSide && m_Length <= kMaxSide)
    return;
  if (!m_BitMap.pixels)
    return;
  double const ratio = double(m_Width) / double(m_Length);
  long newWidth = kMaxSide;
  long newLength = kMaxSide;
  if (m_Width <= m_Length)
    newWidth = static_cast<long>(ratio * kMaxSide);
  else
    newLength = static_cast<long>(kMaxSide / ratio);
  // A very narrow picture still keeps one pixel across.
  newWidth = std::max(newWidth, 1L);
  newLength = std::max(newLength, 1L);

  // The filter buffers count bytes in 32 bits.
  std::uint64_t const oldBytes =
      static_cast<std::uint64_t>(m_Width) * static_cast<std::uint64_t>(m_Length) * kBytesPerPixel;
  std::uint64_t const newBytes =
      static_cast<std::uint64_t>(newWidth) * static_cast<std::uint64_t>(newLength) * kBytesPerPixel;
  if (oldBytes > std::numeric_limits<unsigned>::max())
    return;
  Pixels pixels;
  try {
    pixels = NewPixels(static_cast<std::size_t>(newBytes));
    FILT_FilterBuffer input(m_BitMap.pixels, static_cast<unsigned>(oldBytes),
                            FILT_FilterBuffer::kCallerOwnsBuffer);
    FILT_FilterBuffer output(pixels.get(), static_cast<unsigned>(newBytes),
                             FILT_FilterBuffer::kCallerOwnsBuffer);
    FILT_FilterPipe pipe(FILT_FilterPipe::DEFAULT_BUFFER_SIZE);
    std::unique_ptr<FILT_DownSampler> sampler(new FILT_DownSampler);
    sampler->SetSamplesPerPixel(kBytesPerPixel);
    sampler->SetInputSize(static_cast<unsigned>(m_Width), static_cast<unsigned>(m_Length));
    sampler->SetOutputSize(static_cast<unsigned>(newWidth), static_cast<unsigned>(newLength));
    sampler->SetKernel(new FILT_BicubicKernel);
    pipe.AddToTail(sampler.release());
    input.Empty();
    input.AddBytes(static_cast<unsigned>(oldBytes));
    pipe.ProcessBytes(input, output);
  } catch (...) {
    // The full-size picture is still good to show.
    return;
  }
  m_Scale = double(std::max(m_Width, m_Length)) * m_Scale / kMaxSide;
  m_Width = newWidth;
  m_Length = newLength;
  TakePixels(std::move(pixels));
}
