#include "edit_wnd.h"
