#pragma once
#include "IMPN/IMPN_BitMap.h"
#include "IMPN/IMPN_Color.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class IMPN_Separation;

// The small picture of a whole surface for the navigation palette: the separations' stored
// thumbnails laid over the surface colour, shrunk to at most 350 pixels on a side.
class IMPN_ThumbnailImage {
public:
  enum {
    kMaxSide = 350
  };

  // Keeps both references; the vector holds at least one separation. Builds the picture.
  IMPN_ThumbnailImage(std::vector<IMPN_Separation*>& separations, IMPN_RGBColor8& surfaceColour);
  ~IMPN_ThumbnailImage();

  // With visibleOnly, hidden separations are left out. The picture is built whole before it
  // replaces the old one: when memory runs out the old picture stays, and the failure is thrown.
  void GenerateThumbnailImage(bool visibleOnly);
  // Shrinks the picture to at most 350 pixels on its longer side; a failure keeps it as is.
  void AdjustImageSize();
  void ClearTile();

  IMPN_BitMap const& GetBitMap() const { return m_BitMap; }
  long GetWidth() const { return m_Width; }
  long GetLength() const { return m_Length; }
  // Full-resolution pixels per thumbnail pixel.
  double GetScale() const { return m_Scale; }

private:
  IMPN_ThumbnailImage(IMPN_ThumbnailImage const&) = delete;
  IMPN_ThumbnailImage& operator=(IMPN_ThumbnailImage const&) = delete;

  // Pixels from the line-tagged allocation, so that a test can make any of them fail.
  struct FreePixels {
    void operator()(std::uint8_t* pixels) const noexcept;
  };
  using Pixels = std::unique_ptr<std::uint8_t[], FreePixels>;
  static Pixels NewPixels(std::size_t bytes);

  // Lays the separation's thumbnail over a picture of width x length pixels.
  static void BlendSeparation(IMPN_Separation& separation, std::uint8_t* picture, long width,
                              long length);
  // The bitmap shows pixels, a picture of the current size, from now on.
  void TakePixels(Pixels pixels);

  long m_Width;
  long m_Length;
  Pixels m_Pixels;  // what m_BitMap shows
  IMPN_BitMap m_BitMap;
  double m_Scale;
  IMPN_RGBColor8& m_SurfaceColor;
  std::vector<IMPN_Separation*>& m_Separations;
};
