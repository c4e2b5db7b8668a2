#include "frm_szerkeszt.h"

#include "attachments.h"
#include "gui/dialogfields.h"
#include "gui/formgeometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>

using namespace Qt::StringLiterals;

namespace {
// $FFF8F0 as the Windows colour values name it (blue, green, red bytes).
const QColor ActiveLineColor(0xF0, 0xF8, 0xFF);

// The accents of capital letters (the double acute of Ő and Ű above all) reach above the
// ascent of many fonts, and the text editor cuts every line at the ascent: the difference is
// added to the line's height.
void giveAccentsRoom(QsciScintilla *editor)
{
    const QFontMetrics metrics(editor->font());
    const int top = -metrics.boundingRect(u"ŐŰÁÉÍÓÖÚÜ"_s).top();
    editor->setExtraAscent(std::max(0, top - metrics.ascent()) + 1);
}

QFont boldArial(const QFont &base)
{
    QFont f(u"Arial"_s, base.pointSize());
    f.setBold(true);
    return f;
}
} // namespace

Tfrm_Szerkeszt::Tfrm_Szerkeszt(QWidget *parent, int fontSize) : QDialog(parent)
{
    setObjectName(u"frm_Szerkeszt"_s);
    setWindowTitle(u"Szerkesztés"_s);
    ApplyFontSize(this, fontSize);
    buildWidgets();
    resize(722, 709);
    LoadFormBounds(this);
}

