#include "IMPN/IMPN_ThumbnailImage.h"

#include "FILT/FILT_DecimKernel.h"
#include "FILT/FILT_DownSampler.h"
#include "FILT/FILT_FilterBuffer.h"
#include "FILT/FILT_FilterPipe.h"
#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"

#include <algorithm>
#include <cstring>
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

void IMPN_ThumbnailImage::ClearTile() {
  delete[] m_BitMap.pixels;
  m_BitMap = IMPN_BitMap();
}

void IMPN_ThumbnailImage::TakePixels(std::uint8_t* pixels) {
  delete[] m_BitMap.pixels;
  m_BitMap.pixels = pixels;
  m_BitMap.rowBytes = static_cast<std::uint16_t>(m_Width * kBytesPerPixel);
  m_BitMap.timeStamp = IMPN_Registry::GetNewTimeStamp();
  m_BitMap.rect = IMPN_RectT<long>(0, 0, m_Width, m_Length);
  m_BitMap.kind = kIMPN_BitMap32;
  m_BitMap.palette = nullptr;
}

void IMPN_ThumbnailImage::GenerateThumbnailImage(bool visibleOnly) {
  ClearTile();
  m_Width = m_Length = 0;
  if (m_Separations.empty())
    return;
  IMPN_Separation& first = *m_Separations.front();
  long tileWidth = 0;
  long tileLength = 0;
  first.GetThumbnailDimensions(m_Width, m_Length, tileWidth, tileLength);
  m_Scale = static_cast<double>(first.GetThumbnailScale());
  // Row bytes are 16 bits wide.
  if (m_Width <= 0 || m_Length <= 0 || m_Width * kBytesPerPixel > 0xFFFF) {
    m_Width = m_Length = 0;
    return;
  }

  long const count = m_Width * m_Length;
  std::uint8_t* pixels = new std::uint8_t[static_cast<size_t>(count * kBytesPerPixel)];
  std::uint8_t* p = pixels;
  for (long i = 0; i < count; ++i, p += kBytesPerPixel) {
    std::memcpy(p, &m_SurfaceColor, 3);
    p[3] = 0;
  }
  TakePixels(pixels);

  for (IMPN_Separation* separation : m_Separations)
    if (!visibleOnly || separation->IsVisible())
      BlendSeparation(*separation);
  AdjustImageSize();
}

void IMPN_ThumbnailImage::BlendSeparation(IMPN_Separation& separation) {
  IMPN_BitMap grey;
  long width = 0;
  long length = 0;
  if (separation.GetThumbnail(grey, width, length) < 0 || !grey.pixels) {
    delete[] grey.pixels;
    return;
  }
  // The file ink at the opacity of each grey value, over paper, once per value.
  IMPN_Ink ink(separation.GetFileInk());
  IMPN_RGBColor8 inkOverPaper[256];
  for (int g = 0; g < 256; ++g) {
    ink.SetOpacity(static_cast<long>(g / 2.55));
    ink.GetColor(inkOverPaper[g]);
  }
  // A thumbnail of another size than the first covers only its own part of the picture.
  long const columns = std::min(width, m_Width);
  long const rows = std::min(length, m_Length);
  for (long y = 0; y < rows; ++y) {
    std::uint8_t const* in = grey.pixels + y * grey.rowBytes;
    std::uint8_t* out = m_BitMap.pixels + y * m_BitMap.rowBytes;
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
  delete[] grey.pixels;
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

  unsigned const oldBytes = static_cast<unsigned>(m_Width * m_Length * kBytesPerPixel);
  unsigned const newBytes = static_cast<unsigned>(newWidth * newLength * kBytesPerPixel);
  std::uint8_t* pixels = new std::uint8_t[newBytes];
  try {
    FILT_FilterBuffer input(m_BitMap.pixels, oldBytes, FILT_FilterBuffer::kCallerOwnsBuffer);
    FILT_FilterBuffer output(pixels, newBytes, FILT_FilterBuffer::kCallerOwnsBuffer);
    FILT_FilterPipe pipe(FILT_FilterPipe::DEFAULT_BUFFER_SIZE);
    std::unique_ptr<FILT_DownSampler> sampler(new FILT_DownSampler);
    sampler->SetSamplesPerPixel(kBytesPerPixel);
    sampler->SetInputSize(static_cast<unsigned>(m_Width), static_cast<unsigned>(m_Length));
    sampler->SetOutputSize(static_cast<unsigned>(newWidth), static_cast<unsigned>(newLength));
    sampler->SetKernel(new FILT_BicubicKernel);
    pipe.AddToTail(sampler.release());
    input.Empty();
    input.AddBytes(oldBytes);
    pipe.ProcessBytes(input, output);
  } catch (...) {
    // The full-size picture is still good to show.
    delete[] pixels;
    return;
  }
  m_Scale = double(std::max(m_Width, m_Length)) * m_Scale / kMaxSide;
  m_Width = newWidth;
  m_Length = newLength;
  TakePixels(pixels);
}
