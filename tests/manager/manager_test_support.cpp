#include "manager_test_support.h"

int CCountedControl::alive = 0;
