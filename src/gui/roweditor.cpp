#include "roweditor.h"

#include "gui/dialogfields.h"
#include "gui/formgeometry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

RowEditor::RowEditor(const QString &objectName, QSize size, QWidget *parent) : QDialog(parent)
{
    setObjectName(objectName);
    setFixedSize(size);
    const int w = size.width();
    const int h = size.height();

    Label1 = new QLabel(this);
    Label1->setGeometry(16, 16, w - 32, 20);
    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName(u"DBEdit1"_s);
    DBEdit1->setGeometry(16, 40, w - 32, 26);
    Label1->setBuddy(DBEdit1);

    btnOK = new QPushButton(u"OK"_s, this);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setGeometry(w - 196, h - 47, 86, 30);
    btnMegsem = new QPushButton(u"Mégsem"_s, this);
    btnMegsem->setObjectName(u"btnMegsem"_s);
    btnMegsem->setGeometry(w - 102, h - 47, 86, 30);
    // Enter belongs to the field (it moves on), so no button may take it as the default.
    btnOK->setAutoDefault(false);
    btnMegsem->setAutoDefault(false);

    auto *keys = new FieldKeys(this, FieldKeys::PressButton(btnOK));
    keys->watch(DBEdit1);
    PaintFocusedField(DBEdit1);

    connect(btnOK, &QPushButton::clicked, this, &RowEditor::btnOKClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
}

void RowEditor::btnOKClick()
{
    if (!m_save || m_save())
        accept();
}

void RowEditor::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        LoadFormPos(this);
    }
    QDialog::showEvent(event);
}

void RowEditor::done(int result)
{
    if (isVisible())
        SaveFormPos(this);
    QDialog::done(result);
}
