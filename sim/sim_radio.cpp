#include "sim_radio.h"
