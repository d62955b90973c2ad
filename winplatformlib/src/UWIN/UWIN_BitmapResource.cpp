#include "UWIN/UWIN_BitmapResource.h"

#include "GLIB/GLIB_New.h"

#include <new>
#include <utility>

namespace {

// Releases a COM interface when it goes out of scope.
struct StreamReleaser {
  void operator()(IStream* stream) const noexcept { stream->Release(); }
};
using StreamPointer = std::unique_ptr<IStream, StreamReleaser>;

// GDI+ objects live in GDI+'s own heap (their delete frees there); a refused allocation gives no
// bitmap rather than a constructor run on null.
template <class Source>
std::unique_ptr<Gdiplus::Bitmap> NewBitmap(Source source) {
  void* const memory = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::Bitmap));
  if (!memory)
    return nullptr;
  return std::unique_ptr<Gdiplus::Bitmap>(::new (memory) Gdiplus::Bitmap(source, FALSE));
}

}  // namespace

UWIN_BackedBitmap::UWIN_BackedBitmap(std::unique_ptr<Gdiplus::Bitmap> bitmap,
                                     UWIN_GlobalMemory memory) noexcept
    : m_Memory(std::move(memory)),
      m_Bitmap(std::move(bitmap)) {}

UWIN_BitmapResource::UWIN_BitmapResource(wchar_t const* path) {
  std::unique_ptr<Gdiplus::Bitmap> bitmap = NewBitmap(path);
  if (bitmap)
    Hold(std::move(bitmap), UWIN_GlobalMemory());
}

bool UWIN_BitmapResource::LoadFromResource(wchar_t const* name, wchar_t const* type,
                                           HINSTANCE module) {
  m_Bitmap.Release();
  HRSRC const resource = FindResourceW(module, name, type);
  if (!resource)
    return false;
  DWORD const size = SizeofResource(module, resource);
  if (size == 0)
    return false;
  HGLOBAL const loaded = LoadResource(module, resource);
  void const* const bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes)
    return false;

  UWIN_GlobalMemory memory = UWIN_GlobalMemory::CopyOf(bytes, size);
  if (memory.IsNull())
    return false;
  IStream* rawStream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory.GetHandle(), FALSE, &rawStream)) || !rawStream)
    return false;
  StreamPointer const stream(rawStream);
  std::unique_ptr<Gdiplus::Bitmap> bitmap = NewBitmap(stream.get());
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
    return false;
  Hold(std::move(bitmap), std::move(memory));
  return true;
}

bool UWIN_BitmapResource::LoadFromResource(UINT id, wchar_t const* type, HINSTANCE module) {
  return LoadFromResource(MAKEINTRESOURCEW(id), type, module);
}

bool UWIN_BitmapResource::LoadFromResource(UINT id, UINT type, HINSTANCE module) {
  return LoadFromResource(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type), module);
}

bool UWIN_BitmapResource::LoadFromFile(wchar_t const* path) {
  m_Bitmap.Release();
  std::unique_ptr<Gdiplus::Bitmap> bitmap = NewBitmap(path);
  if (!bitmap)
    return false;
  bool const decoded = bitmap->GetLastStatus() == Gdiplus::Ok;
  Hold(std::move(bitmap), UWIN_GlobalMemory());
  return decoded;
}

UINT UWIN_BitmapResource::GetWidth() const {
  Gdiplus::Bitmap* const bitmap = GetBitmap();
  return bitmap ? bitmap->GetWidth() : 0;
}

UINT UWIN_BitmapResource::GetHeight() const {
  Gdiplus::Bitmap* const bitmap = GetBitmap();
  return bitmap ? bitmap->GetHeight() : 0;
}

Gdiplus::Bitmap* UWIN_BitmapResource::GetBitmap() const noexcept {
  return m_Bitmap ? m_Bitmap->GetBitmap() : nullptr;
}

void UWIN_BitmapResource::Hold(std::unique_ptr<Gdiplus::Bitmap> bitmap, UWIN_GlobalMemory memory) {
  // The backed bitmap is made before the old one is let go, so a failed allocation keeps it.
  TMPL_ReferenceCountPointer<UWIN_BackedBitmap> held(
      new (__LINE__, __FILE__) UWIN_BackedBitmap(std::move(bitmap), std::move(memory)));
  m_Bitmap = std::move(held);
}
