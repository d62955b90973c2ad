#pragma once
#include "GFIL/GFIL_FileSpec.h"
#include "IMPN/IMPN_Geometry.h"
#include "IMPN/IMPN_Node.h"
#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_ZoomLevel.h"
#include "USTR/USTR_String.h"

#include <cstdint>
#include <string>
#include <vector>

class TIFX_KRXFile;

// What the back surface is aligned to when it shows through the front.
enum IMPN_BackupAlignment {
  kIMPN_AlignPlates = 0,
  kIMPN_AlignPressSheets = 1,
  kIMPN_AlignPages = 2,
  kIMPN_BackupAlignmentCount = 3
};

// One press sheet (web) of a signature: front and back surface, the job data its preview files
// share, the version names of its separations and the offsets that align the back with the
// front. Sheets are reference counted: whoever drops the last reference deletes the sheet.
class IMPN_Sheet : public IMPN_Node {
public:
  // Takes the job data of the file; the file itself arrives through AddChild.
  explicit IMPN_Sheet(TIFX_KRXFile& file);
  // A sheet of explicit file lists; files that are no preview files, or that fail, are
  // skipped and counted (GetRejectedFileCount).
  IMPN_Sheet(GFIL_FileSpecVector& front, GFIL_FileSpecVector& back);
  ~IMPN_Sheet() override;

  void Add(TIFX_KRXFile& file) override;
  // Appends every valid file of specs to the surface; the first valid one (while first is
  // true) gives the sheet's job data. Returns the number appended.
  int AddAndValidateFiles(IMPN_Surface& surface, GFIL_FileSpecVector& specs, bool& first);

  // Lazy set-up before the sheet is first shown.
  void Init();
  // The surface whose images stand for the sheet: the front unless it has no separations.
  IMPN_Surface const& ImagingSurface() const;
  void ResetVersions();
  // Appends a new sheet made of the selected separations, when there is one; the caller
  // owns it.
  void GetAllSheets(std::vector<IMPN_Sheet*>& out) override;
  std::uint64_t GetPrintTimeSeconds() const;

  void Clear() override;
  void SelectRecent() override;
  void SelectChildren(IMPN_ButtonState state) override;
  void UpdateParentSelections() override;
  int CompareTo(IMPN_Node const* other, SortKey key) override;
  void Print(long indent) override;
  std::string ToString() const override;

  int AddReference() { return ++m_ReferenceCount; }
  int RemoveReference() { return --m_ReferenceCount; }
  int GetReferenceCount() const { return m_ReferenceCount; }

  // 1: the back is mirrored left to right, 2: top to bottom.
  static std::uint32_t BackupMode(std::uint16_t workStyle, std::uint16_t orientation);

  IMPN_Surface& GetFrontSurface() { return m_Front; }
  IMPN_Surface& GetBackSurface() { return m_Back; }
  IMPN_Surface const& GetFrontSurface() const { return m_Front; }
  IMPN_Surface const& GetBackSurface() const { return m_Back; }
  std::int32_t GetBackupOffsetX(IMPN_BackupAlignment alignment, IMPN_ZoomLevel level) const {
    return m_BackupOffsetX[alignment][level];
  }
  std::int32_t GetBackupOffsetY(IMPN_BackupAlignment alignment, IMPN_ZoomLevel level) const {
    return m_BackupOffsetY[alignment][level];
  }
  std::uint32_t GetBackupMode() const { return m_BackupMode; }
  std::string const& GetTitle() const { return m_Title; }
  std::uint32_t GetSignature() const { return m_Signature; }
  std::uint32_t GetWeb() const { return m_Web; }
  std::uint16_t GetWorkStyle() const { return m_WorkStyle; }
  std::uint16_t GetOrientation() const { return m_Orientation; }
  std::vector<USTR_String> const& GetVersionNames() const { return m_VersionNames; }
  std::uint32_t GetThumbnailWidth() const { return m_ThumbnailWidth; }
  std::uint32_t GetThumbnailLength() const { return m_ThumbnailLength; }
  std::uint32_t GetScale() const { return m_Scale; }
  std::uint32_t GetImageWidth() const { return m_ImageWidth; }
  std::uint32_t GetImageLength() const { return m_ImageLength; }
  // The image at a zoom level, from the front's tiled image, else the back's; 0 before Init.
  long GetImageWidth(IMPN_ZoomLevel level) const;
  long GetImageLength(IMPN_ZoomLevel level) const;
  float GetXResolution() const { return m_XResolution; }
  float GetYResolution() const { return m_YResolution; }
  int GetRejectedFileCount() const { return m_RejectedFileCount; }

private:
  IMPN_Sheet();
  IMPN_Sheet(IMPN_Sheet const&) = delete;
  IMPN_Sheet& operator=(IMPN_Sheet const&) = delete;

  // What a sheet takes from the private directory of a file's IFD 0.
  struct JobData {
    std::string title;
    std::uint32_t signature = 0;
    std::uint32_t web = 1;
    std::uint16_t workStyle = 0;
    std::uint16_t orientation = 0;
  };
  static JobData ReadJobData(TIFX_KRXFile& file);
  void TakeJobData(JobData const& data);
  void TakeImageData(IMPN_Separation const& separation);
  void AppendValidFile(IMPN_Surface& surface, TIFX_KRXFile& file, bool& first);
  void DetermineBackupOffsets();
  std::vector<IMPN_Surface*> SurfacesWithSeparations();

  IMPN_Surface m_Front;
  IMPN_Surface m_Back;
  std::int32_t m_BackupOffsetX[kIMPN_BackupAlignmentCount][kIMPN_ZoomLevelCount];
  std::int32_t m_BackupOffsetY[kIMPN_BackupAlignmentCount][kIMPN_ZoomLevelCount];
  std::uint32_t m_BackupMode;
  std::string m_Title;
  std::uint32_t m_Signature;
  std::uint32_t m_Web;
  std::uint16_t m_WorkStyle;
  std::uint16_t m_Orientation;
  std::vector<USTR_String> m_VersionNames;
  std::uint32_t m_ThumbnailWidth;
  std::uint32_t m_ThumbnailLength;
  std::uint32_t m_Scale;
  std::uint32_t m_ImageWidth;
  std::uint32_t m_ImageLength;
  float m_XResolution;
  float m_YResolution;
  std::int32_t m_ReferenceCount;
  int m_RejectedFileCount;
};
