#include "IMPN/IMPN_ColorDBFile.h"

#include <windows.h>

bool IMPN_ColorDBFile::MoveOver(std::string const& from, std::string const& to) {
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void IMPN_ColorDBFile::ClearFileTypeAndCreator() const {
  // Windows files have no type or creator.
}
