#include "frm_szerkeszt.h"

#include "attachments.h"
#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/texteditors.h"

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

namespace frm_szerkeszt {
// $FFF8F0 as the Windows colour values name it (blue, green, red bytes).
const QColor ActiveLineColor(0xF0, 0xF8, 0xFF);

QFont boldArial(const QFont &base)
{
    QFont f(u"Arial"_s, base.pointSize());
    f.setBold(true);
    return f;
}
} // namespace frm_szerkeszt

Tfrm_Szerkeszt::Tfrm_Szerkeszt(QWidget *parent, int fontSize) : QDialog(parent)
{
    setObjectName(u"frm_Szerkeszt"_s);
    setWindowTitle(u"Szerkesztés"_s);
    ApplyFontSize(this, fontSize);

    auto tabs = new QTabWidget(this);
    auto page = new QWidget;
    tabs->addTab(page, u"Határozat"_s);
    auto pageLayout = new QVBoxLayout(page);
    m_headingLabel = new QLabel(page);
    m_headingLabel->setObjectName(u"Label1"_s);
    QFont headingFont = frm_szerkeszt::boldArial(font());
    headingFont.setPointSize(font().pointSize() + 2);
    m_headingLabel->setFont(headingFont);
    pageLayout->addWidget(m_headingLabel);
    pageLayout->addLayout(buildNumberRow(page));
    buildSubjectAndText(page, pageLayout);
    pageLayout->addWidget(buildDeadlineGroup(page));
    pageLayout->addLayout(buildAttachmentRows(page));

    auto layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(buildButtons());
    setTabOrderAndKeys();
    onDeadlineToggled(false);

    resize(722, 709);
    LoadFormBounds(this);
}

// Year, number (both read-only) and the date's month and day.
QLayout *Tfrm_Szerkeszt::buildNumberRow(QWidget *page)
{
    const auto readOnlyEdit = [page, this](const QString &name) {
        auto e = new QLineEdit(page);
        e->setObjectName(name);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setFont(frm_szerkeszt::boldArial(font()));
        e->setMaximumWidth(90);
        return e;
    };
    m_yearEdit = readOnlyEdit(u"DBEdit2"_s);
    m_numberEdit = readOnlyEdit(u"DBEdit3"_s);
    m_dateEdit = new QLineEdit(page);
    m_dateEdit->setObjectName(u"MaskEdit1"_s);
    m_dateEdit->setInputMask(u"00.00;_"_s);
    m_dateEdit->setMaximumWidth(90);
    auto row = new QGridLayout;
    row->addWidget(new QLabel(u"Év"_s, page), 0, 0);
    row->addWidget(new QLabel(u"Határozat szám"_s, page), 0, 1);
    row->addWidget(new QLabel(u"Dátum"_s, page), 0, 2);
    row->addWidget(m_yearEdit, 1, 0);
    row->addWidget(m_numberEdit, 1, 1);
    row->addWidget(m_dateEdit, 1, 2);
    row->setColumnStretch(3, 1);
    return row;
}

void Tfrm_Szerkeszt::buildSubjectAndText(QWidget *page, QVBoxLayout *pageLayout)
{
    pageLayout->addWidget(new QLabel(u"Tárgy"_s, page));
    m_subjectCombo = new QComboBox(page);
    m_subjectCombo->setObjectName(u"DBComboBox1"_s);
    m_subjectCombo->setEditable(true);
    m_subjectCombo->setInsertPolicy(QComboBox::NoInsert);
    m_subjectCombo->lineEdit()->setMaxLength(SubjectMaxLength);
    pageLayout->addWidget(m_subjectCombo);

    pageLayout->addWidget(new QLabel(u"Határozat szövege"_s, page));
    m_textEditor = new WholeTextEditor(page);
    m_textEditor->setObjectName(u"SynEdit1"_s);
    m_textEditor->setUtf8(true);
    m_textEditor->setWrapMode(QsciScintilla::WrapWord);
    // Lines typed here end in CR LF, as the register stores them; a text from elsewhere is
    // shown and kept with whatever line breaks it has.
    m_textEditor->setEolMode(QsciScintilla::EolWindows);
    m_textEditor->setFont(QFont(u"Courier New"_s, 10));
    GiveAccentsRoom(m_textEditor, m_textEditor->font());
    m_textEditor->setCaretLineVisible(true);
    m_textEditor->setCaretLineBackgroundColor(frm_szerkeszt::ActiveLineColor);
    m_textEditor->setMarginWidth(1, 0);
    pageLayout->addWidget(m_textEditor, 1);
}

