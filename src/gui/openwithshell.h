#pragma once

#include <QString>
#include <QUrl>

// The address the desktop's default handler receives for a target: web addresses and
// "mailto:" links as they are, anything else as a local file, a relative path taken from the
// program folder.
QUrl ShellTargetUrl(const QString &target);

// Hands a document, a web address or a "mailto:" link to the desktop's default handler.
// A target that nothing can open is silently ignored.
void OpenWithShell(const QString &target);
