// Colour spaces, data providers and images of the Mac stand-in (see CoreGraphics/CGImage.h).
#include "iStandInCG.h"

#include "../Files/iStandInFiles.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

class StandIn_CGColorSpaceImpl final : public StandIn_CGColorSpace {
public:
  StandIn_CGColorSpaceImpl(CGColorSpaceModel model, std::vector<UInt8> table)
      : StandIn_CGColorSpace(TypeId()),
        m_Model(model),
        m_Table(std::move(table)) {}
  static CFTypeID TypeId() {
    static const CFTypeID id = StandIn_CFRegisterType();
    return id;
  }
  CGColorSpaceModel m_Model;
  std::vector<UInt8> m_Table;  // indexed spaces: RGB triples
};

class StandIn_CGDataProviderImpl final : public StandIn_CGDataProvider {
public:
  StandIn_CGDataProviderImpl(const UInt8* data, std::size_t size, void* info,
                             CGDataProviderReleaseDataCallback release)
      : StandIn_CGDataProvider(TypeId()),
        m_Data(data),
        m_Size(size),
        m_Info(info),
        m_Release(release) {}
  explicit StandIn_CGDataProviderImpl(std::vector<UInt8> bytes)
      : StandIn_CGDataProvider(TypeId()),
        m_Owned(std::move(bytes)) {
    m_Data = m_Owned.data();
    m_Size = m_Owned.size();
  }
  ~StandIn_CGDataProviderImpl() override {
    if (m_Release)
      m_Release(m_Info, m_Data, m_Size);
  }
  static CFTypeID TypeId() {
    static const CFTypeID id = StandIn_CFRegisterType();
    return id;
  }
  const UInt8* m_Data = nullptr;
  std::size_t m_Size = 0;
  void* m_Info = nullptr;
  CGDataProviderReleaseDataCallback m_Release = nullptr;
  std::vector<UInt8> m_Owned;
};

class StandIn_CGImageImpl final : public StandIn_CGImage {
public:
  explicit StandIn_CGImageImpl(standin_cg::SurfacePtr surface)
      : StandIn_CGImage(TypeId()),
        m_Surface(std::move(surface)) {}
  static CFTypeID TypeId() {
    static const CFTypeID id = StandIn_CFRegisterType();
    return id;
  }
  standin_cg::SurfacePtr m_Surface;
};

namespace {

StandIn_CGColorSpaceImpl* Of(CGColorSpaceRef space) {
  return static_cast<StandIn_CGColorSpaceImpl*>(space);
}
StandIn_CGDataProviderImpl* Of(CGDataProviderRef provider) {
  return static_cast<StandIn_CGDataProviderImpl*>(provider);
}
StandIn_CGImageImpl* Of(CGImageRef image) {
  return static_cast<StandIn_CGImageImpl*>(image);
}

bool Failing(const char* function) {
  return standin_files::EnterCall(function) != noErr;
}

template <class T>
T* Retained(T* object) {
  if (object)
    CFRetain(object);
  return object;
}

void ReleaseIfAny(CFTypeRef object) {
  if (object)
    CFRelease(object);
}

// An ARGB32 surface of the size; null when cairo cannot make one.
standin_cg::SurfacePtr NewSurface(std::size_t width, std::size_t height) {
  if (width == 0 || height == 0 || width > 32767 || height > 32767)
    return nullptr;
  standin_cg::SurfacePtr surface(cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height)));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    return nullptr;
  return surface;
}

UInt8 Premultiply(UInt8 component, UInt8 alpha) {
  return static_cast<UInt8>((component * alpha + 127) / 255);
}

struct PngReader {
  const UInt8* data;
  std::size_t size;
  std::size_t at;
};

