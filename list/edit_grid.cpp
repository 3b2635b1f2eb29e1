#include "edit_grid.h"
