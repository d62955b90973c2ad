// Numbers of the standard TIFF tags that preview files carry, for the reader and the job model.
#pragma once

#include <cstdint>

enum : std::uint32_t {
  kTIFX_TagNewSubfileType = 254,
  kTIFX_TagImageWidth = 256,
  kTIFX_TagImageLength = 257,
  kTIFX_TagBitsPerSample = 258,
  kTIFX_TagCompression = 259,
  kTIFX_TagPhotometric = 262,
  kTIFX_TagOrientation = 274,
  kTIFX_TagXResolution = 282,
  kTIFX_TagYResolution = 283,
  kTIFX_TagPlanarConfig = 284,
  kTIFX_TagResolutionUnit = 296,
  kTIFX_TagTileWidth = 322,
  kTIFX_TagTileLength = 323,
  kTIFX_TagInkNames = 333
};
