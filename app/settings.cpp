// The in-memory settings.
#include "app/settings.h"

std::atomic<int32_t> SaveRecordsSwitch{0};
