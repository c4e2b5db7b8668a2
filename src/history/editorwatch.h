#pragma once

#include "editpresence.h"

#include <memory>

class Connection;
class QWidget;

// Who this workstation is, for the other editors' notice: set once after the log-in.
void SetEditorIdentity(const EditPresence::Who &who);

// Marks the record as open in this workstation's editor for as long as the result lives, and
// says first who else has it open and since when. The editor opens all the same.
std::unique_ptr<EditPresence> AnnounceEditor(Connection &con, int recordId, QWidget *parent);
