// The splitter drag trackers of a row: the full tracker re-lays the row out on every move, the
// ghost tracker moves an inverted bar over the screen and lays out once at the drop. A cancelled
// drag leaves the row as the press found it.
//
// TRow offers container() (its separator container), horizontal(), rect() (client coordinates),
// window() and Arrange() (lays its items out).
#pragma once

#include <windows.h>

#include <cstddef>

#include "WTLA/SplitterDrag.h"
#include "WTLA/win/DDTracker.h"
#include "WTLA/win/GhostDrawing.h"

namespace dockwins {

template <class TRow>
class CSplitterMoveTrackerBase : public CDDTrackerBase {
public:
  using CContainer = typename TRow::CContainer;

  CSplitterMoveTrackerBase(TRow& row, std::size_t entry, POINT press)
      : m_Row(row),
        m_Drag(row.container(), entry, row.horizontal() ? press.x : press.y) {}

  void OnMove(long x, long y) override {
    if (m_Drag.OnMove(static_cast<int>(m_Row.horizontal() ? x : y))) {
      Move();
    }
  }

  int position() const { return m_Drag.position(); }

protected:
  virtual void Move() = 0;

  // Moves the separator to the current position, lays the row out and redraws it.
  void Apply() {
    m_Drag.Apply();
    Refresh();
  }
  void Refresh() {
    m_Row.Arrange();
    const RECT rc = m_Row.rect();
    ::RedrawWindow(m_Row.window(), &rc, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }

  TRow& m_Row;
  CSplitterDrag<CContainer> m_Drag;
};

template <class TRow>
class CSplitterMoveTrackerFull : public CSplitterMoveTrackerBase<TRow> {
public:
  using CSplitterMoveTrackerBase<TRow>::CSplitterMoveTrackerBase;

  // The layout the press found comes back, as with the ghost bar.
  void OnCancelDrag(long, long) override {
    this->m_Drag.Restore();
    this->Refresh();
  }

protected:
  void Move() override { this->Apply(); }
};

template <class TRow>
class CSplitterMoveTrackerGhost : public CSplitterMoveTrackerBase<TRow> {
public:
  // dc: where the bar is inverted; the screen's when null (released with the tracker).
  CSplitterMoveTrackerGhost(TRow& row, std::size_t entry, POINT press, HDC dc = nullptr)
      : CSplitterMoveTrackerBase<TRow>(row, entry, press),
        m_ScreenDC(dc == nullptr ? ::GetWindowDC(nullptr) : nullptr),
        m_DC(dc == nullptr ? m_ScreenDC : dc) {
    POINT origin{0, 0};
    ::ClientToScreen(row.window(), &origin);
    m_Offset = row.horizontal() ? origin.x : origin.y;
    const RECT rc = row.rect();
    m_Ghost = rc;
    ::OffsetRect(&m_Ghost, origin.x, origin.y);
    Place(this->position());
  }
  CSplitterMoveTrackerGhost(const CSplitterMoveTrackerGhost&) = delete;
  CSplitterMoveTrackerGhost& operator=(const CSplitterMoveTrackerGhost&) = delete;
  ~CSplitterMoveTrackerGhost() override {
    if (m_ScreenDC != nullptr) {
      ::ReleaseDC(nullptr, m_ScreenDC);
    }
  }

  void BeginDrag() override { DrawGhostBar(m_DC, m_Ghost); }
  void EndDrag(bool cancelled) override {
    DrawGhostBar(m_DC, m_Ghost);
    if (!cancelled) {
      this->Apply();
    }
  }
  const RECT& ghost() const { return m_Ghost; }

protected:
  void Move() override {
    DrawGhostBar(m_DC, m_Ghost);
    Place(this->position());
    DrawGhostBar(m_DC, m_Ghost);
  }

private:
  void Place(int pos) {
    if (this->m_Row.horizontal()) {
      m_Ghost.left = pos + m_Offset;
      m_Ghost.right = m_Ghost.left + kSeparatorWidth;
    } else {
      m_Ghost.top = pos + m_Offset;
      m_Ghost.bottom = m_Ghost.top + kSeparatorWidth;
    }
  }

  HDC m_ScreenDC;
  HDC m_DC;
  int m_Offset = 0;
  RECT m_Ghost{};
};

}  // namespace dockwins
