#include "WKRX/WKRX_DropTarget.h"

#include "WTLU/WTLU_ComGuard.h"

#include <shellapi.h>

namespace {

constexpr const char* kClassName = "WKRX_DropTarget";
constexpr const char* kHeaderName = "WKRX_DropTarget.h";

// Keeps a global block locked while it lives, so that whatever a receiver throws, the block is
// unlocked again.
class GlobalLockScope {
public:
  explicit GlobalLockScope(HGLOBAL block) : m_Block(block), m_Data(GlobalLock(block)) {}
  ~GlobalLockScope() {
    if (m_Data != nullptr)
      GlobalUnlock(m_Block);
  }
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;

  bool IsLocked() const { return m_Data != nullptr; }

private:
  HGLOBAL m_Block;
  void* m_Data;
};

std::vector<GLIB_WString> DroppedPaths(HDROP drop) {
  std::vector<GLIB_WString> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  paths.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    GLIB_WString path(static_cast<std::size_t>(length) + 1, L'\0');
    const UINT copied = DragQueryFileW(drop, i, &path[0], length + 1);
    path.resize(copied);
    paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace

GLIB_String WKRX_DragEnterMessage::AsString() const {
  return "One or more files were dragged into a target window.";
}

GLIB_String WKRX_DragOverMessage::AsString() const {
  return "One or more files were dragged over a target window.";
}

GLIB_String WKRX_DragLeaveMessage::AsString() const {
  return "One or more files were dragged out of a target window.";
}

GLIB_String WKRX_DragDroppedMessage::AsString() const {
  return "One or more files were dropped onto a target window.";
}

FORMATETC WKRX_DropTarget::FileListFormat() {
  return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

WKRX_DropTarget::WKRX_DropTarget(HWND view, HWND frame) : CIDropTarget(view), m_Frame(frame) {}

STDMETHODIMP WKRX_DropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) {
  const HRESULT result = CIDropTarget::DragEnter(data, keyState, point, effect);
  return WTLU_GuardComCall(kClassName, kHeaderName, [&]() -> HRESULT {
    FORMATETC files = FileListFormat();
    if (data == nullptr || data->QueryGetData(&files) != S_OK)
      return S_FALSE;
    m_Dispatcher.BroadcastMessage(WKRX_DragEnterMessage());
    return result;
  });
}

STDMETHODIMP WKRX_DropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  const HRESULT guarded = WTLU_GuardComCall(kClassName, kHeaderName, [&]() -> HRESULT {
    m_Dispatcher.BroadcastMessage(WKRX_DragOverMessage());
    return S_OK;
  });
  if (guarded != S_OK)
    return guarded;
  return CIDropTarget::DragOver(keyState, point, effect);
}

STDMETHODIMP WKRX_DropTarget::DragLeave() {
  const HRESULT guarded = WTLU_GuardComCall(kClassName, kHeaderName, [&]() -> HRESULT {
    m_Dispatcher.BroadcastMessage(WKRX_DragLeaveMessage());
    return S_OK;
  });
  const HRESULT result = CIDropTarget::DragLeave();
  return guarded != S_OK ? guarded : result;
}

bool WKRX_DropTarget::OnDrop(FORMATETC* format, STGMEDIUM* medium, DWORD*, POINTL) {
  if (format == nullptr || medium == nullptr || format->cfFormat != CF_HDROP ||
      medium->tymed != TYMED_HGLOBAL)
    return true;
  {
    GlobalLockScope lock(medium->hGlobal);
    if (lock.IsLocked())
      m_Dispatcher.BroadcastMessage(
          WKRX_DragDroppedMessage(DroppedPaths(static_cast<HDROP>(medium->hGlobal))));
  }
  SetForegroundWindow(m_Frame);
  return true;
}
