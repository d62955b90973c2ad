// The project's own stand-in for the ATL base pieces its Windows code calls: the always-active
// ATLASSERT, ATL's exception type and the namespace. Written from ATL's documented behaviour.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_String.h"

namespace ATL {

// The file name without its folders, as the project's log lines name source files.
inline const char* AtlFileName(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '/' || *p == '\\') {
      name = p + 1;
    }
  }
  return name;
}

// A failed ATLASSERT is logged at ASSERT severity and the program goes on.
inline void AtlAssertFailed(const char* condition, const char* file, int line) {
  GLIB_LogMessage::Log(GLIB_SEVERITY_ASSERT, GLIB_NToWString(condition).c_str(), AtlFileName(file),
                       line);
}

class CAtlException {
public:
  explicit CAtlException(HRESULT hr = E_FAIL) : m_hr(hr) {}
  operator HRESULT() const { return m_hr; }

  HRESULT m_hr;
};

[[noreturn]] inline void AtlThrow(HRESULT hr) {
  throw CAtlException(hr);
}

// The module object: the program's own instance and the instance its resources come from (a
// language library once the shell has loaded one), with further resource modules searched after
// it. Resource lookups search GetHInstanceAt(0), (1), ... until it gives null: the resource
// instance, the added modules in the order they were added, then the program itself, so a text a
// translation lacks still reads in English. Set up on the UI thread during start-up.
class CAtlBaseModule {
public:
  HINSTANCE GetModuleInstance() const { return m_hInst ? m_hInst : ::GetModuleHandleW(nullptr); }
  // The program itself until SetResourceInstance names another module.
  HINSTANCE GetResourceInstance() const {
    return m_hInstResource ? m_hInstResource : GetModuleInstance();
  }
  // Null returns to the program's own resources. Returns the instance it replaced.
  HINSTANCE SetResourceInstance(HINSTANCE instance) {
    const HINSTANCE previous = GetResourceInstance();
    m_hInstResource = instance;
    return previous;
  }
  void SetModuleInstance(HINSTANCE instance) { m_hInst = instance; }

  // A module searched after the resource instance; a module already listed is not added again.
  bool AddResourceInstance(HINSTANCE instance) {
    if (instance == nullptr) {
      return false;
    }
    for (HINSTANCE added : m_AddedInstances) {
      if (added == instance) {
        return false;
      }
    }
    m_AddedInstances.push_back(instance);
    return true;
  }
  bool RemoveResourceInstance(HINSTANCE instance) {
    for (auto it = m_AddedInstances.begin(); it != m_AddedInstances.end(); ++it) {
      if (*it == instance) {
        m_AddedInstances.erase(it);
        return true;
      }
    }
    return false;
  }

  // The i-th module of the resource search, null past the last.
  HINSTANCE GetHInstanceAt(int i) const {
    const int added = static_cast<int>(m_AddedInstances.size());
    if (i < 0 || i > added + 1) {
      return nullptr;
    }
    if (i == 0) {
      return GetResourceInstance();
    }
    return i <= added ? m_AddedInstances[static_cast<std::size_t>(i - 1)] : GetModuleInstance();
  }

private:
  HINSTANCE m_hInst = nullptr;
  HINSTANCE m_hInstResource = nullptr;
  std::vector<HINSTANCE> m_AddedInstances;
};

inline CAtlBaseModule _AtlBaseModule;

// The one resource lookup every kind of resource goes through: the first module of the module
// object's search that holds the resource, null when none does. Strings, dialogs, menus,
// accelerators, bitmaps, icons, cursors, PNG images and tool bars all come from here, so a
// language library that holds only some kinds still leaves the others in the program's own.
inline HINSTANCE AtlFindResourceInstance(LPCWSTR name, LPCWSTR type) {
  HINSTANCE module = nullptr;
  for (int i = 0; (module = _AtlBaseModule.GetHInstanceAt(i)) != nullptr; ++i) {
    if (::FindResourceW(module, name, type) != nullptr) {
      return module;
    }
  }
  return nullptr;
}

// A string lives in a block of sixteen: a module may hold the block but not the string, so the
// search goes on until a module has the text itself. Returns its length, 0 when no module has
// it; the buffer is terminated whenever size is above 0 (a size of 0 would make LoadStringW hand
// out a pointer into the resource instead).
inline int AtlLoadString(UINT id, wchar_t* buffer, int size) {
  if (buffer == nullptr || size <= 0) {
    return 0;
  }
  HINSTANCE module = nullptr;
  for (int i = 0; (module = _AtlBaseModule.GetHInstanceAt(i)) != nullptr; ++i) {
    const int length = ::LoadStringW(module, id, buffer, size);
    if (length > 0) {
      return length;
    }
  }
  buffer[0] = L'\0';
  return 0;
}

// LoadImageW from the module that holds the image (IMAGE_BITMAP, IMAGE_ICON or IMAGE_CURSOR).
inline HANDLE AtlLoadImage(LPCWSTR name, UINT imageType, int cx = 0, int cy = 0, UINT flags = 0) {
  const LPCWSTR type = imageType == IMAGE_BITMAP ? RT_BITMAP
                       : imageType == IMAGE_ICON ? RT_GROUP_ICON
                                                 : RT_GROUP_CURSOR;
  const HINSTANCE module = AtlFindResourceInstance(name, type);
  return module ? ::LoadImageW(module, name, imageType, cx, cy, flags) : nullptr;
}

// Shared icons and cursors (never destroyed), as LoadIconW and LoadCursorW give them.
inline HICON AtlLoadIcon(LPCWSTR name) {
  const HINSTANCE module = AtlFindResourceInstance(name, RT_GROUP_ICON);
  return module ? ::LoadIconW(module, name) : nullptr;
}
inline HCURSOR AtlLoadCursor(LPCWSTR name) {
  const HINSTANCE module = AtlFindResourceInstance(name, RT_GROUP_CURSOR);
  return module ? ::LoadCursorW(module, name) : nullptr;
}

// The caller owns the menu (DestroyMenu) and the bitmap (DeleteObject).
inline HMENU AtlLoadMenu(LPCWSTR name) {
  const HINSTANCE module = AtlFindResourceInstance(name, RT_MENU);
  return module ? ::LoadMenuW(module, name) : nullptr;
}
inline HBITMAP AtlLoadBitmap(LPCWSTR name) {
  return static_cast<HBITMAP>(AtlLoadImage(name, IMAGE_BITMAP));
}
inline HACCEL AtlLoadAccelerators(LPCWSTR name) {
  const HINSTANCE module = AtlFindResourceInstance(name, RT_ACCELERATOR);
  return module ? ::LoadAcceleratorsW(module, name) : nullptr;
}

}  // namespace ATL

// Active in every build: a broken condition is worth a log line in a release too.
#define ATLASSERT(expr) ((expr) ? (void)0 : ::ATL::AtlAssertFailed(#expr, __FILE__, __LINE__))

using namespace ATL;
