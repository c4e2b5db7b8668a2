#include "frm_felhasznalo.h"

#include "db/resultset.h"
#include "frm_felhasznaloszerkeszt.h"
#include "userrows.h"

#include <QAction>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QTableView>
#include <cmath>

using namespace Qt::StringLiterals;

namespace frm_felhasznalo {

constexpr int RightColumnWidth = 77;
constexpr int PictureSize = 16;
// The picture sits this far from the cell's left edge.
constexpr int PictureLeft = 32;

QVariant RightCell(const ResultSet &rows, int row, int field, int role)
{
    const bool granted = field >= 0 && rows.text(row, field) == u"I"_s;
    switch (role) {
    case Qt::DisplayRole: return QString(u""_s);
    case Qt::DecorationRole: {
        // Padded on the left so that the grid draws it at its place within the cell.
        QPixmap cell(PictureLeft + PictureSize, PictureSize);
        cell.fill(Qt::transparent);
        QPainter painter(&cell);
        painter.drawPixmap(PictureLeft, 0, RightPicture(granted));
        return cell;
    }
    case Qt::ToolTipRole: return granted ? u"Igen"_s : u"Nem"_s;
    default: return QVariant();
    }
}

ListWindow::Config UserListConfig()
{
    ListWindow::Config c;
    c.objectName = u"frm_Felhasznalo"_s;
    c.caption = u"Felhasználók adatai"_s;
    c.heading = u"Felhasználók"_s;
    c.sql = QStringList{u"SELECT * FROM felhasznalo"_s, u"WHERE 1=1"_s, u"ORDER BY felhasznalo;"_s};
    c.baseCondition = u"1=1"_s;
    c.columns = {
        {u"felhasznalo"_s, u"Kód"_s, 110},
        {u"felhasznalo_nev"_s, u"Felhasználó"_s, 156},
        {u"rendszergazda"_s, u"Rendszergazda"_s, RightColumnWidth, RightCell},
        {u"torzsszerkeszt"_s, u"Törzs.szerk."_s, RightColumnWidth, RightCell},
    };
    c.highlightColumn = 0;
    c.hasSearchEdit = false;
    c.titleClickSearches = false;
    c.idField = u"felhkod"_s;
    c.popupActions = {ListWindow::New, ListWindow::Edit, ListWindow::Delete, ListWindow::Close};
    c.doubleClickAction = ListWindow::Edit;
    return c;
}

} // namespace frm_felhasznalo

QPixmap RightPicture(bool granted)
{
    const qreal ratio = 2;
    QPixmap picture(QSize(frm_felhasznalo::PictureSize, frm_felhasznalo::PictureSize) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    if (granted) {
        painter.setPen(QPen(QColor(0x1e, 0x8c, 0x2e), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(QPolygonF{QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)});
    } else {
        painter.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        painter.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    }
    return picture;
}

Tfrm_Felhasznalo::Tfrm_Felhasznalo(Connection &connection, int fontSize, QWidget *parent)
    : ListWindow(connection, frm_felhasznalo::UserListConfig(), parent), m_fontSize(fontSize)
{
    setFontSize(fontSize);
    action(New)->setText(u"Új"_s);
    // Enter edits the current user, as F2 does.
    action(Edit)->setShortcuts(
        {QKeySequence(Qt::Key_F2), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    setActionShown(Search, false);
    setActionShown(Accept, false);
    setChangeRight(true);

    onAction(New, [this] { onNewTriggered(); });
    onAction(Edit, [this] { onEditTriggered(); });
    onAction(Delete, [this] { onDeleteTriggered(); });
}

QPair<int, int> Tfrm_Felhasznalo::ProportionalWidths(int gridWidth)
{
    const int w = gridWidth - 194;
    return {int(std::lround(w * 0.33)), int(std::lround(w * 0.67))};
}

void Tfrm_Felhasznalo::resizeColumns()
{
    const auto [code, name] = ProportionalWidths(grid()->width());
    grid()->setColumnWidth(0, qMax(0, code));
    grid()->setColumnWidth(1, qMax(0, name));
    grid()->setColumnWidth(2, frm_felhasznalo::RightColumnWidth);
    grid()->setColumnWidth(3, frm_felhasznalo::RightColumnWidth);
}

void Tfrm_Felhasznalo::onNewTriggered()
{
    const int id = EditUser(connection(), true, -1, this, m_fontSize);
    if (id >= 0)
        rereadAt(id);
}

void Tfrm_Felhasznalo::onEditTriggered()
{
    if (isEmpty())
        return;
    const int id = EditUser(connection(), false, currentId(), this, m_fontSize);
    if (id >= 0)
        rereadAt(id);
}

void Tfrm_Felhasznalo::onDeleteTriggered()
{
    if (isEmpty() || !confirmRowDelete())
        return;
    DeleteUser(connection(), currentId());
    reread();
}

void ManageUsers(Connection &connection, QWidget *parent, int fontSize)
{
    Tfrm_Felhasznalo window(connection, fontSize, parent);
    window.open();
    window.exec();
}
