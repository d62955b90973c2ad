#pragma once
#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Geometry.h"
#include "IMPN/IMPN_Node.h"
#include "IMPN/IMPN_SurfaceRecords.h"
#include "TIFX/TIFX_NoltDirectory.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IMPN_Separation;
class IMPN_ThumbnailImage;
class IMPN_TiledImage;
class TIFX_KRXFile;

// One side of a sheet: paper colour and opacity, the press-sheet and page geometry of the first
// preview file added, and the separations in lay-down order (bottom first).
class IMPN_Surface : public IMPN_Node {
public:
  explicit IMPN_Surface(bool front);
  // A side that belongs to a sheet from the start, whichever way its files arrive.
  IMPN_Surface(bool front, IMPN_Node* sheet);
  // The file is not used; the surface starts empty all the same.
  IMPN_Surface(TIFX_KRXFile& file, bool front);
  ~IMPN_Surface() override;

  // Adds the file as a separation; the first one also gives the page geometry. Append does
  // the same and keeps the type-safety boxes too. A file that fails leaves the surface as it
  // was.
  void Add(TIFX_KRXFile& file) override;
  // Returns the new separation.
  IMPN_Separation& Append(TIFX_KRXFile& file);
  void CreateAndInsertSeparation(TIFX_KRXFile& file);
  void SetPageInfo(std::vector<TIFX_Page> const& pages);

  void Init();
  void CloseFiles();
  // The newest stamp of the separations; 0 without any.
  std::uint32_t GetTimeStamp() const;
  // Swaps the lay-down order with order, which lists this surface's separations anew (the
  // caller gets the old order), and stamps them all. The surface keeps owning them.
  void ResetLayDownOrder(std::vector<IMPN_Separation*>& order);
  std::uint64_t GetPrintTimeSeconds() const;

  void Clear() override;
  // Selects the newest separation of every plate: per print order, or per ink name for
  // plates without one.
  void SelectRecent() override;
  void SelectChildren(IMPN_ButtonState state) override;
  void UpdateParentSelections() override;
  int CompareTo(IMPN_Node const* other, SortKey key) override;
  void Print(long indent) override;
  std::string ToString() const override;

  bool IsFront() const { return m_Front; }
  bool HasSeparations() const { return !m_Separations.empty(); }
  std::vector<IMPN_Separation*> const& GetSeparations() const { return m_Separations; }
  IMPN_RGBColor8 const& GetColor() const { return m_Color; }
  void SetColor(IMPN_RGBColor8 const& colour) { m_Color = colour; }
  std::uint32_t GetOpacity() const { return m_Opacity; }
  void SetOpacity(std::uint32_t percent) { m_Opacity = percent; }
  IMPN_RectT<long> const& GetPressSheetRect() const { return m_PressSheetRect; }
  std::vector<IMPN_PageEdge> const& GetPageEdges() const { return m_PageEdges; }
  std::vector<IMPN_RectT<long>> const& GetBleedRects() const { return m_BleedRects; }
  std::vector<IMPN_RectT<long>> const& GetMaxBleedRects() const { return m_MaxBleedRects; }
  std::vector<std::vector<IMPN_SCPath>> const& GetClipPaths() const { return m_ClipPaths; }
  std::vector<IMPN_RectT<long>> const& GetTypeSafetyRects() const { return m_TypeSafetyRects; }
  bool HasClipPaths() const { return m_HasClipPaths; }
  bool HasTypeSafetyBoxes() const { return m_HasTypeSafetyBoxes; }
  // Made by Init when there are separations; null before.
  IMPN_TiledImage* GetTiledImage() const { return m_TiledImage.get(); }
  IMPN_ThumbnailImage* GetThumbnailImage() const { return m_ThumbnailImage.get(); }

private:
  IMPN_Surface(IMPN_Surface const&) = delete;
  IMPN_Surface& operator=(IMPN_Surface const&) = delete;

  IMPN_Separation& AddFile(TIFX_KRXFile& file, bool withTypeSafety);
  void TakePageGeometry(TIFX_NoltDirectory const& directory, bool withTypeSafety);
  IMPN_Separation& InsertSeparation(std::unique_ptr<IMPN_Separation> separation, bool hasPrintOrder,
                                    TIFX_KRXFile& file);
  void ClearPageGeometry();
  void DeleteSeparations();

  IMPN_RGBColor8 m_Color;
  std::uint32_t m_Opacity;
  IMPN_RectT<long> m_PressSheetRect;
  std::vector<IMPN_PageEdge> m_PageEdges;
  std::vector<IMPN_RectT<long>> m_BleedRects;
  std::vector<IMPN_RectT<long>> m_MaxBleedRects;
  std::vector<std::vector<IMPN_SCPath>> m_ClipPaths;
  std::vector<IMPN_RectT<long>> m_TypeSafetyRects;
  bool m_HasClipPaths;
  bool m_HasTypeSafetyBoxes;
  bool m_Front;
  // The separations, owned in order of arrival; m_Separations lists them in lay-down order.
  std::vector<std::unique_ptr<IMPN_Separation>> m_Owned;
  std::vector<IMPN_Separation*> m_Separations;
  // Both keep references to the separations and the colour above.
  std::unique_ptr<IMPN_TiledImage> m_TiledImage;
  std::unique_ptr<IMPN_ThumbnailImage> m_ThumbnailImage;
};
