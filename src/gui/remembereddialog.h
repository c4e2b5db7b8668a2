#pragma once

#include <QDialog>

// A dialog that opens where the user last left it: its position is loaded from the settings
// file when it is shown and saved when it closes, in the section of its objectName().
class RememberedDialog : public QDialog
{
    Q_OBJECT

public:
    using QDialog::QDialog;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
};
