#pragma once

#include "db/connection.h"

struct ConnectionProfile;

// The connection parameters of a stored profile. Throws DbError (the connection attempt fails)
// when the port is not a whole number in range: a wrapped-around number would silently reach
// another port.
ConnectionParams ProfileConnectionParams(const ConnectionProfile &profile);
