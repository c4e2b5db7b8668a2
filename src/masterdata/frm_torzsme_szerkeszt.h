#pragma once

#include "gui/roweditor.h"

// Editor of one subject of the catalogue (the subject is the row editor's name field). It only
// shows and collects; EditSubject fills it and writes the row.
class Tfrm_TorzsMe_Szerkeszt : public RowEditor
{
    Q_OBJECT

public:
    explicit Tfrm_TorzsMe_Szerkeszt(QWidget *parent = nullptr);
};
