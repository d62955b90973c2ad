// CoreFoundation umbrella of the stand-in: each CF header of the stand-in is listed here.
#ifndef STANDIN_COREFOUNDATION_COREFOUNDATION_H
#define STANDIN_COREFOUNDATION_COREFOUNDATION_H

#include <MacTypes.h>

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>
#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFNumberFormatter.h>

#endif
