#include "editcollisiondialog.h"

#include "gui/dialogfields.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

enum Column { FieldColumn, BaseColumn, TheirsColumn, MineColumn, ChoiceColumn };

// A value to read and copy from, never to change: the text in a box of a few lines. Where it
// differs from `base`, the text is marked and scrolled into view, since the difference of two
// long resolution texts is often one sentence at their end.
QWidget *valueView(ResolutionField field, const QString &text, const QString &base, const QString &accessibleName)
{
    QWidget *view = nullptr;
    if (field == ResolutionField::Text) {
        // The box counts a CR LF as one character: the span is found in the text it holds.
        auto edit = new QPlainTextEdit(text);
        const QString shown = edit->toPlainText();
        edit->setReadOnly(true);
        edit->setMinimumHeight(edit->fontMetrics().lineSpacing() * 8);
        const auto [start, length] = ChangedSpan(QPlainTextEdit(base).toPlainText(), shown);
        if (length > 0) {
            QTextCursor cursor(edit->document());
            cursor.setPosition(int(start));
            cursor.setPosition(int(start + length), QTextCursor::KeepAnchor);
            QTextCharFormat changed;
            changed.setBackground(QColor(0xFF, 0xE0, 0x80));
            cursor.mergeCharFormat(changed);
            cursor.setPosition(int(start));
            edit->setTextCursor(cursor);
            // Once the window is laid out, so that the box knows its height.
            QTimer::singleShot(0, edit, [edit] { edit->centerCursor(); });
        }
        view = edit;
    } else {
        auto edit = new QLineEdit(text);
        edit->setReadOnly(true);
        edit->setCursorPosition(0);
        view = edit;
    }
    view->setAccessibleName(accessibleName);
    view->setMinimumWidth(180);
    return view;
}

QString fieldKey(ResolutionField field)
{
    return QString::number(int(field));
}

} // namespace

EditCollisionDialog::EditCollisionDialog(const Resolution &base, const EditCollision &collision,
                                         const Resolution &mine, QWidget *parent)
    : QDialog(parent), m_collision(collision)
{
    setObjectName(u"EditCollisionDialog"_s);
    setWindowTitle(u"Ütközés: a határozatot más is módosította"_s);
    auto intro = new QLabel(u"A határozatot a szerkesztés közben egy másik munkaállomás is módosította és mentette. "
                            "Az alábbi mezőkben legalább az egyik fél változtatott. Ahol mindketten mást írtak, "
                            "válassza ki, melyik változat kerüljön mentésre; a többi mezőben mindkét fél "
                            "változtatása megmarad."_s);
    intro->setWordWrap(true);
    auto note = new QLabel(u"Ha a másik munkaállomás változatát választja, a saját változata a vágólapra kerül, "
                           "így nem vész el. A „Vissza a szerkesztéshez” gomb a saját változatával nyitja újra "
                           "a szerkesztést."_s);
    note->setWordWrap(true);

    auto scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(buildFieldRows(base, mine));

    auto buttons = new QDialogButtonBox;
    auto save = buttons->addButton(u"Mentés"_s, QDialogButtonBox::AcceptRole);
    save->setObjectName(u"saveButton"_s);
    auto back = buttons->addButton(u"Vissza a szerkesztéshez"_s, QDialogButtonBox::RejectRole);
    back->setObjectName(u"backButton"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(scroll, 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
    resize(960, 640);
}

QWidget *EditCollisionDialog::buildFieldRows(const Resolution &base, const Resolution &mine)
{
    auto page = new QWidget;
    auto grid = new QGridLayout(page);
    const QStringList headings{u"Mező"_s, u"Megnyitáskor"_s, u"A másik munkaállomásé"_s, u"Az enyém"_s,
                               u"Mentésre kerül"_s};
    for (int column = 0; column < headings.size(); ++column) {
        auto heading = new QLabel(u"<b>%1</b>"_s.arg(headings[column]));
        grid->addWidget(heading, 0, column);
    }
    int row = 1;
    for (const ResolutionField field : std::as_const(m_collision.changed)) {
        const QString caption = ResolutionFieldCaption(field);
        grid->addWidget(new QLabel(caption), row, FieldColumn, Qt::AlignTop);
        const QString baseText = ResolutionFieldText(base, field);
        grid->addWidget(valueView(field, baseText, baseText, caption + u", megnyitáskor"_s), row, BaseColumn);
        grid->addWidget(valueView(field, ResolutionFieldText(m_collision.theirs, field), baseText,
                                  caption + u", a másik munkaállomásé"_s),
                        row, TheirsColumn);
        grid->addWidget(valueView(field, ResolutionFieldText(mine, field), baseText, caption + u", az enyém"_s),
                        row, MineColumn);
        // The text takes the room there is; one-line fields keep their height.
        if (field == ResolutionField::Text)
            grid->setRowStretch(row, 1);
        if (m_collision.conflicting.contains(field)) {
            auto choice = new QWidget;
            auto choiceLayout = new QVBoxLayout(choice);
            choiceLayout->setContentsMargins(0, 0, 0, 0);
            auto theirs = new QRadioButton(u"a másik munkaállomásé"_s);
            theirs->setObjectName(u"theirs"_s + fieldKey(field));
            auto own = new QRadioButton(u"az enyém"_s);
            own->setObjectName(u"mine"_s + fieldKey(field));
            own->setChecked(true);
            auto group = new QButtonGroup(this);
            group->addButton(theirs);
            group->addButton(own);
            choiceLayout->addWidget(theirs);
            choiceLayout->addWidget(own);
            choiceLayout->addStretch(1);
            grid->addWidget(choice, row, ChoiceColumn);
            m_choices.append({field, group});
        } else {
            const bool theirsKept = m_collision.theyChanged.contains(field);
            grid->addWidget(new QLabel(theirsKept ? u"a másik munkaállomásé"_s : u"az enyém"_s), row, ChoiceColumn,
                            Qt::AlignTop);
        }
        ++row;
    }
    if (!m_collision.changed.contains(ResolutionField::Text))
        grid->setRowStretch(row, 1);
    for (const Column stretching : {BaseColumn, TheirsColumn, MineColumn})
        grid->setColumnStretch(stretching, 1);
    return page;
}

QList<ResolutionField> EditCollisionDialog::takeTheirs() const
{
    QList<ResolutionField> fields;
    for (const auto &[field, group] : m_choices) {
        if (group->checkedButton() && group->checkedButton()->objectName().startsWith(u"theirs"_s))
            fields.append(field);
    }
    return fields;
}

std::optional<QList<ResolutionField>> AskEditCollision(const Resolution &base, const EditCollision &collision,
                                                       const Resolution &mine, int fontSize, QWidget *parent)
{
    EditCollisionDialog dialog(base, collision, mine, parent);
    ApplyFontSize(&dialog, fontSize);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QList<ResolutionField> takeTheirs = dialog.takeTheirs();
    // What the clerk typed and set aside stays at hand.
    if (!takeTheirs.isEmpty())
        QGuiApplication::clipboard()->setText(FieldValuesText(mine, takeTheirs));
    return takeTheirs;
}
