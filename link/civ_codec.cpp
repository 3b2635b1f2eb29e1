#include "civ_codec.h"
