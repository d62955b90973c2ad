#include "IMPN/IMPN_Registry.h"

#include "GLIB/GLIB_Exception.h"
#include "IMPN/IMPN_Imposition.h"
#include "TIFX/TIFX_KRXFile.h"

#include <algorithm>
#include <iostream>

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
  // One bad file costs that file only: whatever it throws, the batch goes on.
  try {
    TIFX_KRXFile file(spec);
    file.Open();
    if (!file.IsValid())
      return false;
    Add(file);
    return true;
  } catch (TIFX_Exception const&) {
  } catch (GLIB_Exception const&) {
  } catch (std::exception const&) {
  }
  // A file that failed half way may have left a job, signature or sheet without a plate.
  RemoveEmptyBranches();
  return false;
}

void IMPN_Registry::RemoveEmptyBranches() {
  for (IMPN_Imposition* imposition : m_Impositions)
    imposition->RemoveEmptyBranches();
  auto empty = [](IMPN_Imposition* i) { return i->GetSignatures().empty(); };
  for (IMPN_Imposition* imposition : m_Impositions)
    if (empty(imposition))
      delete imposition;
  m_Impositions.erase(std::remove_if(m_Impositions.begin(), m_Impositions.end(), empty),
                      m_Impositions.end());
}

void IMPN_Registry::Add(TIFX_KRXFile& file) {
  if (file.CurrentDirectory() != 0)
    file.SetDirectory(0);
  IMPN_Imposition* imposition = Find(file.GetPrivateDirectory().Title);
  if (!imposition) {
    imposition = new IMPN_Imposition(file);
    m_Impositions.push_back(imposition);
  }
  imposition->AddChild(file, this);
}

IMPN_Imposition* IMPN_Registry::Find(std::string const& title) const {
  for (IMPN_Imposition* imposition : m_Impositions)
    if (imposition->GetTitle() == title)
      return imposition;
  return nullptr;
}

void IMPN_Registry::GetAllSheets(std::vector<IMPN_Sheet*>& out) {
  for (IMPN_Imposition* imposition : m_Impositions)
    imposition->GetAllSheets(out);
}

void IMPN_Registry::Clear() {
  for (IMPN_Imposition* imposition : m_Impositions)
    delete imposition;
  m_Impositions.clear();
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
