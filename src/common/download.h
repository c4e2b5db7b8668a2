#pragma once

#include <QString>

// The notices web service's base address (scheme, host and folder, ending in "/"), in front of
// request paths such as "verziokovetes.php?prg=1". Built in (ORVANTH_NOTICES_URL at configure
// time); the environment variable ORVANTH_NOTICES_URL or SetNoticesBaseUrl (tests) override it.
QString NoticesBaseUrl();
void SetNoticesBaseUrl(const QString &url);

// Fetches `url` into `localFile` and waits for the transfer (user input is held back meanwhile,
// so nothing re-enters). True only when the server answered with success and the whole reply
// is in the file; on any failure (no server, an HTTP error status, a time-out, a file that
// cannot be written) false, and an existing file is left as it was. Reports nothing itself.
bool DownloadToFile(const QString &url, const QString &localFile, int timeoutMs = 30000);
