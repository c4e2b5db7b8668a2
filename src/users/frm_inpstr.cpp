#include "frm_inpstr.h"

#include "config/inifile.h"
#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"

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

    m_promptLabel = new QLabel(prompt, this);
    m_promptLabel->setObjectName(u"Label1"_s);
    m_promptLabel->setTextFormat(Qt::PlainText);
    m_promptLabel->setWordWrap(true);
    m_promptLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    m_textEdit = new QLineEdit(this);
    m_textEdit->setObjectName(u"Edit1"_s);
    if (maxLength != -1)
        m_textEdit->setMaxLength(qMax(0, maxLength));
    m_textEdit->setText(value);
    m_textEdit->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);

    m_showCharactersCheck = new QCheckBox(u"Látszanak a karakterek"_s, this);
    m_showCharactersCheck->setObjectName(u"CheckBox1"_s);
    m_showCharactersCheck->setChecked(false);
    m_showCharactersCheck->setVisible(password);

    m_okButton = new QPushButton(u"OK"_s, this);
    m_okButton->setObjectName(u"Button1"_s);
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"Button2"_s);

    connect(m_okButton, &QPushButton::clicked, this, &Tfrm_InpStr::onOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_showCharactersCheck, &QCheckBox::clicked, this, &Tfrm_InpStr::onShowCharactersClicked);

    // Enter in the field presses OK (the default button) here.
    PaintFocusedField(m_textEdit);

    setFixedHeight(FixedHeight);
    setMinimumWidth(260);
    resize(420, FixedHeight);
    setTabOrder(m_textEdit, m_showCharactersCheck);
    setTabOrder(m_showCharactersCheck, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
    m_textEdit->setFocus();
}

QString Tfrm_InpStr::text() const
{
    return m_textEdit->text();
}

void Tfrm_InpStr::onOkClicked()
{
    if (m_textEdit->text().size() < m_minLength) {
        ShowErrorBox(u"Túl rövid. Legalább "_s + QString::number(m_minLength) + u" karakter kell."_s, this);
        m_textEdit->setFocus();
        return;
    }
    accept();
}

void Tfrm_InpStr::onShowCharactersClicked()
{
    m_textEdit->setEchoMode(m_showCharactersCheck->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
    m_textEdit->setFocus();
}

void Tfrm_InpStr::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutControls();
}

void Tfrm_InpStr::layoutControls()
{
    const int w = width();
    const int lineHeight = m_textEdit->sizeHint().height();
    const int buttonHeight = qMax(m_okButton->sizeHint().height(), 25);
    m_promptLabel->setGeometry(16, 16, qMax(0, w - 32), 120);
    m_textEdit->setGeometry(16, 144, qMax(0, w - 73), lineHeight);
    m_showCharactersCheck->setGeometry(16, 144 + lineHeight + 10, qMax(0, w - 140),
                                       m_showCharactersCheck->sizeHint().height());
    m_okButton->setGeometry(w - 110, FixedHeight - 2 * buttonHeight - 24, 94, buttonHeight);
    m_cancelButton->setGeometry(w - 110, FixedHeight - buttonHeight - 16, 94, buttonHeight);
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
