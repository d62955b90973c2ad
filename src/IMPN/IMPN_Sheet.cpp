#include "IMPN/IMPN_Sheet.h"

#include "GLIB/GLIB_Math.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_ThumbnailImage.h"
#include "IMPN/IMPN_TiledImage.h"
#include "IMPN/IMPN_Tools.h"
#include "IMPN/iIMPN_Compare.h"
#include "IMPN/iIMPN_UsePreviewFile.h"
#include "TIFX/TIFX_KRXFile.h"
#include "USTR/USTR_LocalizedString.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <limits>
#include <memory>

namespace {
// An offset at some zoom level; press-sheet and page edges are any 32-bit values, so the
// rounded product is kept within the stored 32 bits.
std::int32_t RoundedOffset(double offset) {
  return static_cast<std::int32_t>(MATH_Clamp<long>(MATH_Round(offset),
                                                    std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max()));
}

enum : std::uint16_t {
  kWorkAndTurn = 3,
  kWorkAndTumble = 4
};

bool PrintsBothSides(std::uint16_t workStyle) {
  return workStyle == kWorkAndTurn || workStyle == kWorkAndTumble;
}

IMPN_RectT<long> PageUnion(std::vector<IMPN_PageEdge> const& pages) {
  if (pages.empty())
    return IMPN_RectT<long>();
  long top = pages.front().rect.top, left = pages.front().rect.left;
  long right = pages.front().rect.Right(), bottom = pages.front().rect.Bottom();
  for (IMPN_PageEdge const& page : pages) {
    top = std::min(top, page.rect.top);
    left = std::min(left, page.rect.left);
    right = std::max(right, page.rect.Right());
    bottom = std::max(bottom, page.rect.Bottom());
  }
  return IMPN_RectT<long>(top, left, right - left, bottom - top);
}

// The file specs of the selected separations of a surface.
GFIL_FileSpecVector SelectedFiles(IMPN_Surface const& surface) {
  GFIL_FileSpecVector specs;
  for (IMPN_Separation const* separation : surface.GetSeparations()) {
    if (separation->GetSelectedState() == kIMPN_ButtonOn)
      specs.push_back(separation->GetFileSpec());
  }
  return specs;
}

// The thumbnail's size and scale, from where the file keeps it, IFD 1 or IFD 2; IFD 0 is
// current again afterwards.
struct ThumbnailData {
  std::uint32_t width = 0;
  std::uint32_t length = 0;
  std::uint32_t scale = 1;
};

ThumbnailData ReadThumbnailData(TIFX_KRXFile& file) {
  ThumbnailData data;
  file.SelectDirectoryIfNeeded(IMPN_Separation::FindThumbnailDirectory(file));
  data.width = file.GetTag<std::uint32_t>(kTIFX_TagImageWidth);
  data.length = file.GetTag<std::uint32_t>(kTIFX_TagImageLength);
  data.scale = file.GetPrivateDirectory().Scale;
  file.SelectImageDirectory();
  return data;
}
}  // namespace

IMPN_Sheet::JobData IMPN_Sheet::ReadJobData(TIFX_KRXFile& file) {
  file.SelectImageDirectory();
  TIFX_NoltDirectory const& d = file.GetPrivateDirectory();
  JobData data;
  data.title = d.Title;
  data.signature = d.Signature;
  data.web = d.Surface / 2 + 1;
  data.workStyle = d.WorkStyle;
  data.orientation = d.ImpoTileOrientation;
  return data;
}

void IMPN_Sheet::TakeJobData(JobData const& data) {
  m_Title = data.title;
  m_Signature = data.signature;
  m_Web = data.web;
  m_WorkStyle = data.workStyle;
  m_Orientation = data.orientation;
}

IMPN_Sheet::IMPN_Sheet()
    : m_Front(true, this),
      m_Back(false, this),
      m_BackupOffsetX(),
      m_BackupOffsetY(),
      m_BackupMode(0),
      m_Signature(0),
      m_Web(1),
      m_WorkStyle(0),
      m_Orientation(0),
      m_ThumbnailWidth(0),
      m_ThumbnailLength(0),
      m_Scale(1),
      m_ImageWidth(0),
      m_ImageLength(0),
      m_XResolution(0),
      m_YResolution(0),
      m_ReferenceCount(0),
      m_RejectedFileCount(0) {}

