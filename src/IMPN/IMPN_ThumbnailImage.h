#pragma once
#include "IMPN/IMPN_BitMap.h"
#include "IMPN/IMPN_Color.h"

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

  // With visibleOnly, hidden separations are left out.
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

  void BlendSeparation(IMPN_Separation& separation);
  void TakePixels(std::uint8_t* pixels);

  long m_Width;
  long m_Length;
  IMPN_BitMap m_BitMap;
  double m_Scale;
  IMPN_RGBColor8& m_SurfaceColor;
  std::vector<IMPN_Separation*>& m_Separations;
};
