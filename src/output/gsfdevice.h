#pragma once

#include <QIODevice>
#include <QString>

typedef struct _GsfOutput GsfOutput;

// A libgsf output that writes into a QIODevice, so the compound-file writer can fill a
// QSaveFile or a QBuffer. The device must allow seeking (the file header is written last) and
// stays open; the caller owns both and unrefs the output.
GsfOutput *NewGsfDeviceOutput(QIODevice *device);
// Why a write through the output failed (WriteFailureReason()); empty when none did.
QString GsfDeviceOutputError(GsfOutput *output);
