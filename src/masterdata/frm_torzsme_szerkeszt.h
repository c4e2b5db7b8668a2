#pragma once

#include "gui/roweditor.h"

// Editor of one subject of the catalogue. It only shows and collects; EditSubject fills it and
// writes the row.
class Tfrm_TorzsMe_Szerkeszt : public RowEditor
{
    Q_OBJECT

public:
    explicit Tfrm_TorzsMe_Szerkeszt(QWidget *parent = nullptr);

    void setSubject(const QString &subject);
    QString subject() const;
};
