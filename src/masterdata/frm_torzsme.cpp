#include "frm_torzsme.h"

#include "gui/dialogfields.h"
#include "gui/messagebox.h"
#include "common/sqltext.h"
#include "common/values.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/table.h"
#include "frm_torzsme_szerkeszt.h"

#include <QAction>
#include <QLineEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString kSubject = u"targy"_s;

ListWindow::Config CatalogueConfig()
{
    ListWindow::Config c;
    c.objectName = u"frm_TorzsMe"_s;
    c.caption = u"Tárgy"_s;
    c.heading = u"Tárgy  "_s;
    c.defaultSize = QSize(560, 441);
    c.sql = QStringList{u"SELECT * FROM targy"_s, u"WHERE (targy<> '')"_s, u"ORDER BY 1;"_s};
    c.baseCondition = u"(targy <> '')"_s;
    c.columns = {{kSubject, u"Tárgy"_s}};
    c.highlightColumn = 0;
    c.stretchMargin = 44;
    c.searchTerms = [](const QString &text) { return LikeAnyColumn(kSubject, text); };
    c.searchField = kSubject;
    c.titleClickSearches = false;
    c.idField = kSubject;
    c.popupActions = {ListWindow::New, ListWindow::Edit, ListWindow::Delete, ListWindow::Accept,
                      ListWindow::Close};
    return c;
}

} // namespace

Tfrm_TorzsMe::Tfrm_TorzsMe(Connection &connection, bool masterDataRight, QWidget *parent)
    : ListWindow(connection, CatalogueConfig(), parent)
{
    setChangeRight(masterDataRight);
    setActionShown(Accept, false);
    action(Search)->setToolTip(QString());
    action(Accept)->setToolTip(QString());
    setDoubleClickAction(Edit);
    onAction(New, [this] { aUjExecute(); });
    onAction(Edit, [this] { aSzerkesztExecute(); });
    onAction(Delete, [this] { aTorolExecute(); });
}

void Tfrm_TorzsMe::showEvent(QShowEvent *event)
{
    ListWindow::showEvent(event);
    focusSearchBox();
}

void Tfrm_TorzsMe::aUjExecute()
{
    if (!checkChangeRight())
        return;
    const QString text = EditSubject(connection(), QString(), font().pointSize(), this);
    if (!text.isEmpty()) {
        reread();
        locate(kSubject, text);
    }
}

void Tfrm_TorzsMe::aSzerkesztExecute()
{
    if (!checkChangeRight())
        return;
    // With an empty list this starts a new subject.
    const QString text =
        EditSubject(connection(), ValueToStr(currentValue(kSubject)), font().pointSize(), this);
    if (!text.isEmpty()) {
        reread();
        locate(kSubject, text);
    }
}

void Tfrm_TorzsMe::aTorolExecute()
{
    if (!checkChangeRight())
        return;
    // An empty list has no current subject; deleting "its" subject would remove the hidden
    // empty one.
    if (isEmpty()) {
        ShowErrorBox(u"Nincs sor kiválasztva."_s, this);
        return;
    }
    if (!ConfirmBox(u"Valóban töröljem a sort?"_s, u"Megerősítés"_s, this))
        return;
    ExecSql(connection(), u"DELETE FROM targy WHERE targy = "_s + SqlQuoted(currentValue(kSubject)) + u';');
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
    Table tbl(&con, kSubject);
    if (subject.isEmpty()) {
        tbl.open(u"1 = 0"_s);
        tbl.append();
    } else {
        tbl.open(u"targy = "_s + SqlQuoted(subject));
        tbl.edit(0); // the subject may have gone meanwhile: edit() reports that
    }

    Tfrm_TorzsMe_Szerkeszt editor(parent);
    ApplyFontSize(&editor, fontSize);
    editor.setSubject(ValueToStr(tbl.value(kSubject)));
    editor.setSaveHandler([&] {
        const QString text = editor.subject();
        tbl.setValue(kSubject, text.isEmpty() ? QVariant() : QVariant(text));
        try {
            tbl.post();
        } catch (const DbError &error) {
            ShowErrorBox(u"Hiányos, vagy hibás adatmegadás\r\n"_s + error.message(), &editor);
            return false;
        }
        return true;
    });
    if (editor.exec() != QDialog::Accepted) {
        tbl.cancel();
        return QString();
    }
    return ValueToStr(tbl.value(kSubject));
}