IMPN_Sheet::IMPN_Sheet(TIFX_KRXFile& file) : IMPN_Sheet() {
  TakeJobData(ReadJobData(file));
}

IMPN_Sheet::IMPN_Sheet(GFIL_FileSpecVector& front, GFIL_FileSpecVector& back) : IMPN_Sheet() {
  bool first = true;
  AddAndValidateFiles(m_Front, front, first);
  AddAndValidateFiles(m_Back, back, first);
}

IMPN_Sheet::~IMPN_Sheet() {
  IMPN_Sheet::Clear();
}

void IMPN_Sheet::Add(TIFX_KRXFile& file) {
  file.SelectImageDirectory();
  // The surface that received the sheet's first separation, when this file gave it.
  IMPN_Surface* firstSide = nullptr;
  if (PrintsBothSides(m_WorkStyle)) {
    // One plate prints both sides: the file gives a separation on each.
    bool const frontWasEmpty = !m_Front.HasSeparations();
    m_Front.AddChild(file, this);
    m_Back.AddChild(file, this);
    if (frontWasEmpty)
      firstSide = &m_Front;
  } else {
    bool const sheetWasEmpty = !m_Front.HasSeparations() && !m_Back.HasSeparations();
    IMPN_Surface& side = file.GetPrivateDirectory().Surface % 2 == 0 ? m_Front : m_Back;
    side.AddChild(file, this);
    if (sheetWasEmpty)
      firstSide = &side;
  }
  if (firstSide)
    TakeImageData(*firstSide->GetSeparations().front());
}

void IMPN_Sheet::TakeImageData(IMPN_Separation const& separation) {
  m_ImageWidth = separation.GetImageWidth();
  m_ImageLength = separation.GetImageLength();
  m_XResolution = separation.GetResolution();
  m_YResolution = separation.GetYResolution();
}

int IMPN_Sheet::AddAndValidateFiles(IMPN_Surface& surface, GFIL_FileSpecVector& specs,
                                    bool& first) {
  int appended = 0;
  for (GFIL_FileSpec const& spec : specs) {
    // One file that cannot be read costs that file only; the rest of the list goes on.
    iIMPN_FileOutcome const outcome = iIMPN_UsePreviewFile(
        spec, [&](TIFX_KRXFile& file) { AppendValidFile(surface, file, first); });
    if (outcome == iIMPN_FileOutcome::kUsed)
      ++appended;
    else
      ++m_RejectedFileCount;
  }
  return appended;
}

void IMPN_Sheet::AppendValidFile(IMPN_Surface& surface, TIFX_KRXFile& file, bool& first) {
  if (!first) {
    surface.Append(file);
    return;
  }
  JobData const job = ReadJobData(file);
  ThumbnailData const thumbnail = ReadThumbnailData(file);
  IMPN_Separation const& separation = surface.Append(file);
  // Taken once the file is in, so that a file that fails leaves the sheet as it was.
  first = false;
  TakeJobData(job);
  TakeImageData(separation);
  m_ThumbnailWidth = thumbnail.width;
  m_ThumbnailLength = thumbnail.length;
  m_Scale = thumbnail.scale;
}

std::uint32_t IMPN_Sheet::BackupMode(std::uint16_t workStyle, std::uint16_t orientation) {
  static std::uint32_t const kWorkStyleTerm[] = {1, 1, 2, 3, 4};
  static std::uint32_t const kOrientationTerm[] = {0, 2, 1, 3};
  std::uint32_t sum = 0;
  if (workStyle < 5)
    sum += kWorkStyleTerm[workStyle];
  if (orientation < 4)
    sum += kOrientationTerm[orientation];
  return sum % 2 == 1 ? 1 : 2;
}

