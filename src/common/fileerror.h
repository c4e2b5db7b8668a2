#pragma once

#include <QString>

class QIODevice;

// Why a file could not be written, in the words of the interface rather than the system's.

// The cause behind a system error number (errno), e.g. "megtelt a lemez" for ENOSPC.
QString SystemErrorText(int errorNumber);

// The cause of a write to `device` that has just failed. `errorNumber` is errno taken right after
// the failed call: Qt reports a short write (the usual form of a full disk) without a reason of
// its own, as "Unknown error". Failing that, the device's own text; failing that too, a full disk
// seen by the file system, else a plain "unknown cause".
QString WriteFailureReason(const QIODevice &device, int errorNumber);

// "Az állomány nem írható: <file> (<cause>)". The file is `fileName`, or the device's own name
// when it is a file.
QString WriteFailedText(const QIODevice &device, int errorNumber, const QString &fileName = {});
// The same with a cause found already (a WriteFailureReason() kept from an earlier write).
QString WriteFailedText(const QIODevice &device, const QString &reason);
