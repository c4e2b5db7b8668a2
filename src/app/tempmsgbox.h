#pragma once
// TEMPORARY until the shared message boxes land; delete after merging them.
#include <QMessageBox>
#include <QString>

inline void ShowErrorBox(const QString &text, QWidget *owner = nullptr)
{
    QMessageBox::critical(owner, QStringLiteral("Hiba"), text);
}
