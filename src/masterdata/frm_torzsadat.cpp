#include "frm_torzsadat.h"

#include "gui/dialogfields.h"
#include "gui/messagebox.h"
#include "common/sqltext.h"
#include "common/values.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/table.h"
#include "frm_torzsadat_szerkeszt.h"

#include <QAction>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// The table name becomes part of SQL text: accept only a plain identifier.
const QString &CheckedTableName(const QString &table)
{
    static const QRegularExpression plain(u"^[A-Za-z_][A-Za-z0-9_]*$"_s);
    if (!plain.match(table).hasMatch())
        throw DbError(u"Érvénytelen táblanév: "_s + table);
    return table;
}

ListWindow::Config MasterDataConfig(const QString &table, const QString &caption)
{
    const QString t = CheckedTableName(table);
    const QString nameColumn = t + u"_nev"_s;
    ListWindow::Config c;
    c.objectName = u"frm_Torzsadat"_s;
    c.caption = caption;
    c.heading = caption + u"  "_s;
    c.defaultSize = QSize(502, 441);
    c.sql = QStringList{u"SELECT * FROM "_s + t, u"WHERE (1 = 1)"_s, u"ORDER BY "_s + nameColumn + u';'};
    c.baseCondition = u"(1 = 1)"_s;
    c.columns = {{nameColumn, caption}};
    c.highlightColumn = 0;
    c.stretchMargin = 44;
    c.searchTerms = [nameColumn](const QString &text) { return LikeAllWords(nameColumn, text); };
    c.searchField = nameColumn;
    c.titleClickSearches = true;
    c.idField = t;
    c.popupActions = {ListWindow::New,    ListWindow::Edit,   ListWindow::Delete,
                      ListWindow::Search, ListWindow::Accept, ListWindow::Close};
    return c;
}

} // namespace

Tfrm_Torzsadat::Tfrm_Torzsadat(Connection &connection, const QString &table, const QString &caption,
                               bool choice, bool masterDataRight, QWidget *parent)
    : ListWindow(connection, MasterDataConfig(table, caption), parent), m_table(table), m_caption(caption),
      m_choice(choice)
{
    setChangeRight(masterDataRight);
    setActionShown(Accept, choice);
    setDoubleClickAction(choice ? Accept : Edit);
    action(New)->setEnabled(masterDataRight);
    action(Delete)->setEnabled(masterDataRight);
    onAction(New, [this] { aUjExecute(); });
    onAction(Edit, [this] { aSzerkesztExecute(); });
    onAction(Delete, [this] { aTorolExecute(); });
}

void Tfrm_Torzsadat::aUjExecute()
{
    if (!checkChangeRight())
        return;
    const int id =
        EditMasterDataRow(connection(), -1, m_table, m_caption, changeRight(), font().pointSize(), this);
    if (id != -1) {
        reread();
        locateId(id);
    }
}

void Tfrm_Torzsadat::aSzerkesztExecute()
{
    if (isEmpty()) {
        ShowErrorBox(u"Nincs sor kiválasztva."_s, this);
        return;
    }
    if (!checkChangeRight())
        return;
    const int id = EditMasterDataRow(connection(), ValueToInt(currentValue(m_table), -1), m_table, m_caption,
                                     changeRight(), font().pointSize(), this);
    if (id != -1) {
        reread();
        locateId(id);
    }
}

void Tfrm_Torzsadat::aTorolExecute()
{
    if (isEmpty()) {
        ShowErrorBox(u"Nincs sor kiválasztva."_s, this);
        return;
    }
    if (!checkChangeRight())
        return;
    if (!ConfirmBox(u"Valóban töröljem a sort?"_s, u"Megerősítés"_s, this))
        return;
    ExecSql(connection(), u"DELETE FROM "_s + m_table + u" WHERE "_s + m_table + u" = "_s +
                              ValueToIntText(currentValue(m_table)) + u';');
    reread();
}

int OpenMasterData(Connection &con, int initialId, bool choice, const QString &table, const QString &caption,
                   bool masterDataRight, int fontSize, QWidget *parent)
{
    Tfrm_Torzsadat window(con, table, caption, choice, masterDataRight, parent);
    window.setFontSize(fontSize);
    window.open();
    window.locateId(initialId);
    if (window.exec() != QDialog::Accepted)
        return -1;
    return ValueToInt(window.currentValue(table), -1);
}

int EditMasterDataRow(Connection &con, int id, const QString &table, const QString &caption,
                      bool masterDataRight, int fontSize, QWidget *parent)
{
    const QString t = CheckedTableName(table);
    const QString nameColumn = t + u"_nev"_s;
    Table tbl(&con, t);
    if (id == -1) {
        tbl.open(u"1 = 0"_s);
        tbl.append();
    } else {
        tbl.open(t + u" = "_s + ValueToIntText(id));
        tbl.edit(0); // the row may have gone meanwhile: edit() reports that
    }

    Tfrm_Torzsadat_Szerkeszt editor(parent);
    ApplyFontSize(&editor, fontSize);
    editor.setCaption(caption);
    editor.setName(ValueToStr(tbl.value(nameColumn)));
    editor.setIdText(id == -1 ? QString() : ValueToIntText(tbl.value(t)));
    const int column = tbl.rows().fieldIndex(nameColumn);
    if (column >= 0)
        editor.setMaxNameLength(int(tbl.fields().at(column).length));
    editor.setOkEnabled(masterDataRight);

    int result = -1;
    editor.setSaveHandler([&] {
        const QString name = editor.name();
        // An empty edit is no name at all: the server decides whether the column may lack one.
        tbl.setValue(nameColumn, name.isEmpty() ? QVariant() : QVariant(name));
        try {
            tbl.post();
        } catch (const DbError &error) {
            // The row stays in the editor so that the user can correct it or cancel.
            ShowException(error, &editor);
            return false;
        }
        result = ValueToInt(tbl.value(t), 0);
        return true;
    });
    if (editor.exec() != QDialog::Accepted) {
        tbl.cancel();
        return -1;
    }
    return result;
}
