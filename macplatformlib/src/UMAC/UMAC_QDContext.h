// A CoreGraphics context opened on a QuickDraw port for the object's lifetime: begun, its origin
// synchronised with the port and its state saved on construction; restored, flushed and ended on
// destruction. It never owns the context: the port hands it out and takes it back.
#pragma once

#include "UMAC/UMAC_CGContext.h"

class UMAC_QDContext : public UMAC_CGContext {
public:
  // A failed begin or origin synchronisation leaves the holder without a usable context (or
  // without a saved state); nothing is thrown.
  explicit UMAC_QDContext(CGrafPtr port);
  // Undoes only what the constructor did.
  ~UMAC_QDContext() override;

  CGrafPtr GetPort() const { return m_Port; }
  // Translates by the port's height - 1 (the port's top row once mirrored about the x axis).
  void AlignOriginWithPortTopLeft();
  // Clips the context to the rectangle within the port's current clip.
  void SyncClipRegions(const Rect& r);

private:
  CGrafPtr m_Port;
  bool m_Begun = false;
  bool m_Saved = false;
};
