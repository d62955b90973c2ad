#ifndef IMPN_REGISTRY_H
#define IMPN_REGISTRY_H

#include "IMPN/IMPN_Node.h"

#include <cstdint>

// Root of the job tree. It also hands out the process-wide time stamps with which
// separations, colour tables and tiles mark their age.
class IMPN_Registry : public IMPN_Node
{
public:
    // Increasing stamps, the first is 1. A plain counter: the job model lives on one thread.
    static std::uint32_t GetNewTimeStamp();

    static std::uint32_t sm_NextTimeStamp;
};

#endif
