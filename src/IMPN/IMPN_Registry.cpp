#include "IMPN/IMPN_Registry.h"

#include "IMPN/IMPN_Imposition.h"
#include "IMPN/iIMPN_UsePreviewFile.h"
#include "TIFX/TIFX_KRXFile.h"

#include <iostream>
#include <memory>

std::uint32_t IMPN_Registry::sm_NextTimeStamp = 0;

std::uint32_t IMPN_Registry::GetNewTimeStamp() {
  return ++sm_NextTimeStamp;
}

IMPN_Registry::IMPN_Registry() : m_RejectedFileCount(0) {}

IMPN_Registry::~IMPN_Registry() {
  IMPN_Registry::Clear();
}

int IMPN_Registry::RegisterFiles(GFIL_FileSpecVector& specs, bool clearFirst) {
  if (clearFirst)
    Clear();
  m_RejectedFileCount = 0;
  int added = 0;
  for (GFIL_FileSpec const& spec : specs) {
    if (RegisterFile(spec))
      ++added;
    else
      ++m_RejectedFileCount;
  }
  SelectRecent();
  return added;
}

bool IMPN_Registry::RegisterFile(GFIL_FileSpec const& spec) {
  iIMPN_FileOutcome const outcome =
      iIMPN_UsePreviewFile(spec, [this](TIFX_KRXFile& file) { Add(file); });
  // A file that failed half way may have left a job, signature or sheet without a plate.
  if (outcome == iIMPN_FileOutcome::kFailed)
    RemoveEmptyBranches();
  return outcome == iIMPN_FileOutcome::kUsed;
}

void IMPN_Registry::RemoveEmptyBranches() {
  for (IMPN_Imposition* imposition : m_Impositions)
    imposition->RemoveEmptyBranches();
  m_Impositions.RemoveIf([](IMPN_Imposition const& i) { return i.GetSignatures().empty(); });
}

void IMPN_Registry::Add(TIFX_KRXFile& file) {
  file.SelectImageDirectory();
  std::string const& title = file.GetPrivateDirectory().Title;
  m_Impositions
      .FindOrAppend([&title](IMPN_Imposition const& i) { return i.GetTitle() == title; },
                    [&file] { return std::make_unique<IMPN_Imposition>(file); })
      ->AddChild(file, this);
}

IMPN_Imposition* IMPN_Registry::Find(std::string const& title) const {
  return m_Impositions.FindFirst(
      [&title](IMPN_Imposition const& i) { return i.GetTitle() == title; });
}

void IMPN_Registry::GetAllSheets(std::vector<IMPN_Sheet*>& out) {
  for (IMPN_Imposition* imposition : m_Impositions)
    imposition->GetAllSheets(out);
}

void IMPN_Registry::Clear() {
  m_Impositions.Clear();
}

void IMPN_Registry::SelectRecent() {
  for (IMPN_Imposition* imposition : m_Impositions)
    imposition->SelectRecent();
}

void IMPN_Registry::SelectChildren(IMPN_ButtonState state) {
  SelectEachChild(m_Impositions, state);
}

void IMPN_Registry::Print(long indent) {
  std::string const rule(65, '=');
  std::cout << rule << "\nImposition Registry\n" << rule << "\n";
  for (IMPN_Imposition* imposition : m_Impositions)
    imposition->Print(indent + 1);
}
