#pragma once

// The class moved to the database layer, where the register's reading uses it too; this name
// stays for the report preview until it includes the new one.
#include "db/arrivingrows.h"
