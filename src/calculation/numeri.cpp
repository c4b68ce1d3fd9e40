#include "calculation/numeri.h"
