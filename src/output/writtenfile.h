#pragma once

#include <QString>

class QWidget;

// What follows the writing of a file the user asked for (an export, a report as PDF).

// Hands the file to the desktop's program for its kind.
void OpenWrittenFile(const QString &path);

// Tells where the file went and asks whether to open it; Yes opens it.
void OfferToOpenWrittenFile(const QString &path, QWidget *owner);
