#include "beall.h"

TBeall Beall;
