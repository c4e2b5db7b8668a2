#include "frm_valtozasok.h"

#include "changetablemodel.h"
#include "db/dberror.h"
#include "gui/busycursor.h"
#include "historybuttons.h"
#include "gui/listgrid.h"
#include "gui/messagebox.h"
#include "worddiff.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTextBrowser>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace frm_valtozasok {

// MySQL's error for a missing table: the database has no history.
constexpr unsigned NoSuchTable = 1146;

QString valueHtml(const QString &value, bool isNull)
{
    if (isNull)
        return u"<i>(üres)</i>"_s;
    return value.toHtmlEscaped().replace(u"\r\n"_s, u"<br>"_s).replace(u'\n', u"<br>"_s);
}

} // namespace frm_valtozasok

Tfrm_Valtozasok::Tfrm_Valtozasok(QWidget *parent) : RememberedDialog(parent, Remember::Bounds)
{
    setObjectName(u"frm_Valtozasok"_s);
    setWindowTitle(u"Változások"_s);
    resize(900, 600);
    m_heading = new QLabel(this);
    m_heading->setObjectName(u"Label1"_s);
    m_model = new ChangeTableModel(this);
    m_grid = NewListGrid(this, m_model, nullptr);
    const int widths[] = {140, 80, 110, 190, 190, 110, 120};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_grid->setColumnWidth(column, widths[column]);
    m_difference = new QTextBrowser(this);
    m_difference->setObjectName(u"Memo1"_s);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_grid);
    splitter->addWidget(m_difference);
    splitter->setSizes({360, 200});

    QDialogButtonBox *buttons = NewHistoryButtons(this);
    m_revertButton = AddRowButton(buttons, m_grid, u"Visszaállít"_s, u"btnVisszaallit"_s,
                                  u"A kijelölt változás régi értékét írja vissza, új módosításként."_s, [this](int row) {
                                      if (m_onRevert)
                                          m_onRevert(m_model->change(row));
                                  });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Tfrm_Valtozasok::showSelected);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);
}

void Tfrm_Valtozasok::setHeading(const QString &heading)
{
    m_heading->setText(heading);
}

void Tfrm_Valtozasok::setRows(QList<ChangeRow> rows)
{
    m_model->setRows(std::move(rows));
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
    showSelected();
}

void Tfrm_Valtozasok::showSelected()
{
    using namespace frm_valtozasok;
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid()) {
        m_difference->setPlainText(m_model->rowCount() == 0 ? u"A határozatnak nincs rögzített változása."_s
                                                             : QString());
        m_revertButton->setEnabled(false);
        return;
    }
    const ChangeRow &c = m_model->change(current.row());
    m_revertButton->setEnabled(c.operation == u'U' && CanRevertColumn(c.column));
    QString html = u"<b>%1</b> – %2, %3<br><br>"_s.arg(ColumnCaption(c.column).toHtmlEscaped(),
                                                      OperationCaption(c.operation),
                                                      c.when.toString(u"yyyy.MM.dd. HH:mm:ss"_s));
    // Texts are shown as what changed in them; short values as the old and the new one.
    if (c.operation == u'U' && !c.oldNull && !c.newNull &&
        (c.column == u"hatarozat"_s || c.column == u"felelos"_s || c.column == u"targy"_s))
        html += DiffHtml(WordDiff(c.oldValue, c.newValue));
    else
        html += u"Régi: "_s + valueHtml(c.oldValue, c.oldNull) + u"<br>Új: "_s + valueHtml(c.newValue, c.newNull);
    m_difference->setHtml(html);
}

bool ShowRecordChanges(Connection &con, int recordId, const QString &heading, const QString &documentStore,
                       QWidget *parent)
{
    QList<ChangeRow> rows;
    try {
        BusyCursor busy;
        rows = RecordChanges(con, recordId);
    } catch (const DbError &error) {
        if (error.number() != frm_valtozasok::NoSuchTable)
            throw;
        ShowInfoBox(u"Ennek az adatbázisnak nincs változásnaplója. Egy rendszergazda az Adatbázisok ablakban "
                    "(Adatbázis bővítése) veheti fel."_s,
                    parent);
        return false;
    }
    Tfrm_Valtozasok form(parent);
    form.setHeading(heading);
    form.setRows(std::move(rows));
    bool reverted = false;
    form.setRevertHandler([&](const ChangeRow &change) {
        if (!ConfirmBox(u"A(z) „%1” mező visszaáll a %2 előtti értékére:\n\n%3"_s.arg(
                            ColumnCaption(change.column), change.when.toString(u"yyyy.MM.dd. HH:mm"_s),
                            ChangeCellText(change.oldValue, change.oldNull)),
                        &form))
            return;
        const SaveResult saved = RevertChange(con, change, documentStore);
        if (saved.collision)
            ShowErrorBox(u"Ezt a mezőt közben egy másik munkaállomás is megváltoztatta; nézze meg újra a "
                         "változásokat."_s,
                         &form);
        else if (!saved.ok)
            ShowErrorBox(saved.error, &form);
        reverted = reverted || saved.ok;
        form.setRows(RecordChanges(con, recordId));
    });
    form.exec();
    return reverted;
}