void Tfrm_Szerkeszt::buildWidgets()
{
    auto tabs = new QTabWidget(this);
    auto page = new QWidget;
    tabs->addTab(page, u"Határozat"_s);
    auto pageLayout = new QVBoxLayout(page);

    Label1 = new QLabel(page);
    QFont headingFont = boldArial(font());
    headingFont.setPointSize(font().pointSize() + 2);
    Label1->setFont(headingFont);
    pageLayout->addWidget(Label1);

    auto numberRow = new QGridLayout;
    const auto readOnlyEdit = [page, this] {
        auto e = new QLineEdit(page);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setFont(boldArial(font()));
        e->setMaximumWidth(90);
        return e;
    };
    DBEdit2 = readOnlyEdit();
    DBEdit3 = readOnlyEdit();
    MaskEdit1 = new QLineEdit(page);
    MaskEdit1->setInputMask(u"00.00;_"_s);
    MaskEdit1->setMaximumWidth(90);
    numberRow->addWidget(new QLabel(u"Év"_s, page), 0, 0);
    numberRow->addWidget(new QLabel(u"Határozat szám"_s, page), 0, 1);
    numberRow->addWidget(new QLabel(u"Dátum"_s, page), 0, 2);
    numberRow->addWidget(DBEdit2, 1, 0);
    numberRow->addWidget(DBEdit3, 1, 1);
    numberRow->addWidget(MaskEdit1, 1, 2);
    numberRow->setColumnStretch(3, 1);
    pageLayout->addLayout(numberRow);

    pageLayout->addWidget(new QLabel(u"Tárgy"_s, page));
    DBComboBox1 = new QComboBox(page);
    DBComboBox1->setEditable(true);
    DBComboBox1->setInsertPolicy(QComboBox::NoInsert);
    DBComboBox1->lineEdit()->setMaxLength(255);
    pageLayout->addWidget(DBComboBox1);

    pageLayout->addWidget(new QLabel(u"Határozat szövege"_s, page));
    SynEdit1 = new QsciScintilla(page);
    SynEdit1->setUtf8(true);
    SynEdit1->setWrapMode(QsciScintilla::WrapWord);
    // Lines typed here end in CR LF, as the register stores them; a text from elsewhere is
    // shown and kept with whatever line breaks it has.
    SynEdit1->setEolMode(QsciScintilla::EolWindows);
    SynEdit1->setFont(QFont(u"Courier New"_s, 10));
    giveAccentsRoom(SynEdit1);
    SynEdit1->setCaretLineVisible(true);
    SynEdit1->setCaretLineBackgroundColor(ActiveLineColor);
    SynEdit1->setMarginWidth(1, 0);
    pageLayout->addWidget(SynEdit1, 1);

    auto deadlineGroup = new QGroupBox(u"Határidő"_s, page);
    auto deadlineLayout = new QGridLayout(deadlineGroup);
    DBCheckBox1 = new QCheckBox(u"Van határidő, felelősök"_s, deadlineGroup);
    c1 = new QLabel(u"Határidő"_s, deadlineGroup);
    c2 = new QDateEdit(deadlineGroup);
    c2->setCalendarPopup(true);
    c2->setDisplayFormat(u"yyyy.MM.dd."_s);
    c2->setMinimumWidth(c2->fontMetrics().horizontalAdvance(u"0000.00.00.WWWW"_s));
    c3 = new QLabel(u"Felelősök"_s, deadlineGroup);
    c4 = new QLineEdit(deadlineGroup);
    c4->setMaxLength(1024);
    deadlineLayout->addWidget(DBCheckBox1, 0, 0, 1, 4);
    deadlineLayout->addWidget(c1, 1, 0);
    deadlineLayout->addWidget(c2, 1, 1);
    deadlineLayout->addWidget(c3, 1, 2);
    deadlineLayout->addWidget(c4, 1, 3);
    deadlineLayout->setColumnStretch(3, 1);
    pageLayout->addWidget(deadlineGroup);
    connect(DBCheckBox1, &QCheckBox::toggled, this, &Tfrm_Szerkeszt::showDeadline);

    auto attachmentGrid = new QGridLayout;
    for (int i = 0; i < AttachmentSlotCount; ++i) {
        const int slot = i + 1;
        auto edit = new QLineEdit(page);
        edit->setReadOnly(true);
        auto choose = new QToolButton(page);
        choose->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
        choose->setToolTip(u"Választ"_s);
        auto remove = new QToolButton(page);
        remove->setIcon(style()->standardIcon(QStyle::SP_DialogDiscardButton));
        remove->setToolTip(u"Választ"_s);
        attachmentGrid->addWidget(new QLabel(u"Csatolt file %1."_s.arg(slot), page), i, 0);
        attachmentGrid->addWidget(edit, i, 1);
        attachmentGrid->addWidget(choose, i, 2);
        attachmentGrid->addWidget(remove, i, 3);
        connect(choose, &QToolButton::clicked, this, [this, slot] { AttachFile(slot); });
        connect(remove, &QToolButton::clicked, this, [this, slot] { RemoveFile(slot); });
        attachmentEdits[i] = edit;
        chooseButtons[i] = choose;
        removeButtons[i] = remove;
    }
    attachmentGrid->setColumnStretch(1, 1);
    pageLayout->addLayout(attachmentGrid);

    btnOK = new QPushButton(u"OK"_s, this);
    btnCancel = new QPushButton(u"Mégsem"_s, this);
    // Enter moves between fields here, so no button may take it as the default.
    btnOK->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &Tfrm_Szerkeszt::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);

    setTabOrder(MaskEdit1, DBComboBox1);
    setTabOrder(DBComboBox1, SynEdit1);
    setTabOrder(SynEdit1, DBCheckBox1);
    setTabOrder(DBCheckBox1, c2);
    setTabOrder(c2, c4);
    QWidget *previous = c4;
    for (int i = 0; i < AttachmentSlotCount; ++i) {
        setTabOrder(previous, attachmentEdits[i]);
        setTabOrder(attachmentEdits[i], chooseButtons[i]);
        setTabOrder(chooseButtons[i], removeButtons[i]);
        previous = removeButtons[i];
    }
    setTabOrder(previous, btnOK);
    setTabOrder(btnOK, btnCancel);

    // The text's paper is not its palette; the event filter paints it.
    PaintFocusedFields({MaskEdit1, DBComboBox1, c2, c4});
    for (QLineEdit *e : attachmentEdits)
        PaintFocusedField(e);
    // Keys reach the combo box, which hands them to its line edit directly (past any filter
    // on the line edit), so both are watched.
    DBComboBox1->installEventFilter(this);
    DBComboBox1->lineEdit()->installEventFilter(this);
    SynEdit1->installEventFilter(this);
    // Ctrl+Enter is OK from anywhere, the text included; Enter presses a focused button.
    auto keys = new FieldKeys(this, [this] { btnOKClick(); });
    keys->setEnterPressesButtons(true);
    keys->setMultiLineText(SynEdit1);
    keys->watchAll();
    showDeadline(false);
}

void Tfrm_Szerkeszt::setHeading(const QString &committeeName)
{
    Label1->setText(committeeName);
}