void IMPN_Sheet::DetermineBackupOffsets() {
  std::memset(m_BackupOffsetX, 0, sizeof m_BackupOffsetX);
  std::memset(m_BackupOffsetY, 0, sizeof m_BackupOffsetY);
  if (!m_Front.HasSeparations() || !m_Back.HasSeparations())
    return;
  IMPN_RectT<long> const fronts[] = {m_Front.GetPressSheetRect(),
                                     PageUnion(m_Front.GetPageEdges())};
  IMPN_RectT<long> const backs[] = {m_Back.GetPressSheetRect(), PageUnion(m_Back.GetPageEdges())};
  for (int a = kIMPN_AlignPressSheets; a <= kIMPN_AlignPages; ++a) {
    IMPN_RectT<long> const& f = fronts[a - 1];
    IMPN_RectT<long> const& b = backs[a - 1];
    double const cxA = f.left + f.width * 0.5, cyA = f.top + f.height * 0.5;
    double const cxB = b.left + b.width * 0.5, cyB = b.top + b.height * 0.5;
    double dx = 0, dy = 0;
    if (m_BackupMode == 1) {
      dx = static_cast<double>(m_ImageWidth) - cxB - cxA;
      dy = cyA - cyB;
    } else {
      dx = cxA - cxB;
      dy = static_cast<double>(m_ImageLength) - cyB - cyA;
    }
    for (int z = 0; z < kIMPN_ZoomLevelCount; ++z) {
      double const factor = kIMPN_ZoomFactor[z];
      m_BackupOffsetX[a][z] = RoundedOffset(factor * dx);
      m_BackupOffsetY[a][z] = RoundedOffset(factor * dy);
    }
  }
}

void IMPN_Sheet::Init() {
  m_BackupMode = BackupMode(m_WorkStyle, m_Orientation);
  DetermineBackupOffsets();
  m_Front.Init();
  m_Back.Init();
  if (IMPN_ThumbnailImage const* thumbnail = ImagingSurface().GetThumbnailImage()) {
    m_ThumbnailWidth = static_cast<std::uint32_t>(thumbnail->GetWidth());
    m_ThumbnailLength = static_cast<std::uint32_t>(thumbnail->GetLength());
    m_Scale = static_cast<std::uint32_t>(MATH_Round(thumbnail->GetScale()));
  }
  ResetVersions();
}

IMPN_Surface const& IMPN_Sheet::ImagingSurface() const {
  return m_Front.HasSeparations() ? m_Front : m_Back;
}

long IMPN_Sheet::GetImageWidth(IMPN_ZoomLevel level) const {
  IMPN_TiledImage const* image = ImagingSurface().GetTiledImage();
  return image ? image->GetScaledWidth(level) : 0;
}

long IMPN_Sheet::GetImageLength(IMPN_ZoomLevel level) const {
  IMPN_TiledImage const* image = ImagingSurface().GetTiledImage();
  return image ? image->GetScaledLength(level) : 0;
}

void IMPN_Sheet::ResetVersions() {
  m_VersionNames.clear();
  IMPN_Surface const* const sides[] = {&m_Front, &m_Back};
  for (IMPN_Surface const* side : sides)
    for (IMPN_Separation const* separation : side->GetSeparations())
      for (USTR_String const& name : separation->GetVersionNames())
        if (std::find(m_VersionNames.begin(), m_VersionNames.end(), name) == m_VersionNames.end())
          m_VersionNames.push_back(name);
  if (m_VersionNames.empty())
    return;
  m_VersionNames.insert(m_VersionNames.begin(),
                        iUSTR_GetLocalizedString(USTR_LOCALIZED_KEY("CKRX_Common", 10222)));

  for (IMPN_Surface const* side : sides)
    for (IMPN_Separation* separation : side->GetSeparations()) {
      IMPN_Separation::VersionMask mask;
      if (separation->IsCommonToAllVersions()) {
        IMPN_Tools::SetProfileRange(mask, 0, m_VersionNames.size());
      } else {
        for (std::size_t k = 1; k < m_VersionNames.size() && k < mask.size(); ++k)
          if (separation->HasVersion(m_VersionNames[k]))
            mask.set(k);
      }
      separation->SetVersionMask(mask);
    }
}

void IMPN_Sheet::GetAllSheets(std::vector<IMPN_Sheet*>& out) {
  GFIL_FileSpecVector front = SelectedFiles(m_Front);
  GFIL_FileSpecVector back = SelectedFiles(m_Back);
  if (front.empty() && back.empty())
    return;
  auto sheet = std::make_unique<IMPN_Sheet>(front, back);
  out.push_back(sheet.get());
  sheet.release();  // the caller's now
}

