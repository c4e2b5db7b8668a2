#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

bool LoadQtTranslations(QCoreApplication &app)
{
    const QLocale hungarian(QLocale::Hungarian, QLocale::Hungary);
    QLocale::setDefault(hungarian);
    auto translator = new QTranslator(&app);
    // qt_hu names the translations of every Qt module installed (qtbase_hu and the others).
    if (translator->load(hungarian, u"qt"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        return true;
    }
    delete translator;
    return false;
}
