// Test doubles for the drop target: a data object carrying dropped files, the shell's drag-image
// helper, and a target whose hook does what the sheet view's does.
#pragma once

#include <string>
#include <vector>

#include "WTLU/WTLU_DropTarget.h"

// Counts the references its owner gives up; a medium released by ReleaseStgMedium releases its
// pUnkForRelease once.
class ReleaseCounter : public IUnknown {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override;

  int m_Releases = 0;
};

// Offers CF_HDROP in global memory with a DROPFILES list of wide names (or nothing at all).
class TestFileDataObject : public IDataObject {
public:
  explicit TestFileDataObject(std::vector<std::wstring> names, bool offersFiles = true);
  TestFileDataObject(const TestFileDataObject&) = delete;
  TestFileDataObject& operator=(const TestFileDataObject&) = delete;
  virtual ~TestFileDataObject();

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  bool m_GetDataFails = false;
  int m_GetDataCalls = 0;
  std::vector<CLIPFORMAT> m_Queried;
  // Released when the medium handed out is released; the files' memory stays with this object.
  ReleaseCounter m_MediumOwner;

private:
  bool m_OffersFiles;
  HGLOBAL m_Files;
};

class FakeDragImageHelper : public IDropTargetHelper {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP DragEnter(HWND window, IDataObject* data, POINT* point, DWORD effect) override;
  STDMETHODIMP DragLeave() override;
  STDMETHODIMP DragOver(POINT* point, DWORD effect) override;
  STDMETHODIMP Drop(IDataObject* data, POINT* point, DWORD effect) override;
  STDMETHODIMP Show(BOOL) override { return S_OK; }

  std::vector<std::string> m_Calls;
  HWND m_Window = nullptr;
  POINT m_LastPoint = {};
  DWORD m_LastEffect = 0;
  int m_Releases = 0;
};

enum class HookOutcome {
  Consume,
  Keep,
  ThrowStd,
  ThrowGlib,
  ThrowBadAlloc
};

// Reads the dropped file names as the sheet view's hook does and answers as told.
class FileDropTarget : public CIDropTarget {
public:
  struct Record {
    int m_Deletions = 0;
    int m_Calls = 0;
    std::vector<std::wstring> m_Names;
    DWORD m_Effect = 0;
    POINTL m_Point = {};
    CLIPFORMAT m_Format = 0;
    STGMEDIUM m_KeptMedium = {};
  };

  // With the shell's own helper.
  FileDropTarget(HWND window, Record& record);
  // With the given helper (null: none).
  FileDropTarget(HWND window, IDropTargetHelper* helper, Record& record);
  ~FileDropTarget() override;

  HookOutcome m_Outcome = HookOutcome::Consume;

  ULONG References() {
    AddRef();
    return Release();
  }

protected:
  bool OnDrop(FORMATETC* format, STGMEDIUM* medium, DWORD* effect, POINTL point) override;

private:
  Record& m_Record;
};