QWidget *Tfrm_Szerkeszt::buildDeadlineGroup(QWidget *page)
{
    auto group = new QGroupBox(u"Határidő"_s, page);
    m_deadlineCheck = new QCheckBox(u"Van határidő, felelősök"_s, group);
    m_deadlineCheck->setObjectName(u"DBCheckBox1"_s);
    m_deadlineLabel = new QLabel(u"Határidő"_s, group);
    m_deadlineLabel->setObjectName(u"c1"_s);
    m_deadlineEdit = new QDateEdit(group);
    m_deadlineEdit->setObjectName(u"c2"_s);
    m_deadlineEdit->setCalendarPopup(true);
    m_deadlineEdit->setDisplayFormat(u"yyyy.MM.dd."_s);
    m_deadlineEdit->setMinimumWidth(m_deadlineEdit->fontMetrics().horizontalAdvance(u"0000.00.00.WWWW"_s));
    m_responsibleLabel = new QLabel(u"Felelősök"_s, group);
    m_responsibleLabel->setObjectName(u"c3"_s);
    m_responsibleEdit = new QLineEdit(group);
    m_responsibleEdit->setObjectName(u"c4"_s);
    m_responsibleEdit->setMaxLength(ResponsibleMaxLength);
    auto layout = new QGridLayout(group);
    layout->addWidget(m_deadlineCheck, 0, 0, 1, 4);
    layout->addWidget(m_deadlineLabel, 1, 0);
    layout->addWidget(m_deadlineEdit, 1, 1);
    layout->addWidget(m_responsibleLabel, 1, 2);
    layout->addWidget(m_responsibleEdit, 1, 3);
    layout->setColumnStretch(3, 1);
    connect(m_deadlineCheck, &QCheckBox::toggled, this, &Tfrm_Szerkeszt::onDeadlineToggled);
    return group;
}

QLayout *Tfrm_Szerkeszt::buildAttachmentRows(QWidget *page)
{
    // The original names of each slot's field, choose button and remove button.
    static constexpr const char16_t *Names[AttachmentSlotCount][3] = {
        {u"DBEdit6", u"BitBtn6", u"BitBtn12"},
        {u"DBEdit7", u"BitBtn10", u"BitBtn13"},
        {u"DBEdit8", u"BitBtn11", u"BitBtn14"},
    };
    const auto toolButton = [page, this](const char16_t *name, QStyle::StandardPixmap icon) {
        auto button = new QToolButton(page);
        button->setObjectName(QString::fromUtf16(name));
        button->setIcon(style()->standardIcon(icon));
        button->setToolTip(u"Választ"_s);
        return button;
    };
    auto grid = new QGridLayout;
    for (int i = 0; i < AttachmentSlotCount; ++i) {
        const int slot = i + 1;
        m_attachmentEdits[i] = new QLineEdit(page);
        m_attachmentEdits[i]->setObjectName(QString::fromUtf16(Names[i][0]));
        m_attachmentEdits[i]->setReadOnly(true);
        m_chooseButtons[i] = toolButton(Names[i][1], QStyle::SP_DialogOpenButton);
        m_removeButtons[i] = toolButton(Names[i][2], QStyle::SP_DialogDiscardButton);
        grid->addWidget(new QLabel(u"Csatolt file %1."_s.arg(slot), page), i, 0);
        grid->addWidget(m_attachmentEdits[i], i, 1);
        grid->addWidget(m_chooseButtons[i], i, 2);
        grid->addWidget(m_removeButtons[i], i, 3);
        connect(m_chooseButtons[i], &QToolButton::clicked, this, [this, slot] { onChooseFileClicked(slot); });
        connect(m_removeButtons[i], &QToolButton::clicked, this, [this, slot] { onRemoveFileClicked(slot); });
    }
    grid->setColumnStretch(1, 1);
    return grid;
}

QLayout *Tfrm_Szerkeszt::buildButtons()
{
    m_okButton = new QPushButton(u"OK"_s, this);
    m_okButton->setObjectName(u"btnOK"_s);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"btnCancel"_s);
    // Enter moves between fields here, so no button may take it as the default.
    m_okButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);
    connect(m_okButton, &QPushButton::clicked, this, &Tfrm_Szerkeszt::onOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    return buttons;
}

void Tfrm_Szerkeszt::setTabOrderAndKeys()
{
    QWidget *previous = m_dateEdit;
    const auto next = [&previous, this](QWidget *widget) {
        setTabOrder(previous, widget);
        previous = widget;
    };
    for (QWidget *w : std::initializer_list<QWidget *>{m_subjectCombo, m_textEditor, m_deadlineCheck,
                                                       m_deadlineEdit, m_responsibleEdit})
        next(w);
    for (int i = 0; i < AttachmentSlotCount; ++i) {
        next(m_attachmentEdits[i]);
        next(m_chooseButtons[i]);
        next(m_removeButtons[i]);
    }
    next(m_okButton);
    next(m_cancelButton);

    // The text's paper is not its palette; the event filter paints it.
    PaintFocusedFields({m_dateEdit, m_subjectCombo, m_deadlineEdit, m_responsibleEdit});
    for (QLineEdit *e : m_attachmentEdits)
        PaintFocusedField(e);
    // Keys reach the combo box, which hands them to its line edit directly (past any filter
    // on the line edit), so both are watched.
    m_subjectCombo->installEventFilter(this);
    m_subjectCombo->lineEdit()->installEventFilter(this);
    m_textEditor->installEventFilter(this);
    // Ctrl+Enter is OK from anywhere, the text included; Enter presses a focused button.
    auto keys = new FieldKeys(this, [this] { onOkClicked(); });
    keys->setEnterPressesButtons(true);
    keys->setMultiLineText(m_textEditor);
    keys->watchAll();
}

