// Holder of one CGImage (null when empty), released when replaced or destroyed; loads PNG images
// from the application bundle.
#pragma once

#include <CoreGraphics/CoreGraphics.h>

class UMAC_CGImage {
public:
  UMAC_CGImage() = default;
  // Takes over the reference without retaining it.
  explicit UMAC_CGImage(CGImageRef image) : m_Image(image) {}
  ~UMAC_CGImage();
  UMAC_CGImage(const UMAC_CGImage&) = delete;
  UMAC_CGImage& operator=(const UMAC_CGImage&) = delete;

  CGImageRef Get() const { return m_Image; }
  operator CGImageRef() const { return m_Image; }
  bool IsNull() const { return m_Image == nullptr; }

  // Holds the image and retains it.
  void Retain(CGImageRef image);
  // Holds the image without retaining it.
  void Reset(CGImageRef image);
  // Releases the held image and becomes empty.
  void Release();

  size_t GetWidth() const;
  size_t GetHeight() const;

  // The named PNG resource of the main bundle (the name with its extension); empty when it is
  // missing or cannot be read.
  void LoadPNGFromBundle(CFStringRef name);

private:
  CGImageRef m_Image = nullptr;
};
