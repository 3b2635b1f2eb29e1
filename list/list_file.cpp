#include "list_file.h"
