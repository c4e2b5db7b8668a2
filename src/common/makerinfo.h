#pragma once

#include <QString>
#include <QStringList>

// What the program tells about its maker, set when it is built and empty unless the deployment
// sets it: nothing is invented.
struct MakerInfo
{
    QString docsUrl;  // the documentation site, "https://host/"
    QString homePage; // "https://host/" or "www.host"
    QString mail;     // "info@host"
    QStringList contactLines;
};

// The build's own values (ORVANTH_DOCS_URL, ORVANTH_HOMEPAGE_URL, ORVANTH_MAIL, ORVANTH_CONTACT).
const MakerInfo &BuiltInMakerInfo();

// The program's documentation page on the documentation site; empty without a site.
QString DocsPageAddress(const QString &docsUrl);
// The home page as the desktop opens it: a bare "www.host" gets "https://", since without a
// scheme it would be taken for a file. Empty without a home page.
QString HomePageAddress(const QString &homePage);
// The "mailto:" link with the program's subject; empty without an address.
QString MailLink(const QString &mail);
// The home page as printed for a reader: no scheme, no trailing "/" ("www.host").
QString ShownWebAddress(const QString &homePage);

// The contact block of the about box: the contact lines, then the home page and the e-mail
// address when set. Empty when the build set none of them.
QString ContactText(const MakerInfo &maker);
// The licence line of the about box and of the package's copyright file.
QString LicenceText();

// What F1 opens: the guide installed with the program when there is one, else the
// documentation page; empty when there is neither.
QString HelpTarget(const QString &installedGuide, const QString &docsUrl);
