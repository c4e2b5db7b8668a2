#pragma once

#include <QString>

// Addresses opened by the help menu.
inline QString HelpPageAddress()
{
    return QStringLiteral("https://www.brennik.hu/prgdocs/index.php?prg=7");
}
inline QString HomePageAddress()
{
    return QStringLiteral("https://www.brennik.hu/");
}
inline QString MailAddress()
{
    return QStringLiteral("mailto:info@brennik.hu?subject=OrvantH program");
}
