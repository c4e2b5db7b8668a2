#include "frm_valtozasok_idoszak.h"

#include "changehistory.h"
#include "changetablemodel.h"
#include "db/dberror.h"
#include "gui/listgrid.h"
#include "historybuttons.h"
#include "gui/messagebox.h"
#include "output/frm_hatarolt.h"
#include "register/perioddialogs.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// The period's rows as they came; cells are decoded only when painted.
class PeriodChangeModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::shared_ptr<ResultSet> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    const ResultSet &rows() const { return m_rows ? *m_rows : m_empty; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : rows().rowCount();
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 8; }
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        if (!index.isValid() || role != Qt::DisplayRole)
            return {};
        const ResultSet &rs = rows();
        const int row = index.row();
        // Columns of PeriodChangesSql: mikor, iktato, szam, muvelet, mezo, regi, uj, kliens, felhasznalo.
        switch (index.column()) {
        case 0:
            return rs.value(row, 0).toDateTime().toString(u"yyyy.MM.dd. HH:mm:ss"_s);
        case 1:
            return rs.isNull(row, 2) ? u"%1 (törölve)"_s.arg(rs.text(row, 1)) : rs.text(row, 2);
        case 2:
            return OperationCaption(rs.text(row, 3).front());
        case 3:
            return ColumnCaption(rs.text(row, 4));
        case 4:
            return ChangeCellText(rs.text(row, 5), rs.isNull(row, 5));
        case 5:
            return ChangeCellText(rs.text(row, 6), rs.isNull(row, 6));
        case 6:
            return rs.text(row, 8);
        case 7:
            return rs.text(row, 7);
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override
    {
        static const char16_t *const titles[] = {u"Időpont",    u"Határozat", u"Művelet",     u"Mező",
                                                 u"Régi érték", u"Új érték",  u"Felhasználó", u"Munkaállomás"};
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 8)
            return {};
        return QString::fromUtf16(titles[section]);
    }
    int recordId(int row) const { return rows().value(row, 1).toInt(); }
    bool isDeletion(int row) const { return rows().text(row, 3) == u"D"_s; }

private:
    std::shared_ptr<ResultSet> m_rows;
    ResultSet m_empty;
};

Tfrm_ValtozasokIdoszak::Tfrm_ValtozasokIdoszak(const ConnectionParams &params, QDate from, QDate to,
                                               QWidget *parent)
    : RememberedDialog(parent, Remember::Bounds), m_params(params), m_from(from), m_to(to)
{
    setObjectName(u"frm_ValtozasokIdoszak"_s);
    setWindowTitle(u"Változások: %1 – %2"_s.arg(from.toString(u"yyyy.MM.dd."_s), to.toString(u"yyyy.MM.dd."_s)));
    resize(1000, 600);
    m_status = new QLabel(u"Betöltés..."_s, this);
    m_status->setObjectName(u"Label1"_s);
    m_model = new PeriodChangeModel(this);
    m_grid = NewListGrid(this, m_model, nullptr);
    const int widths[] = {140, 110, 80, 110, 190, 190, 110, 120};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_grid->setColumnWidth(column, widths[column]);
    QDialogButtonBox *buttons = NewHistoryButtons(this);
    m_exportButton = AddRowButton(buttons, m_grid, u"Excelbe..."_s, u"btnExport"_s, QString(), [this](int) {
        if (m_onExport)
            m_onExport(m_model->rows());
    });
    m_bringBackButton =
        AddRowButton(buttons, m_grid, u"Visszahoz"_s, u"btnVisszahoz"_s,
                     u"A kijelölt törölt határozat visszahozása a számával, mellékletek nélkül"_s, [this](int row) {
                         if (m_model->isDeletion(row) && m_onBringBack)
                             m_onBringBack(m_model->recordId(row));
                     });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Tfrm_ValtozasokIdoszak::updateButtons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_grid, 1);
    layout->addWidget(buttons);
    updateButtons();
}

Tfrm_ValtozasokIdoszak::~Tfrm_ValtozasokIdoszak()
{
    if (m_worker.joinable())
        m_worker.join();
}

void Tfrm_ValtozasokIdoszak::load(std::function<void()> loaded)
{
    if (m_worker.joinable())
        m_worker.join();
    m_done = false;
    m_loaded = std::move(loaded);
    m_status->setText(u"Betöltés..."_s);
    const QString sql = PeriodChangesSql(m_from, m_to, false);
    m_worker = std::thread([this, params = m_params, sql] {
        auto rows = std::make_shared<ResultSet>();
        QString error;
        try {
            Connection con(params);
            con.open();
            *rows = con.query(sql);
        } catch (const DbError &e) {
            error = e.message();
        }
        // Delivered on the window's thread; the destructor waits for this thread, so the window
        // is still there.
        QMetaObject::invokeMethod(this, [this, rows, error] { onLoaded(rows, error); }, Qt::QueuedConnection);
    });
}

const ResultSet &Tfrm_ValtozasokIdoszak::rows() const
{
    return m_model->rows();
}

void Tfrm_ValtozasokIdoszak::onLoaded(std::shared_ptr<ResultSet> rows, const QString &error)
{
    m_done = true;
    if (!error.isEmpty()) {
        m_status->setText(u"Hiba: "_s + error);
    } else {
        m_model->setRows(std::move(rows));
        m_status->setText(u"%1 változás"_s.arg(m_model->rowCount()));
        if (m_model->rowCount() > 0)
            m_grid->setCurrentIndex(m_model->index(0, 0));
    }
    updateButtons();
    if (m_loaded)
        m_loaded();
}

void Tfrm_ValtozasokIdoszak::updateButtons()
{
    const QModelIndex current = m_grid->currentIndex();
    m_exportButton->setEnabled(m_done && m_model->rowCount() > 0);
    m_bringBackButton->setEnabled(current.isValid() && m_model->isDeletion(current.row()));
}

int ShowPeriodChanges(Connection &con, QWidget *parent)
{
    QDate from = QDate::currentDate().addMonths(-1);
    QDate to = QDate::currentDate();
    if (!PickPeriod(from, to, u"Változások időszaka"_s, parent))
        return 0;
    Tfrm_ValtozasokIdoszak form(con.params(), from, to, parent);
    int broughtBack = 0;
    form.setExportHandler([&form](const ResultSet &rows) { OpenExportWindow(rows, u"valtozasok"_s, 0, &form); });
    form.setBringBackHandler([&](int recordId) {
        if (!ConfirmBox(u"A törölt határozat visszakerül a számával és az adataival. Mellékletei nem: azokat a "
                        "törlés eltávolította. Visszahozza?"_s,
                        &form))
            return;
        const BroughtBack back = BringBackDeletedRecord(con, recordId);
        if (!back.ok) {
            ShowErrorBox(back.error, &form);
            return;
        }
        broughtBack = back.id;
        ShowInfoBox(u"A határozat visszakerült."_s, &form);
    });
    form.load();
    form.exec();
    return broughtBack;
}
