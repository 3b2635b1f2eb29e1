#include "list_format.h"
