#include "IMPN/IMPN_Surface.h"

#include "GLIB/GLIB_Math.h"
#include "GLIB/GLIB_StringUtils.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_ThumbnailImage.h"
#include "IMPN/IMPN_TiledImage.h"
#include "IMPN/iIMPN_Compare.h"
#include "TIFX/TIFX_KRXFile.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <limits>
#include <set>

namespace {
// Newest first: later print time, then smaller print order, colour code and ink name.
struct IMPN_SeparationComparator {
  bool operator()(IMPN_Separation const* a, IMPN_Separation const* b) const {
    std::uint64_t const ta = a->GetPrintTimeSeconds();
    std::uint64_t const tb = b->GetPrintTimeSeconds();
    if (ta != tb)
      return ta > tb;
    if (a->GetPrintOrder() != b->GetPrintOrder())
      return a->GetPrintOrder() < b->GetPrintOrder();
    if (a->GetColorCode() != b->GetColorCode())
      return iIMPN_ColorRank(a->GetColorCode()) < iIMPN_ColorRank(b->GetColorCode());
    return GLIB_stricmp(a->GetInkName().c_str(), b->GetInkName().c_str()) < 0;
  }
};

// A file's edge or extent as a long, which has 32 bits on Windows: computed in 64 bits and
// kept within the range of long.
long ToLong(std::int64_t v) {
  return static_cast<long>(MATH_Clamp<std::int64_t>(v, std::numeric_limits<long>::min(),
                                                    std::numeric_limits<long>::max()));
}

// Edges to a rectangle; inclusive adds the last row and column.
IMPN_RectT<long> RectFromEdges(std::uint32_t top, std::uint32_t left, std::uint32_t bottom,
                               std::uint32_t right, bool inclusive = true) {
  std::int64_t const extra = inclusive ? 1 : 0;
  return IMPN_RectT<long>(ToLong(top), ToLong(left),
                          ToLong(std::int64_t{right} + extra - std::int64_t{left}),
                          ToLong(std::int64_t{bottom} + extra - std::int64_t{top}));
}

IMPN_SCPath ClipPathFrom(TIFX_SCPath const& path) {
  IMPN_SCPath result;
  long minX = path.front().x, maxX = path.front().x;
  long minY = path.front().y, maxY = path.front().y;
  for (TIFX_Point const& p : path) {
    result.points.push_back(IMPN_PointT<long>(p.x, p.y));
    minX = std::min<long>(minX, p.x);
    maxX = std::max<long>(maxX, p.x);
    minY = std::min<long>(minY, p.y);
    maxY = std::max<long>(maxY, p.y);
  }
  result.bounds = IMPN_RectT<long>(minY, minX, ToLong(std::int64_t{maxX} - minX),
                                   ToLong(std::int64_t{maxY} - minY));
  return result;
}

bool HasTypeSafetyFields(TIFX_NoltDirectory const& directory) {
  return directory.FieldBitSet(NoltField::PageTypeSafetyTop) &&
         directory.FieldBitSet(NoltField::PageTypeSafetyLeft) &&
         directory.FieldBitSet(NoltField::PageTypeSafetyBottom) &&
         directory.FieldBitSet(NoltField::PageTypeSafetyRight);
}
}  // namespace

IMPN_Surface::IMPN_Surface(bool front)
    : m_Color(255, 255, 255),
      m_Opacity(100),
      m_HasClipPaths(false),
      m_HasTypeSafetyBoxes(false),
      m_Front(front) {}

IMPN_Surface::IMPN_Surface(bool front, IMPN_Node* sheet) : IMPN_Surface(front) {
  m_Parent = sheet;
}

IMPN_Surface::IMPN_Surface(TIFX_KRXFile&, bool front) : IMPN_Surface(front) {}

IMPN_Surface::~IMPN_Surface() {
  IMPN_Surface::Clear();
}

void IMPN_Surface::Add(TIFX_KRXFile& file) {
  AddFile(file, false);
}

IMPN_Separation& IMPN_Surface::Append(TIFX_KRXFile& file) {
  return AddFile(file, true);
}

IMPN_Separation& IMPN_Surface::AddFile(TIFX_KRXFile& file, bool withTypeSafety) {
  file.SelectImageDirectory();
  // Made first so that a file that fails on the way leaves the surface untouched.
  std::unique_ptr<IMPN_Separation> separation(new IMPN_Separation(file));
  TIFX_NoltDirectory const& directory = file.GetPrivateDirectory();
  if (m_Separations.empty())
    TakePageGeometry(directory, withTypeSafety);
  return InsertSeparation(std::move(separation), directory.FieldBitSet(NoltField::PrintOrder),
                          file);
}

