#include "sqlfiles.h"

#include "common/cp1250.h"
#include "common/paths.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace sqlfiles {

constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");

bool IsValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool HasNonAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) > 0x7F)
            return true;
    }
    return false;
}

} // namespace sqlfiles

SqlFileEncoding DetectSqlFileEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith(sqlfiles::Utf8Bom))
        return SqlFileEncoding::Utf8WithBom;
    if (sqlfiles::HasNonAscii(bytes) && sqlfiles::IsValidUtf8(bytes))
        return SqlFileEncoding::Utf8;
    return SqlFileEncoding::Cp1250;
}

QString SqlFolder()
{
    return DataFolder() + u"/SQL"_s;
}

QString ReadSqlFile(const QString &path, SqlFileEncoding *encoding)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SqlFileError(u"A file nem olvasható: %1\r\n%2"_s.arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw SqlFileError(u"A file nem olvasható: %1\r\n%2"_s.arg(path, file.errorString()));
    const SqlFileEncoding found = DetectSqlFileEncoding(bytes);
    if (encoding)
        *encoding = found;
    switch (found) {
    case SqlFileEncoding::Utf8WithBom:
        return QString::fromUtf8(QByteArrayView(bytes).sliced(sqlfiles::Utf8Bom.size()));
    case SqlFileEncoding::Utf8: return QString::fromUtf8(bytes);
    case SqlFileEncoding::Cp1250: break;
    }
    return FromCp1250(bytes);
}

void WriteSqlFile(const QString &path, const QString &text, SqlFileEncoding encoding)
{
    QByteArray bytes;
    if (encoding == SqlFileEncoding::Cp1250) {
        QString unmappable;
        bytes = ToCp1250(text, &unmappable);
        if (!unmappable.isEmpty())
            throw SqlFileError(u"Ezek a karakterek nem menthetők a fileba: %1"_s.arg(unmappable));
    } else {
        bytes = (encoding == SqlFileEncoding::Utf8WithBom ? sqlfiles::Utf8Bom.toByteArray() : QByteArray()) +
                text.toUtf8();
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit())
        throw SqlFileError(u"A file nem írható: %1\r\n%2"_s.arg(path, file.errorString()));
}