cairo_status_t ReadPng(void* closure, unsigned char* buffer, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (reader->size - reader->at < length)
    return CAIRO_STATUS_READ_ERROR;
  std::memcpy(buffer, reader->data + reader->at, length);
  reader->at += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

namespace standin_cg {

bool LayoutOf(CGColorSpaceModel model, CGBitmapInfo info, std::size_t bitsPerPixel,
              PixelLayout* layout) {
  const UInt32 alpha = info & kCGBitmapAlphaInfoMask;
  const UInt32 order = info & kCGBitmapByteOrderMask;
  PixelLayout out;
  if (model == kCGColorSpaceModelMonochrome) {
    if (alpha != kCGImageAlphaNone || bitsPerPixel != 8)
      return false;
    out.bytesPerPixel = 1;
    out.grey = 0;
    *layout = out;
    return true;
  }
  if (model != kCGColorSpaceModelRGB)
    return false;
  if (alpha == kCGImageAlphaNone) {
    if (bitsPerPixel != 24 || order != kCGBitmapByteOrderDefault)
      return false;
    out.bytesPerPixel = 3;
    out.red = 0, out.green = 1, out.blue = 2;
    *layout = out;
    return true;
  }
  if (bitsPerPixel != 32 || alpha == kCGImageAlphaOnly)
    return false;
  if (order != kCGBitmapByteOrderDefault && order != kCGBitmapByteOrder32Big &&
      order != kCGBitmapByteOrder32Little)
    return false;
  const bool first = alpha == kCGImageAlphaPremultipliedFirst || alpha == kCGImageAlphaFirst ||
                     alpha == kCGImageAlphaNoneSkipFirst;
  // Big-endian positions; a 32-bit little-endian word mirrors them.
  int a = first ? 0 : 3;
  int r = first ? 1 : 0;
  int g = r + 1;
  int b = r + 2;
  if (order == kCGBitmapByteOrder32Little)
    a = 3 - a, r = 3 - r, g = 3 - g, b = 3 - b;
  out.red = r, out.green = g, out.blue = b;
  const bool skipped = alpha == kCGImageAlphaNoneSkipFirst || alpha == kCGImageAlphaNoneSkipLast;
  out.alpha = skipped ? -1 : a;
  out.premultiplied =
      alpha == kCGImageAlphaPremultipliedFirst || alpha == kCGImageAlphaPremultipliedLast;
  *layout = out;
  return true;
}

UInt32 ReadPixel(const UInt8* pixel, const PixelLayout& layout) {
  UInt8 r, g, b;
  if (layout.grey >= 0) {
    r = g = b = pixel[layout.grey];
  } else {
    r = pixel[layout.red], g = pixel[layout.green], b = pixel[layout.blue];
  }
  UInt8 a = layout.HasAlpha() ? pixel[layout.alpha] : 255;
  if (!layout.premultiplied)
    r = Premultiply(r, a), g = Premultiply(g, a), b = Premultiply(b, a);
  return UInt32(a) << 24 | UInt32(r) << 16 | UInt32(g) << 8 | b;
}

void WritePixel(UInt32 argb, UInt8* pixel, const PixelLayout& layout) {
  UInt8 a = static_cast<UInt8>(argb >> 24);
  UInt8 r = static_cast<UInt8>(argb >> 16);
  UInt8 g = static_cast<UInt8>(argb >> 8);
  UInt8 b = static_cast<UInt8>(argb);
  if (!layout.premultiplied && a != 0 && a != 255) {
    r = static_cast<UInt8>(std::min(255, (r * 255 + a / 2) / a));
    g = static_cast<UInt8>(std::min(255, (g * 255 + a / 2) / a));
    b = static_cast<UInt8>(std::min(255, (b * 255 + a / 2) / a));
  }
  if (layout.grey >= 0) {
    pixel[layout.grey] = static_cast<UInt8>((299 * r + 587 * g + 114 * b + 500) / 1000);
    return;
  }
  pixel[layout.red] = r, pixel[layout.green] = g, pixel[layout.blue] = b;
  if (layout.HasAlpha())
    pixel[layout.alpha] = a;  // a skipped byte keeps what it held
}

cairo_surface_t* SurfaceOf(CGImageRef image) {
  return image ? Of(image)->m_Surface.get() : nullptr;
}

CGImageRef NewImageFromSurface(cairo_surface_t* source) {
  cairo_surface_flush(source);
  const int width = cairo_image_surface_get_width(source);
  const int height = cairo_image_surface_get_height(source);
  SurfacePtr copy = NewSurface(static_cast<std::size_t>(width), static_cast<std::size_t>(height));
  if (!copy)
    return nullptr;
  CairoPtr cr(cairo_create(copy.get()));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr.get(), source, 0, 0);
  cairo_paint(cr.get());
  cr.reset();
  cairo_surface_flush(copy.get());
  return new StandIn_CGImageImpl(std::move(copy));
}

}  // namespace standin_cg

