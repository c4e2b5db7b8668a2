#include "frm_adatbazis_szerkeszt.h"

#include "gui/dialogfields.h"
#include "gui/icons.h"
#include "gui/messagebox.h"
#include "profilecheck.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace frm_adatbazis_szerkeszt {

constexpr int WindowWidth = 420;
constexpr int WindowHeight = 392;
constexpr int FieldStep = 52;
// Fields hold 50 characters; a longer value stored by hand is shown whole.
constexpr int ProfileFieldLength = 50;

} // namespace frm_adatbazis_szerkeszt

Tfrm_Adatbazis_Szerkeszt::Tfrm_Adatbazis_Szerkeszt(QWidget *parent)
    : RowEditor(u"frm_Adatbazis_Szerkeszt"_s,
                QSize(frm_adatbazis_szerkeszt::WindowWidth, frm_adatbazis_szerkeszt::WindowHeight), parent)
{
    setWindowTitle(u"Tárhely"_s);
    m_captionLabel->setText(u"Megjelenített név"_s);

    int top = 16 + frm_adatbazis_szerkeszt::FieldStep;
    const auto addField = [&](const QString &name, const QString &caption, int width) {
        auto *label = new QLabel(caption, this);
        label->setGeometry(16, top, frm_adatbazis_szerkeszt::WindowWidth - 32, 20);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setGeometry(16, top + 24, width, 26);
        label->setBuddy(edit);
        top += frm_adatbazis_szerkeszt::FieldStep;
        return edit;
    };
    m_hostEdit = addField(u"DBEdit2"_s, u"Kiszolgáló"_s, frm_adatbazis_szerkeszt::WindowWidth - 32);
    m_userEdit = addField(u"DBEdit3"_s, u"Felhasználó"_s, frm_adatbazis_szerkeszt::WindowWidth - 32);
    m_passwordEdit = addField(u"DBEdit4"_s, u"Jelszó"_s, frm_adatbazis_szerkeszt::WindowWidth - 32 - 32);
    m_databaseEdit =
        addField(u"DBEdit5"_s, u"Adatbázis / tárhely"_s, frm_adatbazis_szerkeszt::WindowWidth - 32);
    m_portEdit = addField(u"DBEdit6"_s, u"Port"_s, 100);
    MaskWithStars(m_passwordEdit);

    m_showPasswordButton = new QToolButton(this);
    m_showPasswordButton->setObjectName(u"SpeedButton1"_s);
    m_showPasswordButton->setIcon(MakeIcon(IconId::View));
    m_showPasswordButton->setToolTip(u"Jelszó mutatása"_s);
    m_showPasswordButton->setCheckable(true);
    // A click leaves the focus where the typing goes on.
    m_showPasswordButton->setFocusPolicy(Qt::NoFocus);
    const QRect password = m_passwordEdit->geometry();
    m_showPasswordButton->setGeometry(password.right() + 6, password.top(), 26, 26);
    connect(m_showPasswordButton, &QToolButton::clicked, this,
            &Tfrm_Adatbazis_Szerkeszt::onShowPasswordClicked);

    setTabOrder(m_nameEdit, m_hostEdit);
    setTabOrder(m_hostEdit, m_userEdit);
    setTabOrder(m_userEdit, m_passwordEdit);
    setTabOrder(m_passwordEdit, m_databaseEdit);
    setTabOrder(m_databaseEdit, m_portEdit);
    setTabOrder(m_portEdit, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    // The name field has the row editor's keys already.
    auto *keys = new FieldKeys(this, FieldKeys::PressButton(m_okButton));
    keys->watch({m_hostEdit, m_userEdit, m_passwordEdit, m_databaseEdit, m_portEdit});
    PaintFocusedFields({m_hostEdit, m_userEdit, m_passwordEdit, m_databaseEdit, m_portEdit});
    m_nameEdit->setFocus();
}

void Tfrm_Adatbazis_Szerkeszt::setRow(const ProfileRow &row)
{
    SetTextWithin(m_nameEdit, row.profile.displayName, frm_adatbazis_szerkeszt::ProfileFieldLength);
    SetTextWithin(m_hostEdit, row.profile.host, frm_adatbazis_szerkeszt::ProfileFieldLength);
    SetTextWithin(m_userEdit, row.profile.user, frm_adatbazis_szerkeszt::ProfileFieldLength);
    SetTextWithin(m_passwordEdit, row.profile.password, frm_adatbazis_szerkeszt::ProfileFieldLength);
    SetTextWithin(m_databaseEdit, row.profile.database, frm_adatbazis_szerkeszt::ProfileFieldLength);
    m_portEdit->setText(QString::number(row.port()));
    m_version = row.version;
}

ProfileRow Tfrm_Adatbazis_Szerkeszt::row() const
{
    ProfileRow r;
    r.profile.displayName = m_nameEdit->text();
    r.profile.host = m_hostEdit->text();
    r.profile.user = m_userEdit->text();
    r.profile.password = m_passwordEdit->text();
    r.profile.database = m_databaseEdit->text();
    r.setPort(ParsePortText(m_portEdit->text()).value_or(0));
    r.version = m_version;
    return r;
}

QString Tfrm_Adatbazis_Szerkeszt::problem() const
{
    if (!ParsePortText(m_portEdit->text()))
        return u"A port értéke 0 és 65535 közötti egész szám lehet, nem \"%1\"."_s.arg(m_portEdit->text());
    return ProfileFieldsProblem({{u"Megjelenített név"_s, m_nameEdit->text()},
                                 {u"Kiszolgáló"_s, m_hostEdit->text()},
                                 {u"Felhasználó"_s, m_userEdit->text()},
                                 {u"Jelszó"_s, m_passwordEdit->text()},
                                 {u"Adatbázis / tárhely"_s, m_databaseEdit->text()}});
}

void Tfrm_Adatbazis_Szerkeszt::onShowPasswordClicked()
{
    m_passwordEdit->setEchoMode(m_passwordEdit->echoMode() == QLineEdit::Password ? QLineEdit::Normal
                                                                                  : QLineEdit::Password);
    m_passwordEdit->setFocus(Qt::OtherFocusReason);
}

bool EditProfileRow(ProfileRow &row, int fontSize, QWidget *parent)
{
    Tfrm_Adatbazis_Szerkeszt editor(parent);
    ApplyFontSize(&editor, fontSize);
    editor.setRow(row);
    editor.setSaveHandler([&editor] {
        const QString problem = editor.problem();
        if (problem.isEmpty())
            return true;
        ShowErrorBox(problem, &editor);
        return false;
    });
    if (editor.exec() != QDialog::Accepted)
        return false;
    row = editor.row();
    return true;
}
