#pragma once

#include "link_control.h"

// The link settings as stored ("Settings" group); absent values give the defaults.
LinkSettings LoadLinkSettings();

// The scan interval in seconds ("Scan", default 2), as stored.
int LoadScanInterval();