CGColorSpaceRef CGColorSpaceCreateDeviceRGB(void) {
  if (Failing("CGColorSpaceCreateDeviceRGB"))
    return nullptr;
  return new StandIn_CGColorSpaceImpl(kCGColorSpaceModelRGB, {});
}

CGColorSpaceRef CGColorSpaceCreateDeviceGray(void) {
  if (Failing("CGColorSpaceCreateDeviceGray"))
    return nullptr;
  return new StandIn_CGColorSpaceImpl(kCGColorSpaceModelMonochrome, {});
}

CGColorSpaceRef CGColorSpaceCreateIndexed(CGColorSpaceRef baseSpace, std::size_t lastIndex,
                                          const unsigned char* colorTable) {
  if (Failing("CGColorSpaceCreateIndexed") || baseSpace == nullptr || colorTable == nullptr ||
      lastIndex > 255 || Of(baseSpace)->m_Model == kCGColorSpaceModelIndexed)
    return nullptr;
  const std::size_t components = CGColorSpaceGetNumberOfComponents(baseSpace);
  std::vector<UInt8> table;
  for (std::size_t i = 0; i <= lastIndex; ++i) {
    const unsigned char* entry = colorTable + i * components;
    for (int channel = 0; channel < 3; ++channel)
      table.push_back(entry[components == 3 ? channel : 0]);
  }
  return new StandIn_CGColorSpaceImpl(kCGColorSpaceModelIndexed, std::move(table));
}

CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space) {
  return Retained(space);
}

void CGColorSpaceRelease(CGColorSpaceRef space) {
  ReleaseIfAny(space);
}

CGColorSpaceModel CGColorSpaceGetModel(CGColorSpaceRef space) {
  return space ? Of(space)->m_Model : kCGColorSpaceModelUnknown;
}

std::size_t CGColorSpaceGetNumberOfComponents(CGColorSpaceRef space) {
  return space && Of(space)->m_Model == kCGColorSpaceModelRGB ? 3 : 1;
}

CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, std::size_t size,
                                               CGDataProviderReleaseDataCallback releaseData) {
  if (Failing("CGDataProviderCreateWithData"))
    return nullptr;
  return new StandIn_CGDataProviderImpl(static_cast<const UInt8*>(data), size, info, releaseData);
}

CGDataProviderRef CGDataProviderCreateWithURL(CFURLRef url) {
  if (Failing("CGDataProviderCreateWithURL") || url == nullptr)
    return nullptr;
  char path[4096];
  if (!CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof path))
    return nullptr;
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return nullptr;
  std::vector<UInt8> bytes((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
  if (file.bad())
    return nullptr;
  return new StandIn_CGDataProviderImpl(std::move(bytes));
}

CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider) {
  return Retained(provider);
}

void CGDataProviderRelease(CGDataProviderRef provider) {
  ReleaseIfAny(provider);
}

