// The process-wide run-mode state.
#include "records/app_state.h"

AppStateRecord AppState;
