#pragma once

// The loading indicator lives in ui/loading.h; this name stays for the files that include it so.
#include "ui/loading.h"
