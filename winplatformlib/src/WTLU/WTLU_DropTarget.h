// An OLE drop target for one window: accepts the clipboard formats its owner lists, chooses the
// drop effect from the modifier keys, lets the shell's drag-image helper draw the drag image and
// hands dropped data to OnDrop. UI thread only: OLE calls a target on the thread that
// registered it. The program never starts a drag, so there is no source side.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

class CIDropTarget : public IDropTarget {
public:
  // Creates the shell's drag-image helper; without it the target works but shows no drag image.
  explicit CIDropTarget(HWND window);
  CIDropTarget(const CIDropTarget&) = delete;
  CIDropTarget& operator=(const CIDropTarget&) = delete;
  virtual ~CIDropTarget();

  // Formats are tried in the order they were added; add them before the window is registered.
  void AddSupportedFormat(const FORMATETC& format);
  // The usual case: a clipboard format in global memory, whole content.
  void AddSupportedFormat(CLIPFORMAT clipFormat);

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  // Deletes the object when the last reference goes.
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragLeave() override;
  // The effect handed back is always DROPEFFECT_NONE: the source never deletes what it dragged.
  STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

protected:
  // Takes over the caller's reference to helper, which may be null (no drag images).
  CIDropTarget(HWND window, IDropTargetHelper* helper);

  // The owner consumes the data. True: the target releases the medium afterwards; false: the
  // medium now belongs to the hook.
  virtual bool OnDrop(FORMATETC* format, STGMEDIUM* medium, DWORD* effect, POINTL point) = 0;

private:
  struct HelperRelease {
    void operator()(IDropTargetHelper* helper) const { helper->Release(); }
  };

  // Puts the effect for the keys and the source's allowed effects (in *effect) into *effect;
  // true when something can be dropped.
  bool ChooseDropEffect(DWORD keyState, DWORD* effect) const;
  FORMATETC* ChosenFormat();
  HRESULT DropChosenData(IDataObject* data, POINTL point, DWORD* effect);
  void EndDrag();

  static constexpr std::size_t sm_NoFormat = static_cast<std::size_t>(-1);

  LONG m_RefCount = 0;
  bool m_AllowDrop = false;
  std::unique_ptr<IDropTargetHelper, HelperRelease> m_DragImageHelper;
  std::vector<FORMATETC> m_Formats;
  std::size_t m_ChosenFormat = sm_NoFormat;
  HWND m_Window;
};

// The owner's hold on a drop target and its window's registration: takes the target over with a
// counted reference, registers it for the window (OLE must be initialised with OleInitialize on
// this thread), and at the end revokes the registration before giving up its reference, so that
// the target lives as long as OLE can call it.
class WTLU_DropTargetRegistration {
public:
  WTLU_DropTargetRegistration(HWND window, std::unique_ptr<CIDropTarget> target);
  WTLU_DropTargetRegistration(const WTLU_DropTargetRegistration&) = delete;
  WTLU_DropTargetRegistration& operator=(const WTLU_DropTargetRegistration&) = delete;
  ~WTLU_DropTargetRegistration();

  // The result of RegisterDragDrop.
  HRESULT Result() const { return m_Result; }
  bool IsRegistered() const { return SUCCEEDED(m_Result); }
  CIDropTarget* Target() const { return m_Target; }

private:
  HWND m_Window;
  CIDropTarget* m_Target;
  HRESULT m_Result;
};
