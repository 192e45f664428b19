// The windows' shared module and image lists.
#include "ui/app_ui.h"

AppUiRecord AppUi;
