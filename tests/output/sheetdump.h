#pragma once

#include "testdatabase.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

// The sheets of a spreadsheet file as sheetdump.py reads them with xlrd or openpyxl; empty when
// the readers refuse the file.
inline QJsonArray ReadSheets(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {SourcePath(QStringLiteral("tests/output/sheetdump.py")), path});
    if (!python.waitForFinished(300000) || python.exitStatus() != QProcess::NormalExit ||
        python.exitCode() != 0) {
        qWarning("sheetdump.py failed: %s", python.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput())
        .object()
        .value(QStringLiteral("sheets"))
        .toArray();
}
