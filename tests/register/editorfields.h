#pragma once

// The editor window's fields, looked up by their original component names as a test sees them.
#include "register/frm_szerkeszt.h"
#include "testutil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>

namespace editorfields {

// A missing field fails the running test with its name and gives null; a test checks the whole
// form once with REQUIRE_EDITOR_FIELDS before it uses the fields, so none of them is null after.
template <typename T> T *child(QWidget *form, const QString &name)
{
    return RequireChild<T>(form, name);
}

inline QLabel *headingLabel(QWidget *f)
{
    return child<QLabel>(f, QStringLiteral("Label1"));
}
inline QLineEdit *yearEdit(QWidget *f)
{
    return child<QLineEdit>(f, QStringLiteral("DBEdit2"));
}
inline QLineEdit *numberEdit(QWidget *f)
{
    return child<QLineEdit>(f, QStringLiteral("DBEdit3"));
}
inline QLineEdit *dateEdit(QWidget *f)
{
    return child<QLineEdit>(f, QStringLiteral("MaskEdit1"));
}
inline QComboBox *subjectCombo(QWidget *f)
{
    return child<QComboBox>(f, QStringLiteral("DBComboBox1"));
}
inline QsciScintilla *textEditor(QWidget *f)
{
    return child<QsciScintilla>(f, QStringLiteral("SynEdit1"));
}
inline QCheckBox *deadlineCheck(QWidget *f)
{
    return child<QCheckBox>(f, QStringLiteral("DBCheckBox1"));
}
inline QDateEdit *deadlineEdit(QWidget *f)
{
    return child<QDateEdit>(f, QStringLiteral("c2"));
}
inline QLineEdit *responsibleEdit(QWidget *f)
{
    return child<QLineEdit>(f, QStringLiteral("c4"));
}
// Slot 0..2.
inline QLineEdit *attachmentEdit(QWidget *f, int index)
{
    static const char *const names[] = {"DBEdit6", "DBEdit7", "DBEdit8"};
    return child<QLineEdit>(f, QString::fromLatin1(names[index]));
}
inline QToolButton *chooseButton(QWidget *f, int index)
{
    static const char *const names[] = {"BitBtn6", "BitBtn10", "BitBtn11"};
    return child<QToolButton>(f, QString::fromLatin1(names[index]));
}
inline QToolButton *removeButton(QWidget *f, int index)
{
    static const char *const names[] = {"BitBtn12", "BitBtn13", "BitBtn14"};
    return child<QToolButton>(f, QString::fromLatin1(names[index]));
}
inline QPushButton *okButton(QWidget *f)
{
    return child<QPushButton>(f, QStringLiteral("btnOK"));
}
inline QPushButton *cancelButton(QWidget *f)
{
    return child<QPushButton>(f, QStringLiteral("btnCancel"));
}

// Whether the form has every field above; each missing one has failed the running test.
inline bool hasAllFields(QWidget *f)
{
    bool all = headingLabel(f) && yearEdit(f) && numberEdit(f) && dateEdit(f) && subjectCombo(f) &&
               textEditor(f) && deadlineCheck(f) && deadlineEdit(f) && responsibleEdit(f) && okButton(f) &&
               cancelButton(f);
    for (int i = 0; i < 3; ++i)
        all = attachmentEdit(f, i) && chooseButton(f, i) && removeButton(f, i) && all;
    return all;
}

} // namespace editorfields

// Leaves the (void) function when the editor form `f` lacks a field the tests use.
#define REQUIRE_EDITOR_FIELDS(f)                                                                             \
    if (!editorfields::hasAllFields(f))                                                                      \
    return
