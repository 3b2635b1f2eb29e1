#include "cicom_doc.h"
