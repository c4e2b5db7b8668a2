#include "frm_torzsme.h"

#include "common/sqltext.h"
#include "common/values.h"
#include "db/dberror.h"
#include "db/table.h"
#include "frm_torzsme_szerkeszt.h"
#include "gui/dialogfields.h"
#include "gui/messagebox.h"
#include "masterdatarows.h"

#include <QAction>

using namespace Qt::StringLiterals;

namespace frm_torzsme {

const QString SubjectColumn = u"targy"_s;

ListWindow::Config CatalogueConfig()
{
    ListWindow::Config c;
    c.objectName = u"frm_TorzsMe"_s;
    c.caption = u"Tárgy"_s;
    c.heading = u"Tárgy  "_s;
    c.defaultSize = QSize(560, 441);
    c.sql = QStringList{u"SELECT * FROM targy"_s, u"WHERE (targy<> '')"_s, u"ORDER BY 1;"_s};
    c.baseCondition = u"(targy <> '')"_s;
    c.columns = {{SubjectColumn, u"Tárgy"_s}};
    c.highlightColumn = 0;
    c.stretchMargin = 44;
    c.searchTerms = [](const QString &text) { return LikeAnyColumn(SubjectColumn, text); };
    c.searchField = SubjectColumn;
    c.titleClickSearches = false;
    c.idField = SubjectColumn;
    c.popupActions = {ListWindow::New, ListWindow::Edit, ListWindow::Delete, ListWindow::Accept,
                      ListWindow::Close};
    return c;
}

} // namespace frm_torzsme

Tfrm_TorzsMe::Tfrm_TorzsMe(Connection &connection, bool masterDataRight, QWidget *parent)
    : ListWindow(connection, frm_torzsme::CatalogueConfig(), parent)
{
    setChangeRight(masterDataRight);
    setActionShown(Accept, false);
    action(Search)->setToolTip(QString());
    action(Accept)->setToolTip(QString());
    setDoubleClickAction(Edit);
    onAction(New, [this] { onNewTriggered(); });
    onAction(Edit, [this] { onEditTriggered(); });
    onAction(Delete, [this] { onDeleteTriggered(); });
}

void Tfrm_TorzsMe::showEvent(QShowEvent *event)
{
    ListWindow::showEvent(event);
    focusSearchEdit();
}

void Tfrm_TorzsMe::onNewTriggered()
{
    if (!checkChangeRight())
        return;
    const QString text = EditSubject(connection(), QString(), font().pointSize(), this);
    if (!text.isEmpty())
        rereadAt(text);
}

void Tfrm_TorzsMe::onEditTriggered()
{
    if (!checkChangeRight())
        return;
    // With an empty list this starts a new subject.
    const QString text = EditSubject(connection(), ValueToStr(currentValue(frm_torzsme::SubjectColumn)),
                                     font().pointSize(), this);
    if (!text.isEmpty())
        rereadAt(text);
}

void Tfrm_TorzsMe::onDeleteTriggered()
{
    // An empty list has no current subject to delete.
    if (!checkChangeRight() || !checkRowSelected() || !confirmRowDelete())
        return;
    DeleteSubject(connection(), ValueToStr(currentValue(frm_torzsme::SubjectColumn)));
    reread();
}

void OpenSubjectCatalogue(Connection &con, bool masterDataRight, int fontSize, QWidget *parent)
{
    Tfrm_TorzsMe window(con, masterDataRight, parent);
    window.setFontSize(fontSize);
    window.open();
    window.exec();
}

QString EditSubject(Connection &con, const QString &subject, int fontSize, QWidget *parent)
{
    Table tbl(&con, frm_torzsme::SubjectColumn);
    // A subject gone meanwhile is reported by the opening.
    OpenRowForEditing(tbl, subject.isEmpty() ? QString() : u"targy = "_s + SqlQuoted(subject));

    Tfrm_TorzsMe_Szerkeszt editor(parent);
    ApplyFontSize(&editor, fontSize);
    const bool saved = RunRowEditor(editor, tbl, frm_torzsme::SubjectColumn, [&editor](const DbError &error) {
        ShowErrorBox(u"Hiányos, vagy hibás adatmegadás\r\n"_s + error.message(), &editor);
    });
    return saved ? ValueToStr(tbl.value(frm_torzsme::SubjectColumn)) : QString();
}
