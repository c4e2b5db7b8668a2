#include "profileparams.h"

#include "config/conprofile.h"
#include "db/dberror.h"

using namespace Qt::StringLiterals;

ConnectionParams ProfileConnectionParams(const ConnectionProfile &profile)
{
    const auto number = profile.portNumber();
    if (!number)
        throw DbError(u"A(z) '%1' nem érvényes portszám."_s.arg(profile.port));
    ConnectionParams params;
    params.database = profile.database;
    params.host = profile.host;
    params.port = *number;
    params.user = profile.user;
    params.password = profile.password;
    return params;
}
