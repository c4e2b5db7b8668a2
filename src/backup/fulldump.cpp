#include "fulldump.h"

#include "common/cp1250.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cstdio>

using namespace Qt::StringLiterals;

QString FindDumpProgram(const QString &configured)
{
    if (!configured.trimmed().isEmpty())
        return configured.trimmed();
    for (const QString &name : {u"mariadb-dump"_s, u"mysqldump"_s}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QByteArray DumpOptionsFileText(const QString &password)
{
    // The option file reader takes a double-quoted value with backslash escapes, so every byte of
    // the password (spaces, '#', quotes) arrives as typed.
    QByteArray quoted;
    for (const char c : ToCp1250(password)) {
        switch (c) {
        case '\\': quoted += "\\\\"; break;
        case '"': quoted += "\\\""; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default: quoted += c;
        }
    }
    return "[client]\npassword=\"" + quoted + "\"\n";
}

QStringList FullDumpArguments(const QString &optionsFile, const ConnectionParams &params,
                              const QString &resultFile)
{
    return {u"--defaults-extra-file="_s + optionsFile,
            u"-c"_s,
            u"-C"_s,
            u"--force"_s,
            u"--single-transaction"_s,
            u"--default-character-set=latin2"_s,
            u"--host="_s + params.host,
            u"--port="_s + QString::number(params.port),
            u"--user="_s + params.user,
            u"--result-file="_s + resultFile,
            u"--databases"_s,
            params.database};
}

DumpOutcome RunFullDump(const QString &program, const ConnectionParams &params, const QString &target,
                        const std::function<bool()> &keepGoing)
{
    DumpOutcome outcome;
    QTemporaryFile options(QDir::temp().filePath(u"orvanth-dump-XXXXXX.cnf"_s));
    // QTemporaryFile creates the file readable and writable by the owner alone.
    const QByteArray optionsText = DumpOptionsFileText(params.password);
    if (!options.open() || options.write(optionsText) != optionsText.size() || !options.flush()) {
        outcome.errorText = u"Az átmeneti beállítási állomány nem írható: "_s + options.errorString();
        return outcome;
    }
    const QFileInfo targetInfo(target);
    QTemporaryFile result(targetInfo.dir().filePath(u"."_s + targetInfo.fileName() + u".XXXXXX"_s));
    if (!result.open()) {
        outcome.errorText = u"Az állomány nem hozható létre: "_s + targetInfo.dir().path() + u" ("_s +
                            result.errorString() + u')';
        return outcome;
    }
    result.close();

    QProcess dump;
    dump.setProgram(program);
    dump.setArguments(FullDumpArguments(options.fileName(), params, result.fileName()));
    dump.setStandardOutputFile(QProcess::nullDevice());
    dump.start();
    if (!dump.waitForStarted()) {
        outcome.errorText =
            u"A mentőprogram nem indítható: "_s + program + u" ("_s + dump.errorString() + u')';
        return outcome;
    }
    while (!dump.waitForFinished(50)) {
        if (keepGoing && !keepGoing()) {
            dump.kill();
            dump.waitForFinished();
            outcome.status = DumpOutcome::Status::Stopped;
            return outcome;
        }
    }
    outcome.errorText = QString::fromLocal8Bit(dump.readAllStandardError()).trimmed();
    if (dump.exitStatus() != QProcess::NormalExit) {
        outcome.errorText = QString(u"A mentőprogram rendellenesen leállt. "_s + outcome.errorText).trimmed();
        return outcome;
    }
    if (dump.exitCode() != 0) {
        if (outcome.errorText.isEmpty())
            outcome.errorText = u"A mentőprogram hibakóddal ért véget: %1"_s.arg(dump.exitCode());
        return outcome;
    }
    // rename() replaces an older file in one step.
    if (std::rename(QFile::encodeName(result.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        outcome.errorText = u"Az állomány nem nevezhető át: "_s + target;
        return outcome;
    }
    result.setAutoRemove(false);
    outcome.status = DumpOutcome::Status::Done;
    return outcome;
}
