#include "fileerror.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>
#include <cerrno>

using namespace Qt::StringLiterals;

QString SystemErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC: return u"megtelt a lemez"_s;
    case EDQUOT: return u"elfogyott a lemezterület-korlát (kvóta)"_s;
    case EFBIG: return u"az állomány nagyobb, mint amekkorát a rendszer megenged"_s;
    case EACCES:
    case EPERM: return u"nincs hozzá jogosultság"_s;
    case EROFS: return u"a lemez csak olvasható"_s;
    case ENOENT: return u"nincs ilyen állomány vagy mappa"_s;
    case ENOTDIR: return u"az útvonal egy tagja nem mappa"_s;
    case EISDIR: return u"ezen a néven mappa van"_s;
    case EIO: return u"a lemez olvasása vagy írása hibát jelzett"_s;
    case ENAMETOOLONG: return u"túl hosszú név"_s;
    case EMFILE:
    case ENFILE: return u"túl sok a megnyitott állomány"_s;
    case EBUSY:
    case ETXTBSY: return u"az állományt más program használja"_s;
    default: return qt_error_string(errorNumber);
    }
}

namespace {

// The system error number behind a text Qt made with qt_error_string(), 0 when none is known.
int errorNumberOf(const QString &qtText)
{
    for (const int number : {ENOSPC, EDQUOT, EFBIG, EACCES, EPERM, EROFS, ENOENT, ENOTDIR, EISDIR, EIO,
                             ENAMETOOLONG, EMFILE, ENFILE, EBUSY, ETXTBSY}) {
        if (qtText == qt_error_string(number))
            return number;
    }
    return 0;
}

QString fileNameOf(const QIODevice &device)
{
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    return file ? file->fileName() : QString();
}

} // namespace

QString WriteFailureReason(const QIODevice &device, int errorNumber)
{
    // EINTR and EAGAIN are retried by Qt, never the cause of a failed write.
    if (errorNumber != 0 && errorNumber != EINTR && errorNumber != EAGAIN)
        return SystemErrorText(errorNumber);
    const QString own = device.errorString();
    if (const int number = errorNumberOf(own))
        return SystemErrorText(number);
    if (!own.isEmpty() && own != QCoreApplication::translate("QIODevice", "Unknown error"))
        return own;
    const QString name = fileNameOf(device);
    if (!name.isEmpty()) {
        const QStorageInfo storage(QFileInfo(name).absolutePath());
        if (storage.isValid() && storage.bytesAvailable() == 0)
            return SystemErrorText(ENOSPC);
    }
    return u"ismeretlen okból"_s;
}

QString WriteFailedText(const QIODevice &device, int errorNumber, const QString &fileName)
{
    const QString name = fileName.isEmpty() ? fileNameOf(device) : fileName;
    return u"Az állomány nem írható: "_s + name + u" ("_s + WriteFailureReason(device, errorNumber) + u')';
}

QString WriteFailedText(const QIODevice &device, const QString &reason)
{
    return u"Az állomány nem írható: "_s + fileNameOf(device) + u" ("_s + reason + u')';
}
