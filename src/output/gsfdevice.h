#pragma once

#include <QIODevice>
#include <QString>

typedef struct _GsfOutput GsfOutput;

// A libgsf output that writes into a QIODevice, so the compound-file writer can fill a
// QSaveFile or a QBuffer. The device must allow seeking (the file header is written last) and
// stays open; the caller owns both and unrefs the output.
GsfOutput *NewGsfDeviceOutput(QIODevice *device);
// The device's error text when a write through the output failed; empty otherwise.
QString GsfDeviceOutputError(GsfOutput *output);