void IMPN_Surface::CreateAndInsertSeparation(TIFX_KRXFile& file) {
  file.SelectImageDirectory();
  std::unique_ptr<IMPN_Separation> separation(new IMPN_Separation(file));
  InsertSeparation(std::move(separation),
                   file.GetPrivateDirectory().FieldBitSet(NoltField::PrintOrder), file);
}

void IMPN_Surface::TakePageGeometry(TIFX_NoltDirectory const& d, bool withTypeSafety) {
  m_PressSheetRect = RectFromEdges(d.PressSheetTop, d.PressSheetLeft, d.PressSheetBottom,
                                   d.PressSheetRight, false);
  m_HasClipPaths = d.FieldBitSet(NoltField::PageSourceClipPath);
  if (withTypeSafety && HasTypeSafetyFields(d))
    m_HasTypeSafetyBoxes = true;
  SetPageInfo(d.Pages);
}

IMPN_Separation& IMPN_Surface::InsertSeparation(std::unique_ptr<IMPN_Separation> separation,
                                                bool hasPrintOrder, TIFX_KRXFile& file) {
  // Room in the lay-down order first: once the surface owns the separation, listing it
  // cannot fail.
  m_Separations.reserve(m_Separations.size() + 1);
  IMPN_Separation& inserted = *separation;
  m_Owned.push_back(std::move(separation));
  IMPN_Separation const* s = &inserted;
  auto position = m_Separations.end();
  if (hasPrintOrder) {
    position =
        std::find_if(m_Separations.begin(), m_Separations.end(), [s](IMPN_Separation const* o) {
          return o->GetPrintOrder() > s->GetPrintOrder();
        });
  } else if (s->GetColorCode() != 0) {
    position =
        std::find_if(m_Separations.begin(), m_Separations.end(), [s](IMPN_Separation const* o) {
          return o->GetColorCode() == 0 || o->GetColorCode() > s->GetColorCode();
        });
  }
  m_Separations.insert(position, &inserted);
  inserted.AddChild(file, this);
  return inserted;
}

void IMPN_Surface::SetPageInfo(std::vector<TIFX_Page> const& pages) {
  for (TIFX_Page const& page : pages) {
    IMPN_PageEdge edge;
    edge.pageNumber = page.Number;
    edge.orientation = page.Orientation;
    edge.rect = RectFromEdges(page.PosnTop, page.PosnLeft, page.PosnBottom, page.PosnRight);
    m_PageEdges.push_back(edge);
    m_BleedRects.push_back(
        RectFromEdges(page.BleedTop, page.BleedLeft, page.BleedBottom, page.BleedRight));
    m_MaxBleedRects.push_back(RectFromEdges(page.MaxBleedTop, page.MaxBleedLeft,
                                            page.MaxBleedBottom, page.MaxBleedRight));
    if (m_HasClipPaths) {
      std::vector<IMPN_SCPath> paths;
      for (TIFX_SCPath const& path : page.SCPaths) {
        if (!path.empty())  // a path without points bounds nothing
          paths.push_back(ClipPathFrom(path));
      }
      m_ClipPaths.push_back(paths);
    }
    if (m_HasTypeSafetyBoxes)
      m_TypeSafetyRects.push_back(RectFromEdges(page.TypeSafetyTop, page.TypeSafetyLeft,
                                                page.TypeSafetyBottom, page.TypeSafetyRight));
  }
}

void IMPN_Surface::Init() {
  if (m_Separations.empty())
    return;
  for (IMPN_Separation* separation : m_Separations)
    separation->Init();
  if (!m_TiledImage)
    m_TiledImage.reset(new IMPN_TiledImage(m_Separations, m_Color));
  if (!m_ThumbnailImage)
    m_ThumbnailImage.reset(new IMPN_ThumbnailImage(m_Separations, m_Color));
}

void IMPN_Surface::CloseFiles() {
  for (IMPN_Separation* separation : m_Separations)
    separation->CloseFile();
}

std::uint32_t IMPN_Surface::GetTimeStamp() const {
  std::uint32_t newest = 0;
  for (IMPN_Separation const* separation : m_Separations)
    newest = std::max(newest, separation->GetTimeStamp());
  return newest;
}

