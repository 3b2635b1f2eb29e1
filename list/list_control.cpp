#include "list_control.h"
