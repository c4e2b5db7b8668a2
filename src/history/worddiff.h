#pragma once

#include <QList>
#include <QString>

// The difference of two texts word by word (words and the runs of spaces and line breaks between
// them are the units), for showing what an edit of a resolution text changed.
struct DiffPart
{
    enum Kind { Same, Removed, Added };
    Kind kind;
    QString text;
};

QList<DiffPart> WordDiff(const QString &before, const QString &after);

// The parts as HTML: removed words struck through on red, added ones underlined on green.
QString DiffHtml(const QList<DiffPart> &parts);
