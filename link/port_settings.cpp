#include "port_settings.h"
