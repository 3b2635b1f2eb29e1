#include "pty_radio.h"