void Tfrm_Szerkeszt::setHeading(const QString &committeeName)
{
    m_headingLabel->setText(committeeName);
}

void Tfrm_Szerkeszt::setSubjectChoices(const QStringList &subjects)
{
    const QString typed = m_subjectCombo->currentText();
    m_subjectCombo->clear();
    m_subjectCombo->addItems(subjects);
    m_subjectCombo->setEditText(typed);
}

void Tfrm_Szerkeszt::setRecord(const Resolution &record, QDate serverDate)
{
    m_recordId = record.id;
    m_yearEdit->setText(QString::number(record.year));
    m_numberEdit->setText(QString::number(record.number));
    m_dateEdit->setText(record.date.isValid() ? record.date.toString(u"MM.dd"_s) : QString());
    m_subjectCombo->setEditText(record.subject);
    m_textEditor->setWholeText(record.text);
    m_deadlineCheck->setChecked(record.hasDeadline);
    onDeadlineToggled(record.hasDeadline);
    m_deadlineEdit->setDate(record.hasDeadline && record.deadline.isValid() ? record.deadline : serverDate);
    m_responsibleEdit->setText(record.responsible);
    m_attachments = record.attachments;
    for (int i = 0; i < AttachmentSlotCount; ++i)
        m_attachmentEdits[i]->setText(m_attachments[i].sourceName);
}

bool Tfrm_Szerkeszt::collect(Resolution &record, QString *error) const
{
    const QDate date = ResolutionDate(record.year, m_dateEdit->displayText(), error);
    if (!date.isValid())
        return false;
    record.date = date;
    record.subject = m_subjectCombo->currentText();
    record.text = m_textEditor->wholeText();
    record.hasDeadline = m_deadlineCheck->isChecked();
    record.deadline = record.hasDeadline ? m_deadlineEdit->date() : QDate();
    record.responsible = m_responsibleEdit->text();
    record.attachments = m_attachments;
    return true;
}

void Tfrm_Szerkeszt::onChooseFileClicked(int slot)
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
    m_attachmentEdits[slot - 1]->setText(a.sourceName);
}

void Tfrm_Szerkeszt::onRemoveFileClicked(int slot)
{
    m_attachments[slot - 1] = AttachmentValue();
    m_attachmentEdits[slot - 1]->clear();
}

void Tfrm_Szerkeszt::onOkClicked()
{
    if (m_okHandler && !m_okHandler())
        return;
    accept();
}

void Tfrm_Szerkeszt::onDeadlineToggled(bool visible)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_deadlineLabel, m_deadlineEdit, m_responsibleLabel,
                                                       m_responsibleEdit})
        w->setVisible(visible);
}

bool Tfrm_Szerkeszt::eventFilter(QObject *watched, QEvent *event)
{
    auto widget = qobject_cast<QWidget *>(watched);
    if (event->type() == QEvent::KeyPress && widget) {
        auto key = static_cast<QKeyEvent *>(event);
        // The text editor would take Esc for itself; here it is "Mégsem", as in every other field.
        if (widget == m_textEditor && key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            m_cancelButton->click();
            return true;
        }
        // The first letter typed into an empty subject is a capital.
        if ((widget == m_subjectCombo || widget == m_subjectCombo->lineEdit()) &&
            m_subjectCombo->currentText().isEmpty() && key->text().size() == 1 &&
            key->text().at(0).isLetter() && !(key->modifiers() & Qt::ControlModifier)) {
            m_subjectCombo->lineEdit()->insert(key->text().toUpper());
            return true;
        }
    } else if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) &&
               widget == m_textEditor) {
        const bool focused = event->type() == QEvent::FocusIn;
        m_textEditor->setPaper(focused ? FocusedFieldColour() : palette().color(QPalette::Base));
        if (focused && m_textEditor->text().trimmed().isEmpty()) {
            int line = 0;
            int index = 0;
            m_textEditor->getCursorPosition(&line, &index);
            m_textEditor->setCursorPosition(line, 0);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_Szerkeszt::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_dateEdit->setFocus();
    m_dateEdit->setCursorPosition(0);
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
