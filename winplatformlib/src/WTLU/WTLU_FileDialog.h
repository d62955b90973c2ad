// The open-file dialog with multiple selection: GetOpenFileNameW in explorer style, resizable,
// with a file buffer of the caller's size and a hook dialog whose map subclasses can extend. The
// chosen files come back as file specs in the dialog's order. UI thread only.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <cderr.h>

#include <atlbase.h>
#include <atlwin.h>
#include <atldlgs.h>

#include <cstddef>
#include <memory>
#include <string>

#include "GFIL/GFIL_FileSpec.h"
#include "GLIB/GLIB_Exception.h"

// The file dialog's failures; the code is the common-dialog error code (12291 for a buffer too
// small for the selection).
struct Tag_WTLU_Exception {};
using WTLU_Exception = GLIB_DerivedException<Tag_WTLU_Exception>;

// Reads the file list a confirmed dialog left in buffer (size characters) into files (cleared
// first): one full path, or a folder followed by names in it, each string ending in a 0 and the
// list in an empty string. Nothing is read past size.
void WTLU_ParseFileList(const wchar_t* buffer, std::size_t size, GFIL_FileSpecVector& files);

// The dialog's OPENFILENAMEW with the buffer and the texts it points at, all owned.
class WTLU_OpenFileName {
public:
  // filter: label and pattern pairs, each ending in a 0, the list in an extra 0; null texts are
  // left out. The buffer holds at least one character.
  WTLU_OpenFileName(HWND owner, const wchar_t* title, const wchar_t* initialFolder,
                    const wchar_t* filter, const wchar_t* defaultExtension, DWORD flags,
                    std::size_t bufferSize);
  WTLU_OpenFileName(const WTLU_OpenFileName&) = delete;
  WTLU_OpenFileName& operator=(const WTLU_OpenFileName&) = delete;

  OPENFILENAMEW& Ofn() { return m_Ofn; }
  const OPENFILENAMEW& Ofn() const { return m_Ofn; }

  // Before each run: the run's parent owns the dialog unless an owner was given at construction;
  // the buffer is emptied.
  void PrepareRun(HWND parent);
  // IDOK when the user confirmed, IDCANCEL when the dialog was cancelled; throws WTLU_Exception
  // for any error (error: CommDlgExtendedError's answer).
  INT_PTR Outcome(BOOL confirmed, DWORD error) const;
  void GetFileSpecs(GFIL_FileSpecVector& files) const;

private:
  HWND m_Owner;
  std::wstring m_Title;
  std::wstring m_InitialFolder;
  std::wstring m_Filter;
  std::wstring m_DefaultExtension;
  std::size_t m_BufferSize;
  std::unique_ptr<wchar_t[]> m_Buffer;
  OPENFILENAMEW m_Ofn = {};
};

// A file dialog: the OPENFILENAMEW whose hook is this object.
template <class T>
class WTLU_FileDialogT : public WTL::CFileDialogHookT<> {
public:
  BEGIN_MSG_MAP(WTLU_FileDialogT)
  END_MSG_MAP()

  OPENFILENAMEW& Ofn() { return m_OpenFileName.Ofn(); }
  // The chosen files after a confirmed dialog.
  void GetFileSpecs(GFIL_FileSpecVector& files) const { m_OpenFileName.GetFileSpecs(files); }

protected:
  WTLU_FileDialogT(HWND owner, const wchar_t* title, const wchar_t* initialFolder,
                   const wchar_t* filter, const wchar_t* defaultExtension, DWORD flags,
                   std::size_t bufferSize)
      : m_OpenFileName(owner, title, initialFolder, filter, defaultExtension, flags, bufferSize) {
    this->AttachHook(m_OpenFileName.Ofn());
  }

  WTLU_OpenFileName m_OpenFileName;
};

template <class T>
class WTLU_GetFileDialogT : public WTLU_FileDialogT<T> {
public:
  // Runs the dialog: IDOK when the user confirmed, IDCANCEL when cancelled; throws
  // WTLU_Exception on an error, and a fatal exception raised in the hook's map.
  INT_PTR DoModal(HWND parent = ::GetActiveWindow()) {
    this->m_OpenFileName.PrepareRun(parent);
    const BOOL confirmed = this->RunOpenFileDialog(this->m_OpenFileName.Ofn());
    return this->m_OpenFileName.Outcome(
        confirmed, confirmed ? 0 : WTL::CFileDialogSystemHooks::sm_CommDlgExtendedError());
  }

protected:
  using WTLU_FileDialogT<T>::WTLU_FileDialogT;
};

class WTLU_GetFileDialog : public WTLU_GetFileDialogT<WTLU_GetFileDialog> {
public:
  // flags: OFN_ flags; OFN_EXPLORER, OFN_ENABLEHOOK and OFN_ENABLESIZING are always added.
  WTLU_GetFileDialog(HWND owner, const wchar_t* title, const wchar_t* initialFolder,
                     const wchar_t* filter, const wchar_t* defaultExtension, DWORD flags,
                     std::size_t bufferSize)
      : WTLU_GetFileDialogT(owner, title, initialFolder, filter, defaultExtension, flags,
                            bufferSize) {}
};
