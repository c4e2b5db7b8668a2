#pragma once

#include "gui/roweditor.h"

// Row editor of a master-data table: the name of one row and, below it, the row's id. It only
// shows and collects; EditMasterDataRow fills it and writes the row.
class Tfrm_Torzsadat_Szerkeszt : public RowEditor
{
    Q_OBJECT

public:
    explicit Tfrm_Torzsadat_Szerkeszt(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    void setMaxNameLength(int length);
    // The id shown under the name; empty for a new row.
    void setIdText(const QString &text);
    void setOkEnabled(bool enabled);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_idLabel = nullptr; // component name "DBText1"
};
