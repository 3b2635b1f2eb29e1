#include "flex_grid.h"
