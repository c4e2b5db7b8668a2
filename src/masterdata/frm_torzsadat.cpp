#include "frm_torzsadat.h"

#include "common/sqltext.h"
#include "common/values.h"
#include "db/dberror.h"
#include "db/table.h"
#include "frm_torzsadat_szerkeszt.h"
#include "gui/dialogfields.h"
#include "gui/messagebox.h"
#include "masterdatarows.h"

#include <QAction>

using namespace Qt::StringLiterals;

namespace {

ListWindow::Config MasterDataConfig(const QString &table, const QString &caption)
{
    const QString t = CheckedTableName(table);
    const QString nameColumn = MasterDataNameColumn(t);
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
    onAction(New, [this] { onNewTriggered(); });
    onAction(Edit, [this] { onEditTriggered(); });
    onAction(Delete, [this] { onDeleteTriggered(); });
}

void Tfrm_Torzsadat::onNewTriggered()
{
    if (!checkChangeRight())
        return;
    const int id =
        EditMasterDataRow(connection(), -1, m_table, m_caption, changeRight(), font().pointSize(), this);
    if (id != -1)
        rereadAt(id);
}

void Tfrm_Torzsadat::onEditTriggered()
{
    if (!checkRowSelected() || !checkChangeRight())
        return;
    const int id = EditMasterDataRow(connection(), ValueToInt(currentValue(m_table), -1), m_table, m_caption,
                                     changeRight(), font().pointSize(), this);
    if (id != -1)
        rereadAt(id);
}

void Tfrm_Torzsadat::onDeleteTriggered()
{
    if (!checkRowSelected() || !checkChangeRight() || !confirmRowDelete())
        return;
    DeleteMasterDataRow(connection(), m_table, ValueToInt(currentValue(m_table)));
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
    const QString nameColumn = MasterDataNameColumn(t);
    Table tbl(&con, t);
    // A row gone meanwhile is reported by the opening.
    OpenRowForEditing(tbl, id == -1 ? QString() : t + u" = "_s + ValueToIntText(id));

    Tfrm_Torzsadat_Szerkeszt editor(parent);
    ApplyFontSize(&editor, fontSize);
    editor.setCaption(caption);
    editor.setIdText(id == -1 ? QString() : ValueToIntText(tbl.value(t)));
    const int column = tbl.rows().fieldIndex(nameColumn);
    if (column >= 0)
        editor.setMaxNameLength(int(tbl.fields().at(column).length));
    editor.setOkEnabled(masterDataRight);
    const bool saved = RunRowEditor(editor, tbl, nameColumn,
                                    [&editor](const DbError &error) { ShowException(error, &editor); });
    return saved ? ValueToInt(tbl.value(t), 0) : -1;
}
