#include "common/makerinfo.h"

#include "common/makersettings.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

const QRegularExpression &SchemePrefix()
{
    static const QRegularExpression re(u"^[A-Za-z][A-Za-z0-9+.-]*://"_s);
    return re;
}

QStringList ContactLinesOf(const char *joined)
{
    return QString::fromUtf8(joined).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

const MakerInfo &BuiltInMakerInfo()
{
    static const MakerInfo info{QString::fromUtf8(ORVANTH_DOCS_URL).trimmed(),
                                QString::fromUtf8(ORVANTH_HOMEPAGE_URL).trimmed(),
                                QString::fromUtf8(ORVANTH_MAIL).trimmed(), ContactLinesOf(ORVANTH_CONTACT)};
    return info;
}

QString DocsPageAddress(const QString &docsUrl)
{
    const QString site = HomePageAddress(docsUrl);
    if (site.isEmpty())
        return QString();
    return (site.endsWith(u'/') ? site : site + u'/') + u"prgdocs/index.php?prg=7"_s;
}

QString HomePageAddress(const QString &homePage)
{
    const QString address = homePage.trimmed();
    if (address.isEmpty() || SchemePrefix().match(address).hasMatch())
        return address;
    return u"https://"_s + address;
}

QString MailLink(const QString &mail)
{
    QString address = mail.trimmed();
    if (address.startsWith(u"mailto:"_s, Qt::CaseInsensitive))
        address = address.mid(7);
    if (address.isEmpty())
        return QString();
    return u"mailto:"_s + address + u"?subject=OrvantH program"_s;
}

QString ShownWebAddress(const QString &homePage)
{
    QString shown = homePage.trimmed();
    shown.remove(SchemePrefix());
    while (shown.endsWith(u'/'))
        shown.chop(1);
    return shown;
}

QString ContactText(const MakerInfo &maker)
{
    QStringList lines = maker.contactLines;
    QStringList addresses;
    if (const QString web = ShownWebAddress(maker.homePage); !web.isEmpty())
        addresses << u"honlap: "_s + web;
    if (const QString mail = maker.mail.trimmed(); !mail.isEmpty())
        addresses << u"e-mail: "_s + mail;
    // A blank line parts the maker's own lines from the addresses, as on a letterhead.
    if (!lines.isEmpty() && !addresses.isEmpty())
        lines << QString();
    return (lines + addresses).join(u'\n');
}

QString LicenceText()
{
    return u"Licenc: "_s + QString::fromUtf8(ORVANTH_LICENCE);
}

QString HelpTarget(const QString &installedGuide, const QString &docsUrl)
{
    if (!installedGuide.isEmpty())
        return installedGuide;
    return DocsPageAddress(docsUrl);
}
