#include "sqlfiles.h"

#include "common/cp1250.h"
#include "common/paths.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

QString SqlFolder()
{
    return DataFolder() + u"/SQL"_s;
}

QString ReadSqlFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SqlFileError(u"A file nem olvasható: %1\r\n%2"_s.arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw SqlFileError(u"A file nem olvasható: %1\r\n%2"_s.arg(path, file.errorString()));
    return FromCp1250(bytes);
}

void WriteSqlFile(const QString &path, const QString &text)
{
    QString unmappable;
    const QByteArray bytes = ToCp1250(text, &unmappable);
    if (!unmappable.isEmpty())
        throw SqlFileError(u"Ezek a karakterek nem menthetők a fileba: %1"_s.arg(unmappable));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit())
        throw SqlFileError(u"A file nem írható: %1\r\n%2"_s.arg(path, file.errorString()));
}
