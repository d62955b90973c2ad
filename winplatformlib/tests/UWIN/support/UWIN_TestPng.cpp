#include "support/UWIN_TestPng.h"

#include <cstddef>
#include <string>

namespace {

std::uint32_t Crc32(std::uint8_t const* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return crc ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(std::vector<std::uint8_t> const& data) {
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string const& type,
              std::vector<std::uint8_t> const& body) {
  PutBig32(out, static_cast<std::uint32_t>(body.size()));
  std::vector<std::uint8_t> typed(type.begin(), type.end());
  typed.insert(typed.end(), body.begin(), body.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBig32(out, Crc32(typed.data(), typed.size()));
}

}  // namespace

std::vector<std::uint8_t> UWIN_MakeTestPng(int width, int height,
                                           std::vector<UWIN_TestRgb> const& pixels) {
  std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

  std::vector<std::uint8_t> header;
  PutBig32(header, static_cast<std::uint32_t>(width));
  PutBig32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  PutChunk(out, "IHDR", header);

  std::vector<std::uint8_t> raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) {
      UWIN_TestRgb const& p = pixels[static_cast<std::size_t>(y) * width + x];
      raw.insert(raw.end(), {p.red, p.green, p.blue});
    }
  }
  // One stored deflate block: the test images stay far below 65535 bytes.
  std::vector<std::uint8_t> zlib{0x78, 0x01, 0x01};
  auto const length = static_cast<std::uint16_t>(raw.size());
  zlib.insert(zlib.end(),
              {static_cast<std::uint8_t>(length & 0xFF), static_cast<std::uint8_t>(length >> 8),
               static_cast<std::uint8_t>(~length & 0xFF),
               static_cast<std::uint8_t>((~length >> 8) & 0xFF)});
  zlib.insert(zlib.end(), raw.begin(), raw.end());
  PutBig32(zlib, Adler32(raw));
  PutChunk(out, "IDAT", zlib);
  PutChunk(out, "IEND", {});
  return out;
}
