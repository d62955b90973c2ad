#include "UMAC/UMAC_CGImage.h"

#include <CoreFoundation/CFBundle.h>

UMAC_CGImage::~UMAC_CGImage() {
  Release();
}

void UMAC_CGImage::Retain(CGImageRef image) {
  if (image)
    CGImageRetain(image);  // before the release: the image may be the one held
  Reset(image);
}

void UMAC_CGImage::Reset(CGImageRef image) {
  CGImageRef old = m_Image;
  m_Image = image;
  if (old)
    CGImageRelease(old);
}

void UMAC_CGImage::Release() {
  Reset(nullptr);
}

size_t UMAC_CGImage::GetWidth() const {
  return m_Image ? CGImageGetWidth(m_Image) : 0;
}

size_t UMAC_CGImage::GetHeight() const {
  return m_Image ? CGImageGetHeight(m_Image) : 0;
}

void UMAC_CGImage::LoadPNGFromBundle(CFStringRef name) {
  CFURLRef url = CFBundleCopyResourceURL(CFBundleGetMainBundle(), name, nullptr, nullptr);
  if (url == nullptr) {
    Release();
    return;
  }
  CGImageRef image = nullptr;
  if (CGDataProviderRef provider = CGDataProviderCreateWithURL(url)) {
    image = CGImageCreateWithPNGDataProvider(provider, nullptr, true, kCGRenderingIntentDefault);
    CGDataProviderRelease(provider);
  }
  CFRelease(url);
  Reset(image);
}