void IMPN_Surface::ResetLayDownOrder(std::vector<IMPN_Separation*>& order) {
  m_Separations.swap(order);
  for (IMPN_Separation* separation : m_Separations)
    separation->SetTimeStamp(IMPN_Registry::GetNewTimeStamp());
  // Indexed tiles name separations by their place in the order.
  if (m_TiledImage)
    m_TiledImage->ResetCache();
}

std::uint64_t IMPN_Surface::GetPrintTimeSeconds() const {
  if (m_Separations.empty())
    return 0;
  std::uint64_t sum = 0;
  for (IMPN_Separation const* separation : m_Separations)
    sum += separation->GetPrintTimeSeconds();
  return sum / m_Separations.size();
}

void IMPN_Surface::ClearPageGeometry() {
  m_PressSheetRect = IMPN_RectT<long>();
  m_PageEdges.clear();
  m_BleedRects.clear();
  m_MaxBleedRects.clear();
  m_ClipPaths.clear();
  m_TypeSafetyRects.clear();
  m_HasClipPaths = false;
  m_HasTypeSafetyBoxes = false;
}

void IMPN_Surface::DeleteSeparations() {
  m_Separations.clear();
  m_Owned.clear();
}

void IMPN_Surface::Clear() {
  // Everything the first file set goes too, so that the next first file sets it afresh.
  ClearPageGeometry();
  // The images refer to the separations.
  m_TiledImage.reset();
  m_ThumbnailImage.reset();
  DeleteSeparations();
}

void IMPN_Surface::SelectRecent() {
  if (m_Separations.empty()) {
    m_SelectedState = kIMPN_ButtonOff;
    return;
  }
  std::vector<IMPN_Separation*> newestFirst(m_Separations);
  std::stable_sort(newestFirst.begin(), newestFirst.end(), IMPN_SeparationComparator());

  // A plate is known by its print order, or by its ink name when it has none; a plate that
  // has neither cannot be told apart from others and stays selected.
  std::set<std::uint16_t> printOrdersSeen;
  std::set<std::string> inkNamesSeen;
  bool allSelected = true;
  for (IMPN_Separation* separation : newestFirst) {
    bool newest = true;
    if (separation->GetPrintOrder() != 0)
      newest = printOrdersSeen.insert(separation->GetPrintOrder()).second;
    else if (!separation->GetInkName().empty())
      newest = inkNamesSeen.insert(separation->GetInkName()).second;
    separation->SetSelectedState(newest ? kIMPN_ButtonOn : kIMPN_ButtonOff);
    allSelected = allSelected && newest;
  }
  m_SelectedState = allSelected ? kIMPN_ButtonOn : kIMPN_ButtonMixed;
}

void IMPN_Surface::SelectChildren(IMPN_ButtonState state) {
  SelectEachChild(m_Separations, state);
}

void IMPN_Surface::UpdateParentSelections() {
  UpdateSelectionFromChildren(m_Separations);
}

int IMPN_Surface::CompareTo(IMPN_Node const* other, SortKey key) {
  IMPN_Surface const* that = dynamic_cast<IMPN_Surface const*>(other);
  if (!that)
    return 0;
  switch (key) {
    case kIdentityOrder:
      if (m_Front == that->m_Front)
        return 0;
      return m_Front ? -1 : 1;
    case kCountOrPrintOrder:
      return 0;
    case kPrintTime:
      return iIMPN_ComparePrintTimes(GetPrintTimeSeconds(), that->GetPrintTimeSeconds());
    default:
      return IMPN_Node::CompareTo(other, key);
  }
}

void IMPN_Surface::Print(long indent) {
  std::string const margin = PrintMargin(indent);
  static char const* const kLines[] = {
      "Color          []", "PressSheetEdge []", "PageEdge       []", "BleedEdge      []",
      "MaxBleedEdge   []", "Image          []", "Thumbnail      []"};
  for (char const* line : kLines)
    std::cout << margin << line << "\n";
  for (IMPN_Separation* separation : m_Separations)
    separation->Print(indent + 1);
}

std::string IMPN_Surface::ToString() const {
  static char const kProcessLetters[] = {'C', 'M', 'Y', 'K'};
  std::string text;
  for (std::uint16_t code = 1; code <= 4; ++code) {
    bool const present =
        std::any_of(m_Separations.begin(), m_Separations.end(),
                    [code](IMPN_Separation const* s) { return s->GetColorCode() == code; });
    if (present)
      text += kProcessLetters[code - 1];
  }
  char next = '1';
  for (IMPN_Separation const* separation : m_Separations) {
    if (separation->GetColorCode() == 0)
      text += next++;
  }
  return text;
}
