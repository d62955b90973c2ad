#include "WTLU/WTLU_DropTarget.h"

#include <utility>

#include "WTLU/WTLU_ComGuard.h"

namespace {

const char sm_ClassName[] = "CIDropTarget";
const char sm_HeaderName[] = "WTLU_DropTarget.h";

IDropTargetHelper* MakeDragImageHelper() {
  IDropTargetHelper* helper = nullptr;
  if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IDropTargetHelper, reinterpret_cast<void**>(&helper)))) {
    return nullptr;
  }
  return helper;
}

POINT AsPoint(POINTL point) {
  return POINT{point.x, point.y};
}

// Releases a medium fetched for the hook unless the hook took it over; also when the hook throws.
class MediumHolder {
public:
  explicit MediumHolder(STGMEDIUM* medium) : m_Medium(medium) {}
  MediumHolder(const MediumHolder&) = delete;
  MediumHolder& operator=(const MediumHolder&) = delete;
  ~MediumHolder() {
    if (m_Medium) {
      ReleaseStgMedium(m_Medium);
    }
  }
  void HandOver() { m_Medium = nullptr; }

private:
  STGMEDIUM* m_Medium;
};

}  // namespace

CIDropTarget::CIDropTarget(HWND window) : CIDropTarget(window, MakeDragImageHelper()) {}

CIDropTarget::CIDropTarget(HWND window, IDropTargetHelper* helper)
    : m_DragImageHelper(helper),
      m_Window(window) {}

CIDropTarget::~CIDropTarget() = default;

void CIDropTarget::AddSupportedFormat(const FORMATETC& format) {
  m_Formats.push_back(format);
}

void CIDropTarget::AddSupportedFormat(CLIPFORMAT clipFormat) {
  AddSupportedFormat(FORMATETC{clipFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
}

STDMETHODIMP CIDropTarget::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) {
    return E_POINTER;
  }
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
    *ppv = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CIDropTarget::AddRef() {
  return static_cast<ULONG>(++m_RefCount);
}

STDMETHODIMP_(ULONG) CIDropTarget::Release() {
  const LONG count = --m_RefCount;
  if (count == 0) {
    delete this;
  }
  return static_cast<ULONG>(count);
}

bool CIDropTarget::ChooseDropEffect(DWORD keyState, DWORD* effect) const {
  if (!m_AllowDrop) {
    *effect = DROPEFFECT_NONE;
    return false;
  }
  const DWORD allowed = *effect;
  const bool control = (keyState & MK_CONTROL) != 0;
  const bool shift = (keyState & MK_SHIFT) != 0;
  DWORD chosen = DROPEFFECT_NONE;
  if (control || shift) {
    const DWORD wanted = control && shift ? DROPEFFECT_LINK
                         : control        ? DROPEFFECT_COPY
                                          : DROPEFFECT_MOVE;
    chosen = (allowed & wanted) ? wanted : DROPEFFECT_NONE;
  } else {
    for (DWORD candidate : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
      if (allowed & candidate) {
        chosen = candidate;
        break;
      }
    }
  }
  *effect = chosen;
  return chosen != DROPEFFECT_NONE;
}

FORMATETC* CIDropTarget::ChosenFormat() {
  return m_ChosenFormat == sm_NoFormat ? nullptr : &m_Formats[m_ChosenFormat];
}

STDMETHODIMP CIDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                     DWORD* effect) {
  return WTLU_GuardComCall(sm_ClassName, sm_HeaderName, [&]() -> HRESULT {
    if (!data || !effect) {
      return E_INVALIDARG;
    }
    if (m_DragImageHelper) {
      POINT where = AsPoint(point);
      m_DragImageHelper->DragEnter(m_Window, data, &where, *effect);
    }
    m_ChosenFormat = sm_NoFormat;
    for (std::size_t i = 0; i < m_Formats.size(); ++i) {
      m_AllowDrop = data->QueryGetData(&m_Formats[i]) == S_OK;
      if (m_AllowDrop) {
        m_ChosenFormat = i;
        break;
      }
    }
    ChooseDropEffect(keyState, effect);
    return S_OK;
  });
}

STDMETHODIMP CIDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  return WTLU_GuardComCall(sm_ClassName, sm_HeaderName, [&]() -> HRESULT {
    if (!effect) {
      return E_INVALIDARG;
    }
    if (m_DragImageHelper) {
      POINT where = AsPoint(point);
      m_DragImageHelper->DragOver(&where, *effect);
    }
    ChooseDropEffect(keyState, effect);
    return S_OK;
  });
}

STDMETHODIMP CIDropTarget::DragLeave() {
  return WTLU_GuardComCall(sm_ClassName, sm_HeaderName, [&]() -> HRESULT {
    if (m_DragImageHelper) {
      m_DragImageHelper->DragLeave();
    }
    EndDrag();
    return S_OK;
  });
}

STDMETHODIMP CIDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (!data || !effect) {
    return E_INVALIDARG;
  }
  HRESULT result = WTLU_GuardComCall(sm_ClassName, sm_HeaderName, [&]() -> HRESULT {
    if (m_DragImageHelper) {
      POINT where = AsPoint(point);
      m_DragImageHelper->Drop(data, &where, *effect);
    }
    if (ChooseDropEffect(keyState, effect) && ChosenFormat()) {
      return DropChosenData(data, point, effect);
    }
    return S_OK;
  });
  // Whatever happened, the drag is over and the source keeps its data.
  EndDrag();
  *effect = DROPEFFECT_NONE;
  return result;
}

HRESULT CIDropTarget::DropChosenData(IDataObject* data, POINTL point, DWORD* effect) {
  FORMATETC* format = ChosenFormat();
  STGMEDIUM medium = {};
  if (data->GetData(format, &medium) != S_OK) {
    return S_OK;
  }
  MediumHolder holder(&medium);
  if (!OnDrop(format, &medium, effect, point)) {
    holder.HandOver();
  }
  return S_OK;
}

void CIDropTarget::EndDrag() {
  m_AllowDrop = false;
  m_ChosenFormat = sm_NoFormat;
}

WTLU_DropTargetRegistration::WTLU_DropTargetRegistration(HWND window,
                                                         std::unique_ptr<CIDropTarget> target)
    : m_Window(window),
      m_Target(target.release()),
      m_Result(E_INVALIDARG) {
  if (m_Target) {
    m_Target->AddRef();
    m_Result = RegisterDragDrop(m_Window, m_Target);
  }
}

WTLU_DropTargetRegistration::~WTLU_DropTargetRegistration() {
  if (IsRegistered()) {
    RevokeDragDrop(m_Window);
  }
  if (m_Target) {
    m_Target->Release();
  }
}
