#include "writerline.h"

#include "db/connection.h"
#include "db/dberror.h"
#include "register/registerquery.h"
#include "register/registerview.h"

#include <QHash>
#include <QLabel>
#include <QLayout>

using namespace Qt::StringLiterals;

namespace writerline {

// The users' names by id, read once and again only when an id is not among them (a user added
// since), so moving through the register asks the server nothing.
class UserNames
{
public:
    explicit UserNames(Connection &con) : m_con(con) {}

    QString name(int id)
    {
        if (!m_names.contains(id) && !m_missed.contains(id)) {
            reload();
            if (!m_names.contains(id))
                m_missed.insert(id, true);
        }
        return m_names.value(id, QString::number(id));
    }

private:
    void reload()
    {
        const ResultSet rs = m_con.query(
            u"SELECT felhkod, COALESCE(NULLIF(felhasznalo_nev, ''), felhasznalo) FROM felhasznalo"_s);
        m_names.clear();
        for (int row = 0; row < rs.rowCount(); ++row)
            m_names.insert(rs.value(row, 0).toInt(), rs.text(row, 1));
    }

    Connection &m_con;
    QHash<int, QString> m_names;
    QHash<int, bool> m_missed;
};

} // namespace writerline

void AttachWriterLine(RegisterView &view, Connection &con)
{
    auto *label = new QLabel(view.resolutionPanel());
    label->setObjectName(u"lblRogzito"_s);
    label->setMargin(3);
    label->hide();
    if (QLayout *layout = view.resolutionPanel()->layout())
        layout->addWidget(label);
    auto names = std::make_shared<writerline::UserNames>(con);
    QObject::connect(&view, &RegisterView::recordChanged, label, [&view, label, names] {
        QString text;
        try {
            const int id = view.registerQuery().currentText(u"felhkod"_s).toInt();
            if (id > 0)
                text = u"Rögzítette: "_s + names->name(id);
        } catch (const DbError &) {
            // Only a courtesy line: the register goes on without it.
        }
        label->setText(text);
        label->setVisible(!text.isEmpty());
    });
}
