#pragma once

#include "editcollision.h"

#include <QDialog>
#include <QList>
#include <optional>

class QButtonGroup;

// Shown when another workstation changed a record while the clerk edited it: for every field
// either side changed, the value when the editor opened, theirs and the clerk's; for a field
// both changed differently, the clerk chooses which one is saved. Nothing here writes.
class EditCollisionDialog : public QDialog
{
    Q_OBJECT

public:
    EditCollisionDialog(const Resolution &base, const EditCollision &collision, const Resolution &mine,
                        QWidget *parent = nullptr);
    // The conflicting fields whose "theirs" is chosen.
    QList<ResolutionField> takeTheirs() const;

private:
    QWidget *buildFieldRows(const Resolution &base, const Resolution &mine);

    EditCollision m_collision;
    QList<std::pair<ResolutionField, QButtonGroup *>> m_choices;
};

// Asks the clerk how a collision is resolved. The fields to take from theirs, or nullopt when
// the clerk goes back to editing.
std::optional<QList<ResolutionField>> AskEditCollision(const Resolution &base, const EditCollision &collision,
                                                       const Resolution &mine, int fontSize = 0,
                                                       QWidget *parent = nullptr);
