#include "IMPN/IMPN_ZoomLevel.h"

float const kIMPN_ZoomFactor[kIMPN_ZoomLevelCount] = {
    8.0f,    4.0f,     2.0f,      1.0f,       0.5f,        0.25f,       0.125f,
    0.0625f, 0.03125f, 0.015625f, 0.0078125f, 0.00390625f, 0.001953125f};

char const* const kIMPN_ZoomLevelName[kIMPN_ZoomLevelCount] = {
    "8:1",  "4:1",  "2:1",  "1:1",   "1:2",   "1:4",  "1:8",
    "1:16", "1:32", "1:64", "1:128", "1:256", "1:512"};
