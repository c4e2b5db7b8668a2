#include "roweditor.h"

#include "common/values.h"
#include "db/dberror.h"
#include "db/table.h"
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
    MakeFixedSize(this);
    const int w = size.width();
    const int h = size.height();

    m_captionLabel = new QLabel(this);
    m_captionLabel->setObjectName(u"Label1"_s);
    m_captionLabel->setGeometry(16, 16, w - 32, 20);
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(u"DBEdit1"_s);
    m_nameEdit->setGeometry(16, 40, w - 32, 26);
    m_captionLabel->setBuddy(m_nameEdit);

    m_okButton = new QPushButton(u"OK"_s, this);
    m_okButton->setObjectName(u"btnOK"_s);
    m_okButton->setGeometry(w - 196, h - 47, 86, 30);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"btnMegsem"_s);
    m_cancelButton->setGeometry(w - 102, h - 47, 86, 30);
    // Enter belongs to the field (it moves on), so no button may take it as the default.
    m_okButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);

    auto *keys = new FieldKeys(this, FieldKeys::PressButton(m_okButton));
    keys->watch(m_nameEdit);
    PaintFocusedField(m_nameEdit);

    connect(m_okButton, &QPushButton::clicked, this, &RowEditor::onOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void RowEditor::setName(const QString &name)
{
    m_nameEdit->setText(name);
}

QString RowEditor::name() const
{
    return m_nameEdit->text();
}

void RowEditor::onOkClicked()
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

void OpenRowForEditing(Table &table, const QString &keyCondition)
{
    if (keyCondition.isEmpty()) {
        table.open(u"1 = 0"_s);
        table.append();
    } else {
        table.open(keyCondition);
        table.edit(0);
    }
}

bool RunRowEditor(RowEditor &editor, Table &table, const QString &field,
                  const std::function<void(const DbError &error)> &refused)
{
    editor.setName(ValueToStr(table.value(field)));
    editor.setSaveHandler([&] {
        const QString name = editor.name();
        table.setValue(field, name.isEmpty() ? QVariant() : QVariant(name));
        try {
            table.post();
        } catch (const DbError &error) {
            refused(error);
            return false;
        }
        return true;
    });
    if (editor.exec() == QDialog::Accepted)
        return true;
    table.cancel();
    return false;
}
