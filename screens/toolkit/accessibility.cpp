#include "accessibility.h"
