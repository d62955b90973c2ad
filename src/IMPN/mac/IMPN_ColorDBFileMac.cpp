#include "IMPN/IMPN_ColorDBFile.h"

#include "UMAC/UMAC_FileUtils.h"

#include <CoreServices/Files.h>

#include <cstdio>
#include <cstring>

bool IMPN_ColorDBFile::MoveOver(std::string const& from, std::string const& to) {
  // rename replaces the target in one step, so readers see the old or the new file.
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void IMPN_ColorDBFile::ClearFileTypeAndCreator() const {
  // A colour database is no document of the application: no type, no creator. Any failure
  // here leaves a file that works all the same.
  FSRef ref;
  if (UMAC_PathToFSRef(m_Path, ref) != noErr)
    return;
  FSCatalogInfo info;
  if (FSGetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info, nullptr, nullptr, nullptr) != noErr)
    return;
  FileInfo finderInfo;
  std::memcpy(&finderInfo, info.finderInfo, sizeof finderInfo);
  finderInfo.fileType = 0;
  finderInfo.fileCreator = 0;
  std::memcpy(info.finderInfo, &finderInfo, sizeof finderInfo);
  FSSetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info);
}
