// The datum corrected for drift now lives in the search library (datums.h), beside the leeway
// and the left and right datums it feeds; this name stays for the code that includes it.
#pragma once

#include "datums.h"
