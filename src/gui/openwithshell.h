#pragma once

#include <QString>
#include <QUrl>

// The address the desktop's default handler receives for a target: web addresses and
// "mailto:" links as they are, anything else as a local file, a relative path taken from the
// program folder.
QUrl ShellTargetUrl(const QString &target);

// Hands a document, a web address or a "mailto:" link to the desktop's default handler.
// False when nothing took it (no program is associated with it); the caller decides whether
// that is worth a word.
bool OpenWithShell(const QString &target);
