#pragma once

// The editor window's fields, looked up by their original component names as a test sees them.
#include "register/frm_szerkeszt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <Qsci/qsciscintilla.h>
#include <cstdio>
#include <cstdlib>

namespace editorfields {

// A missing field is a broken window, not a failed expectation: the test stops there.
template <typename T> T *child(QWidget *form, const QString &name)
{
    T *widget = form->findChild<T *>(name);
    if (!widget) {
        std::fprintf(stderr, "the editor has no %s\n", qPrintable(name));
        std::abort();
    }
    return widget;
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

} // namespace editorfields
