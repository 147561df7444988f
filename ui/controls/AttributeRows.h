#pragma once
#include "ui/controls/ControlAttributes.h"
