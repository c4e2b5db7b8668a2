#include "frm_init.h"

#include "common/cp1250.h"
#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"
#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "profilecheck.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Masked passwords show '*' as on the other workstations, not the style's bullet.
class StarPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

Tfrm_Init::Tfrm_Init(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frm_Init"_s);
    setWindowTitle(u"Adatbázis beállítás"_s);

    auto *fields = new QVBoxLayout;
    fields->setSpacing(2);
    auto addField = [&](const QString &name, const QString &label) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        auto *caption = new QLabel(label, this);
        caption->setBuddy(edit);
        if (fields->count() > 0)
            fields->addSpacing(6);
        fields->addWidget(caption);
        fields->addWidget(edit);
        return edit;
    };
    // Added in tab order.
    Edit2 = addField(u"Edit2"_s, u"Kiszolgáló (webszerver) név, vagy IP cím"_s);
    Edit3 = addField(u"Edit3"_s, u"Felhasználó"_s);
    Edit6 = addField(u"Edit6"_s, u"Jelszó"_s);
    Edit1 = addField(u"Edit1"_s, u"Tárhely, vagy adatbázis neve"_s);
    Edit4 = addField(u"Edit4"_s, u"Adatbázis megjelenített neve"_s);
    Edit5 = addField(u"Edit5"_s, u"Port"_s);
    Edit5->setText(u"3306"_s);
    Edit5->setMaximumWidth(Edit5->fontMetrics().horizontalAdvance(u"0"_s) * 8 + 16);
    Edit6->setEchoMode(QLineEdit::Password);
    auto *starStyle = new StarPasswordStyle;
    starStyle->setParent(Edit6);
    Edit6->setStyle(starStyle);
    Edit2->setMinimumWidth(Edit2->fontMetrics().averageCharWidth() * 44);

    Button1 = new QPushButton(u"Kapcsolat tesztelése"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button2 = new QPushButton(u"Rendben"_s, this);
    Button2->setObjectName(u"Button2"_s);
    Button2->setEnabled(false);
    Button3 = new QPushButton(u"Mégsem"_s, this);
    Button3->setObjectName(u"Button3"_s);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->addLayout(fields);
    layout->addSpacing(14);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &Tfrm_Init::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfrm_Init::accept);
    connect(Button3, &QPushButton::clicked, this, &Tfrm_Init::reject);

    // Enter moves on from the host only; elsewhere it must neither run the test nor close the
    // dialog. Ctrl+Enter in the host accepts without a test.
    auto *keys = new FieldKeys(this, [this] { accept(); });
    keys->watch(Edit2);
    keys->ignoreEnter({Edit1, Edit3, Edit4, Edit5, Edit6});
    PaintFocusedFields({Edit1, Edit2, Edit3, Edit4, Edit5, Edit6});
    Edit2->setFocus();
}

QString Tfrm_Init::profileString() const
{
    return Edit1->text() + u';' + Edit2->text() + u';' + Edit5->text() + u';' + Edit3->text() + u';' +
           Edit6->text() + u';' + Edit4->text();
}

QString Tfrm_Init::storeProblem() const
{
    // A ";" would shift every later field of the stored profile (a password holding one would
    // test fine here and then fail at every start), so it is refused.
    const std::pair<QLineEdit *, QString> fields[] = {
        {Edit2, u"Kiszolgáló"_s},     {Edit3, u"Felhasználó"_s},       {Edit6, u"Jelszó"_s},
        {Edit1, u"Adatbázis neve"_s}, {Edit4, u"Megjelenített név"_s}, {Edit5, u"Port"_s}};
    for (const auto &[edit, name] : fields) {
        if (edit->text().contains(u';'))
            return u"A(z) \"%1\" mező nem tartalmazhat pontosvesszőt (;)."_s.arg(name);
    }
    const QString bad = UnmappableCp1250Chars(profileString());
    if (!bad.isEmpty())
        return u"A kapcsolat adatai nem tárolható karaktereket tartalmaznak: %1"_s.arg(bad);
    return {};
}

void Tfrm_Init::accept()
{
    const QString problem = storeProblem();
    if (!problem.isEmpty()) {
        ShowErrorBox(problem, this);
        return;
    }
    QDialog::accept();
}

void Tfrm_Init::Button1Click()
{
    ConnectionProfile profile;
    profile.database = Edit1->text();
    profile.host = Edit2->text();
    profile.port = Edit5->text();
    profile.user = Edit3->text();
    profile.password = Edit6->text();
    if (TestProfileConnection(profile, this, {Button1, Button2})) {
        Button2->setEnabled(true);
        Button2->setFocus();
    }
}

bool RunFirstSetup(QString &profileString, int fontSize, QWidget *parent)
{
    Tfrm_Init dialog(parent);
    ApplyFontSize(&dialog, ProfileDialogFontSize(fontSize));
    LoadFormPos(&dialog);
    const int result = dialog.exec();
    if (result != QDialog::Accepted) {
        SaveFormPos(&dialog);
        return false;
    }

    const QString profile = dialog.profileString();
    profileString = profile;
    try {
        // At the very first start the data folder may not exist yet; the profile would be lost.
        QDir().mkpath(QFileInfo(SettingsFilePath()).absolutePath());
        SaveFormPos(&dialog);
        IniFile ini = SettingsFile();
        if (AddConnectionProfile(ini, profile) == 0)
            ShowWarningBox(
                u"A beállítási fájlban nincs hely újabb adatbázis-kapcsolatnak (legfeljebb %1). "
                "A most megadott kapcsolat csak ebben a futásban érvényes."_s.arg(kMaxConnectionProfiles),
                parent);
    } catch (const IniError &error) {
        ShowErrorBox(u"Hiba: "_s + error.message() +
                         u"\nA most megadott kapcsolat csak ebben a futásban érvényes."_s,
                     parent);
    }
    return true;
}
