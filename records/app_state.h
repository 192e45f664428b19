// The process-wide run-mode state, filled by start-up.
#pragma once
#include "text/text.h"

struct AppStateRecord {
    char AppDirectory[kTextSize]; // with its trailing backslash
    int UserIsAdmin;
    int AdminMode;
};

extern AppStateRecord AppState;
