#include "IMPN/IMPN_ColorDBFile.h"

#include <cstdio>

bool IMPN_ColorDBFile::MoveOver(std::string const& from, std::string const& to)
{
    // rename replaces the target in one step, so readers see the old or the new file.
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void IMPN_ColorDBFile::ClearFileTypeAndCreator() const
{
    // A freshly written file carries no type or creator.
}
