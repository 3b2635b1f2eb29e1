#include "cat_codec.h"
