#include "frm_inpstr.h"

#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"
#include "config/inifile.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

Tfrm_InpStr::Tfrm_InpStr(const QString &caption, const QString &prompt, bool password, int minLength,
                         int maxLength, const QString &value, QWidget *parent)
    : QDialog(parent), m_minLength(minLength)
{
    setObjectName(u"frm_InpStr"_s);
    setWindowTitle(caption);

    Label1 = new QLabel(prompt, this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(u"Edit1"_s);
    if (maxLength != -1)
        Edit1->setMaxLength(qMax(0, maxLength));
    Edit1->setText(value);
    Edit1->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);

    CheckBox1 = new QCheckBox(u"Látszanak a karakterek"_s, this);
    CheckBox1->setObjectName(u"CheckBox1"_s);
    CheckBox1->setChecked(false);
    CheckBox1->setVisible(password);

    Button1 = new QPushButton(u"OK"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button1->setDefault(true);
    Button2 = new QPushButton(u"Mégsem"_s, this);
    Button2->setObjectName(u"Button2"_s);

    connect(Button1, &QPushButton::clicked, this, &Tfrm_InpStr::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(CheckBox1, &QCheckBox::clicked, this, &Tfrm_InpStr::CheckBox1Click);

    // Enter in the field presses OK (the default button) here.
    PaintFocusedField(Edit1);

    setFixedHeight(kHeight);
    setMinimumWidth(260);
    resize(420, kHeight);
    setTabOrder(Edit1, CheckBox1);
    setTabOrder(CheckBox1, Button1);
    setTabOrder(Button1, Button2);
    Edit1->setFocus();
}

QString Tfrm_InpStr::text() const
{
    return Edit1->text();
}

void Tfrm_InpStr::Button1Click()
{
    if (Edit1->text().size() < m_minLength) {
        ShowErrorBox(u"Túl rövid. Legalább "_s + QString::number(m_minLength) + u" karakter kell."_s, this);
        Edit1->setFocus();
        return;
    }
    accept();
}

void Tfrm_InpStr::CheckBox1Click()
{
    Edit1->setEchoMode(CheckBox1->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
    Edit1->setFocus();
}

void Tfrm_InpStr::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutControls();
}

void Tfrm_InpStr::layoutControls()
{
    const int w = width();
    const int lineHeight = Edit1->sizeHint().height();
    const int buttonHeight = qMax(Button1->sizeHint().height(), 25);
    Label1->setGeometry(16, 16, qMax(0, w - 32), 120);
    Edit1->setGeometry(16, 144, qMax(0, w - 73), lineHeight);
    CheckBox1->setGeometry(16, 144 + lineHeight + 10, qMax(0, w - 140), CheckBox1->sizeHint().height());
    Button1->setGeometry(w - 110, kHeight - 2 * buttonHeight - 24, 94, buttonHeight);
    Button2->setGeometry(w - 110, kHeight - buttonHeight - 16, 94, buttonHeight);
}

bool AskString(const QString &caption, const QString &prompt, bool password, int minLength, int maxLength,
               QString &value, QWidget *parent, int fontSize)
{
    Tfrm_InpStr dialog(caption, prompt, password, minLength, maxLength, value, parent);
    ApplyFontSize(&dialog, fontSize);
    LoadFormBounds(&dialog);
    const bool ok = dialog.exec() == QDialog::Accepted;
    try {
        SaveFormBounds(&dialog);
    } catch (const IniError &) {
        // A settings file that cannot be written costs only the window's place; the answer
        // counts more.
    }
    if (!ok)
        return false;
    value = dialog.text();
    return true;
}
