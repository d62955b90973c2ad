// CoreFoundation umbrella of the stand-in: each CF header of the stand-in is listed here.
#pragma once
#include <MacTypes.h>

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>
#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFNumberFormatter.h>
