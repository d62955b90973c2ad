// PNG files for tests, written without a library: 8-bit RGBA, no filtering, stored (uncompressed)
// deflate blocks. Pixels are straight (not premultiplied) 0xAARRGGBB values, rows top first.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace testpng {

inline std::uint32_t Crc32(const std::string& bytes, std::size_t from) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc ^= static_cast<unsigned char>(bytes[i]);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void AppendBigEndian(std::string* out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

inline void AppendChunk(std::string* out, const char* type, const std::string& data) {
  AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out->size();
  *out += type;
  *out += data;
  AppendBigEndian(out, Crc32(*out, start));
}

// The PNG file of a width x height image.
inline std::string Encode(int width, int height, const std::vector<std::uint32_t>& argb) {
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = argb[static_cast<std::size_t>(y) * width + x];
      raw.push_back(static_cast<char>((p >> 16) & 0xFF));
      raw.push_back(static_cast<char>((p >> 8) & 0xFF));
      raw.push_back(static_cast<char>(p & 0xFF));
      raw.push_back(static_cast<char>((p >> 24) & 0xFF));
    }
  }
  std::string zlib = "\x78\x01";
  std::size_t at = 0;
  do {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
    zlib.push_back(at + length == raw.size() ? 1 : 0);
    zlib.push_back(static_cast<char>(length & 0xFF));
    zlib.push_back(static_cast<char>(length >> 8));
    zlib.push_back(static_cast<char>(~length & 0xFF));
    zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
    zlib.append(raw, at, length);
    at += length;
  } while (at < raw.size());
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  AppendBigEndian(&zlib, (b << 16) | a);

  std::string header;
  AppendBigEndian(&header, static_cast<std::uint32_t>(width));
  AppendBigEndian(&header, static_cast<std::uint32_t>(height));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, plain
  std::string png = "\x89PNG\r\n\x1a\n";
  AppendChunk(&png, "IHDR", header);
  AppendChunk(&png, "IDAT", zlib);
  AppendChunk(&png, "IEND", std::string());
  return png;
}

// One colour all over.
inline std::string Solid(int width, int height, std::uint32_t argb) {
  return Encode(width, height,
                std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, argb));
}

}  // namespace testpng
