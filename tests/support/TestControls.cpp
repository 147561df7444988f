#include "tests/support/TestControls.h"

int CCountedControl::alive = 0;
