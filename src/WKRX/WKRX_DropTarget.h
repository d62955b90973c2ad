// Lets the sheet view take preview files dragged from the shell: each OLE notification becomes a
// typed message to the callbacks the view registers with the target's dispatcher. The program is
// never a drag source.
#pragma once

#include "GLIB/GLIB_Message.h"
#include "GLIB/GLIB_String.h"
#include "WTLU/WTLU_DropTarget.h"

#include <vector>

class WKRX_DragEnterMessage : public GLIB_Message {
public:
  GLIB_String AsString() const override;
};

class WKRX_DragOverMessage : public GLIB_Message {
public:
  GLIB_String AsString() const override;
};

class WKRX_DragLeaveMessage : public GLIB_Message {
public:
  GLIB_String AsString() const override;
};

class WKRX_DragDroppedMessage : public GLIB_Message {
public:
  explicit WKRX_DragDroppedMessage(std::vector<GLIB_WString> paths) : m_Paths(std::move(paths)) {}
  GLIB_String AsString() const override;
  // In the order the shell gives them.
  const std::vector<GLIB_WString>& Paths() const { return m_Paths; }

private:
  std::vector<GLIB_WString> m_Paths;
};

class WKRX_DropTarget : public CIDropTarget {
public:
  // view: the window files are dropped on; frame: the sheet window brought forward by a drop.
  WKRX_DropTarget(HWND view, HWND frame);

  const GLIB_MessageDispatcher& Dispatcher() const { return m_Dispatcher; }

  // What the view accepts: files dropped from the shell, in global memory.
  static FORMATETC FileListFormat();

  // Data without files in global memory is refused (S_FALSE) and announced to nobody.
  STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragLeave() override;

protected:
  // Broadcasts the dropped paths, each read at its full length.
  bool OnDrop(FORMATETC* format, STGMEDIUM* medium, DWORD* effect, POINTL point) override;

private:
  GLIB_MessageDispatcher m_Dispatcher;
  HWND m_Frame;
};
