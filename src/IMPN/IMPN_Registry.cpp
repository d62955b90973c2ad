#include "IMPN/IMPN_Registry.h"

std::uint32_t IMPN_Registry::sm_NextTimeStamp = 0;

std::uint32_t IMPN_Registry::GetNewTimeStamp()
{
    return ++sm_NextTimeStamp;
}