CGImageRef CGImageCreate(std::size_t width, std::size_t height, std::size_t bitsPerComponent,
                         std::size_t bitsPerPixel, std::size_t bytesPerRow, CGColorSpaceRef space,
                         CGBitmapInfo bitmapInfo, CGDataProviderRef provider, const CGFloat*, bool,
                         CGColorRenderingIntent) {
  if (Failing("CGImageCreate") || provider == nullptr || space == nullptr || bitsPerComponent != 8)
    return nullptr;
  const bool indexed = Of(space)->m_Model == kCGColorSpaceModelIndexed;
  standin_cg::PixelLayout layout;
  if (indexed) {
    if (bitsPerPixel != 8 || (bitmapInfo & kCGBitmapAlphaInfoMask) != kCGImageAlphaNone)
      return nullptr;
    layout.bytesPerPixel = 1;
  } else if (!standin_cg::LayoutOf(Of(space)->m_Model, bitmapInfo, bitsPerPixel, &layout)) {
    return nullptr;
  }
  const std::uint64_t rowBytes = std::uint64_t(width) * std::uint64_t(layout.bytesPerPixel);
  if (bytesPerRow < rowBytes || height == 0 ||
      std::uint64_t(bytesPerRow) * (height - 1) + rowBytes > Of(provider)->m_Size)
    return nullptr;
  standin_cg::SurfacePtr surface = NewSurface(width, height);
  if (!surface)
    return nullptr;
  UInt8* pixels = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (std::size_t y = 0; y < height; ++y) {
    const UInt8* row = Of(provider)->m_Data + bytesPerRow * y;
    auto* out = reinterpret_cast<UInt32*>(pixels + std::int64_t(stride) * std::int64_t(y));
    for (std::size_t x = 0; x < width; ++x) {
      if (indexed) {
        const std::size_t index = row[x];
        const std::size_t entries = Of(space)->m_Table.size() / 3;
        const UInt8* rgb = &Of(space)->m_Table[3 * (index < entries ? index : entries - 1)];
        out[x] = 0xFF000000u | UInt32(rgb[0]) << 16 | UInt32(rgb[1]) << 8 | rgb[2];
      } else {
        out[x] = standin_cg::ReadPixel(row + x * std::size_t(layout.bytesPerPixel), layout);
      }
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return new StandIn_CGImageImpl(std::move(surface));
}

CGImageRef CGImageCreateWithPNGDataProvider(CGDataProviderRef source, const CGFloat*, bool,
                                            CGColorRenderingIntent) {
  if (Failing("CGImageCreateWithPNGDataProvider") || source == nullptr)
    return nullptr;
  PngReader reader{Of(source)->m_Data, Of(source)->m_Size, 0};
  standin_cg::SurfacePtr png(cairo_image_surface_create_from_png_stream(ReadPng, &reader));
  if (cairo_surface_status(png.get()) != CAIRO_STATUS_SUCCESS)
    return nullptr;
  if (cairo_image_surface_get_format(png.get()) == CAIRO_FORMAT_ARGB32)
    return new StandIn_CGImageImpl(std::move(png));
  return standin_cg::NewImageFromSurface(png.get());  // to ARGB32
}

CGImageRef CGImageRetain(CGImageRef image) {
  return Retained(image);
}

void CGImageRelease(CGImageRef image) {
  ReleaseIfAny(image);
}

std::size_t CGImageGetWidth(CGImageRef image) {
  return image ? static_cast<std::size_t>(cairo_image_surface_get_width(Of(image)->m_Surface.get()))
               : 0;
}

std::size_t CGImageGetHeight(CGImageRef image) {
  return image
             ? static_cast<std::size_t>(cairo_image_surface_get_height(Of(image)->m_Surface.get()))
             : 0;
}

UInt32 StandIn_CGImagePixel(CGImageRef image, std::size_t x, std::size_t y) {
  if (image == nullptr || x >= CGImageGetWidth(image) || y >= CGImageGetHeight(image))
    return 0;
  cairo_surface_t* surface = Of(image)->m_Surface.get();
  cairo_surface_flush(surface);
  const UInt8* row = cairo_image_surface_get_data(surface) +
                     std::int64_t(cairo_image_surface_get_stride(surface)) * std::int64_t(y);
  return reinterpret_cast<const UInt32*>(row)[x];
}
