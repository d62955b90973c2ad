// Holder of a Navigation Services reply: the code that fills a reply record hands it over with
// Adopt (the holder then owns its selection and file name); the holder disposes it when
// destroyed. Until then it holds a zeroed record and disposes nothing.
#pragma once

#include "UMAC/iUMAC_AutoFilled.h"

#include <HIToolbox/Navigation.h>

struct iUMAC_NavReplyDisposer {
  static void Dispose(NavReplyRecord& reply) { NavDisposeReply(&reply); }
};

using UMAC_AutoNavReplyRecord = iUMAC_AutoFilled<NavReplyRecord, iUMAC_NavReplyDisposer>;
