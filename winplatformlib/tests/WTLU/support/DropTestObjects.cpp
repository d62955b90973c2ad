#include "support/DropTestObjects.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include <shellapi.h>

#include "GLIB/GLIB_Exception.h"

STDMETHODIMP ReleaseCounter::QueryInterface(REFIID riid, void** ppv) {
  *ppv = IsEqualIID(riid, IID_IUnknown) ? this : nullptr;
  return *ppv ? S_OK : E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ReleaseCounter::Release() {
  ++m_Releases;
  return 1;
}

TestFileDataObject::TestFileDataObject(std::vector<std::wstring> names, bool offersFiles)
    : m_OffersFiles(offersFiles),
      m_Files(nullptr) {
  std::wstring list;
  for (const std::wstring& name : names) {
    list += name;
    list.push_back(L'\0');
  }
  list.push_back(L'\0');
  const SIZE_T bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  m_Files = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!m_Files) {
    throw std::bad_alloc();
  }
  auto* drop = static_cast<DROPFILES*>(GlobalLock(m_Files));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
              list.size() * sizeof(wchar_t));
  GlobalUnlock(m_Files);
}

TestFileDataObject::~TestFileDataObject() {
  GlobalFree(m_Files);
}

STDMETHODIMP TestFileDataObject::QueryInterface(REFIID riid, void** ppv) {
  *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject) ? this : nullptr;
  return *ppv ? S_OK : E_NOINTERFACE;
}

STDMETHODIMP TestFileDataObject::QueryGetData(FORMATETC* format) {
  m_Queried.push_back(format->cfFormat);
  const bool files = m_OffersFiles && format->cfFormat == CF_HDROP &&
                     (format->tymed & TYMED_HGLOBAL) && format->dwAspect == DVASPECT_CONTENT;
  return files ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP TestFileDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  ++m_GetDataCalls;
  if (m_GetDataFails) {
    return E_FAIL;
  }
  if (QueryGetData(format) != S_OK) {
    return DV_E_FORMATETC;
  }
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = m_Files;
  medium->pUnkForRelease = &m_MediumOwner;
  return S_OK;
}

STDMETHODIMP TestFileDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  out->ptd = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TestFileDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
  return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP FakeDragImageHelper::QueryInterface(REFIID riid, void** ppv) {
  *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTargetHelper) ? this : nullptr;
  return *ppv ? S_OK : E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) FakeDragImageHelper::Release() {
  ++m_Releases;
  return 1;
}

STDMETHODIMP FakeDragImageHelper::DragEnter(HWND window, IDataObject*, POINT* point, DWORD effect) {
  m_Calls.push_back("DragEnter");
  m_Window = window;
  m_LastPoint = *point;
  m_LastEffect = effect;
  return S_OK;
}

STDMETHODIMP FakeDragImageHelper::DragLeave() {
  m_Calls.push_back("DragLeave");
  return S_OK;
}

STDMETHODIMP FakeDragImageHelper::DragOver(POINT* point, DWORD effect) {
  m_Calls.push_back("DragOver");
  m_LastPoint = *point;
  m_LastEffect = effect;
  return S_OK;
}

STDMETHODIMP FakeDragImageHelper::Drop(IDataObject*, POINT* point, DWORD effect) {
  m_Calls.push_back("Drop");
  m_LastPoint = *point;
  m_LastEffect = effect;
  return S_OK;
}

FileDropTarget::FileDropTarget(HWND window, Record& record)
    : CIDropTarget(window),
      m_Record(record) {
  AddSupportedFormat(CF_HDROP);
}

FileDropTarget::FileDropTarget(HWND window, IDropTargetHelper* helper, Record& record)
    : CIDropTarget(window, helper),
      m_Record(record) {
  AddSupportedFormat(CF_HDROP);
}

FileDropTarget::~FileDropTarget() {
  ++m_Record.m_Deletions;
}

bool FileDropTarget::OnDrop(FORMATETC* format, STGMEDIUM* medium, DWORD* effect, POINTL point) {
  ++m_Record.m_Calls;
  m_Record.m_Effect = *effect;
  m_Record.m_Point = point;
  m_Record.m_Format = format->cfFormat;
  if (format->cfFormat == CF_HDROP && medium->tymed == TYMED_HGLOBAL) {
    auto drop = static_cast<HDROP>(medium->hGlobal);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      wchar_t name[520];
      DragQueryFileW(drop, i, name, 520);
      m_Record.m_Names.push_back(name);
    }
  }
  switch (m_Outcome) {
    case HookOutcome::Consume:
      return true;
    case HookOutcome::Keep:
      m_Record.m_KeptMedium = *medium;
      return false;
    case HookOutcome::ThrowStd:
      throw std::runtime_error("hook failed");
    case HookOutcome::ThrowGlib:
      throw GLIB_Exception(7, "hook failed", "FileDropTarget", 1);
    case HookOutcome::ThrowBadAlloc:
      throw std::bad_alloc();
  }
  return true;
}