std::vector<IMPN_Surface*> IMPN_Sheet::SurfacesWithSeparations() {
  std::vector<IMPN_Surface*> sides;
  if (m_Front.HasSeparations())
    sides.push_back(&m_Front);
  if (m_Back.HasSeparations())
    sides.push_back(&m_Back);
  return sides;
}

std::uint64_t IMPN_Sheet::GetPrintTimeSeconds() const {
  std::uint64_t sum = 0;
  std::uint64_t count = 0;
  IMPN_Surface const* const sides[] = {&m_Front, &m_Back};
  for (IMPN_Surface const* side : sides)
    if (side->HasSeparations()) {
      sum += side->GetPrintTimeSeconds();
      ++count;
    }
  return count ? sum / count : 0;
}

void IMPN_Sheet::Clear() {
  m_Front.Clear();
  m_Back.Clear();
}

void IMPN_Sheet::SelectRecent() {
  m_Front.SelectRecent();
  m_Back.SelectRecent();
  std::vector<IMPN_Surface*> const sides = SurfacesWithSeparations();
  if (sides.empty())
    m_SelectedState = kIMPN_ButtonOff;
  else if (sides.size() == 1)
    m_SelectedState = sides[0]->GetSelectedState();
  else if (m_Front.GetSelectedState() == m_Back.GetSelectedState() &&
           m_Front.GetSelectedState() != kIMPN_ButtonMixed)
    m_SelectedState = m_Front.GetSelectedState();
  else
    m_SelectedState = kIMPN_ButtonMixed;
}

void IMPN_Sheet::SelectChildren(IMPN_ButtonState state) {
  SelectEachChild(SurfacesWithSeparations(), state);
}

void IMPN_Sheet::UpdateParentSelections() {
  UpdateSelectionFromChildren(SurfacesWithSeparations());
}

int IMPN_Sheet::CompareTo(IMPN_Node const* other, SortKey key) {
  IMPN_Sheet const* that = dynamic_cast<IMPN_Sheet const*>(other);
  if (!that)
    return 0;
  switch (key) {
    case kIdentityOrder:
      return static_cast<int>(m_Web) - static_cast<int>(that->m_Web);
    case kCountOrPrintOrder:
      return 0;
    case kPrintTime:
      return iIMPN_ComparePrintTimes(GetPrintTimeSeconds(), that->GetPrintTimeSeconds());
    default:
      return IMPN_Node::CompareTo(other, key);
  }
}

void IMPN_Sheet::Print(long indent) {
  std::string margin = PrintMargin(indent);
  std::cout << margin << "Sheet/Web<" << m_Web << ">\n";
  std::cout << margin << "Title            : " << m_Title << "\n";
  std::cout << margin << "Image Width      : " << m_ImageWidth << "\n";
  std::cout << margin << "Image Length     : " << m_ImageLength << "\n";
  std::cout << margin << "Thumbnail Width  : " << m_ThumbnailWidth << "\n";
  std::cout << margin << "Thumbnail Length : " << m_ThumbnailLength << "\n";
  margin += "  ";
  if (m_Front.HasSeparations()) {
    std::cout << margin << "Front Surface :\n";
    m_Front.Print(indent + 2);
  }
  if (m_Back.HasSeparations()) {
    std::cout << margin << "Back Surface :\n";
    m_Back.Print(indent + 2);
  }
}

std::string IMPN_Sheet::ToString() const {
  static char const* const kWorkStyles[] = {" - SS", " - SW", " - PF", " - WNTurn", " - WNTumble"};
  static char const* const kOrientations[] = {" - UP", " - DOWN", " - LEFT", " - RIGHT"};
  std::string text = "Web " + std::to_string(m_Web);
  if (m_Front.HasSeparations())
    text += " F[" + m_Front.ToString() + "]";
  if (m_Back.HasSeparations())
    text += " B[" + m_Back.ToString() + "]";
  if (m_WorkStyle < 5)
    text += kWorkStyles[m_WorkStyle];
  if (m_Orientation < 4)
    text += kOrientations[m_Orientation];
  return text;
}
