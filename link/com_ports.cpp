#include "com_ports.h"
