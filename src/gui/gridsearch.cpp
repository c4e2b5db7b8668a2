#include "gridsearch.h"

#include <QKeyEvent>
#include <QStringView>

bool IsSearchStartCharacter(QChar typed)
{
    const QChar c = typed.toLower();
    if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z'))
        return true;
    return QStringView(u"áéíóöőúüű").contains(c);
}

bool StartsGridSearch(const QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString typed = event->text();
    return typed.size() == 1 && IsSearchStartCharacter(typed.at(0));
}
