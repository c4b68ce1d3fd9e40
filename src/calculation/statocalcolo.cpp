#include "calculation/statocalcolo.h"