void Tfrm_Szerkeszt::setRecord(const Resolution &record, QDate serverDate)
{
    m_recordId = record.id;
    DBEdit2->setText(QString::number(record.year));
    DBEdit3->setText(QString::number(record.number));
    MaskEdit1->setText(record.date.isValid() ? record.date.toString(u"MM.dd"_s) : QString());
    DBComboBox1->setEditText(record.subject);
    SynEdit1->setText(record.text);
    DBCheckBox1->setChecked(record.hasDeadline);
    showDeadline(record.hasDeadline);
    c2->setDate(record.hasDeadline && record.deadline.isValid() ? record.deadline : serverDate);
    c4->setText(record.responsible);
    m_attachments = record.attachments;
    for (int i = 0; i < AttachmentSlotCount; ++i)
        attachmentEdits[i]->setText(m_attachments[i].sourceName);
}

bool Tfrm_Szerkeszt::collect(Resolution &record, QString *error) const
{
    const QDate date = ResolutionDate(record.year, MaskEdit1->displayText(), error);
    if (!date.isValid())
        return false;
    record.date = date;
    record.subject = DBComboBox1->currentText();
    record.text = SynEdit1->text();
    record.hasDeadline = DBCheckBox1->isChecked();
    record.deadline = record.hasDeadline ? c2->date() : QDate();
    record.responsible = c4->text();
    record.attachments = m_attachments;
    return true;
}

void Tfrm_Szerkeszt::AttachFile(int slot)
{
    if (!EnsureDocumentStore(m_documentStore, this))
        return;
    const QString path = ChooseAttachmentFile(this);
    if (path.isEmpty())
        return;
    AttachmentValue &a = m_attachments[slot - 1];
    a.chosenPath = path;
    a.sourceName = QFileInfo(path).fileName();
    // The stored name follows from the record's id when the record is saved.
    a.storedName = m_recordId > 0 ? StoredAttachmentName(m_recordId, slot, a.sourceName) : QString();
    attachmentEdits[slot - 1]->setText(a.sourceName);
}

void Tfrm_Szerkeszt::RemoveFile(int slot)
{
    m_attachments[slot - 1] = AttachmentValue();
    attachmentEdits[slot - 1]->clear();
}

void Tfrm_Szerkeszt::btnOKClick()
{
    if (m_okHandler && !m_okHandler())
        return;
    accept();
}

void Tfrm_Szerkeszt::showDeadline(bool visible)
{
    c1->setVisible(visible);
    c2->setVisible(visible);
    c3->setVisible(visible);
    c4->setVisible(visible);
}

bool Tfrm_Szerkeszt::eventFilter(QObject *watched, QEvent *event)
{
    auto widget = qobject_cast<QWidget *>(watched);
    if (event->type() == QEvent::KeyPress && widget) {
        auto key = static_cast<QKeyEvent *>(event);
        // The text editor would take Esc for itself; here it is "Mégsem", as in every other field.
        if (widget == SynEdit1 && key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            btnCancel->click();
            return true;
        }
        // The first letter typed into an empty subject is a capital.
        if ((widget == DBComboBox1 || widget == DBComboBox1->lineEdit()) &&
            DBComboBox1->currentText().isEmpty() && key->text().size() == 1 && key->text().at(0).isLetter() &&
            !(key->modifiers() & Qt::ControlModifier)) {
            DBComboBox1->lineEdit()->insert(key->text().toUpper());
            return true;
        }
    } else if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) &&
               widget == SynEdit1) {
        const bool focused = event->type() == QEvent::FocusIn;
        SynEdit1->setPaper(focused ? FocusedFieldColour() : palette().color(QPalette::Base));
        if (focused && SynEdit1->text().trimmed().isEmpty()) {
            int line = 0;
            int index = 0;
            SynEdit1->getCursorPosition(&line, &index);
            SynEdit1->setCursorPosition(line, 0);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_Szerkeszt::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    MaskEdit1->setFocus();
    MaskEdit1->setCursorPosition(0);
}

void Tfrm_Szerkeszt::done(int result)
{
    try {
        SaveFormBounds(this);
    } catch (const std::exception &) {
        // A window size that cannot be remembered is not worth keeping the user from the register.
    }
    QDialog::done(result);
}
