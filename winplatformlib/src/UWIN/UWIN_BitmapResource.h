#pragma once
// A shared GDI+ bitmap loaded from a file or from a resource of a module (the splash and about
// images are resources of type "PNG"). Copies share one bitmap; the last one deletes it. Nothing
// here throws for a file or resource that cannot be read: the load reports false, and the file
// constructor holds a bitmap whose size reads 0. Call GdiplusStartup before loading.

#include "TMPL/TMPL_ReferenceCountPointer.h"
#include "UWIN/UWIN_GlobalMemory.h"

#include <windows.h>
// gdiplus.h needs the COM stream declarations that the lean windows.h leaves out.
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

// A bitmap together with the memory its stream reads from: GDI+ may read the stream for as long
// as the bitmap lives, so the memory goes with the bitmap, never before it.
class UWIN_BackedBitmap {
public:
  UWIN_BackedBitmap(std::unique_ptr<Gdiplus::Bitmap> bitmap, UWIN_GlobalMemory memory) noexcept;

  Gdiplus::Bitmap* GetBitmap() const noexcept { return m_Bitmap.get(); }

private:
  // Declared first so that it is destroyed last.
  UWIN_GlobalMemory m_Memory;
  std::unique_ptr<Gdiplus::Bitmap> m_Bitmap;
};

class UWIN_BitmapResource {
public:
  // Holds nothing.
  UWIN_BitmapResource() noexcept = default;
  // Holds a bitmap made from the file, even when the file cannot be decoded.
  explicit UWIN_BitmapResource(wchar_t const* path);
  virtual ~UWIN_BitmapResource() = default;

  UWIN_BitmapResource(UWIN_BitmapResource const&) = default;
  UWIN_BitmapResource& operator=(UWIN_BitmapResource const&) = default;

  // Releases what is held, then loads the resource name of type type from module. True when a
  // bitmap is held and GDI+ decoded it; otherwise nothing is held.
  bool LoadFromResource(wchar_t const* name, wchar_t const* type, HINSTANCE module);
  bool LoadFromResource(UINT id, wchar_t const* type, HINSTANCE module);
  bool LoadFromResource(UINT id, UINT type, HINSTANCE module);

  // Releases what is held, then holds a bitmap made from the file. True when GDI+ decoded it.
  bool LoadFromFile(wchar_t const* path);

  // The held image's size; 0 when nothing is held or it could not be decoded.
  UINT GetWidth() const;
  UINT GetHeight() const;

  bool IsNull() const noexcept { return !m_Bitmap; }
  Gdiplus::Bitmap* GetBitmap() const noexcept;

private:
  void Hold(std::unique_ptr<Gdiplus::Bitmap> bitmap, UWIN_GlobalMemory memory);

  TMPL_ReferenceCountPointer<UWIN_BackedBitmap> m_Bitmap;
};
