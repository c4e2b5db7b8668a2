#pragma once

#include <QVariant>

class Connection;

// The two changes of a resolution record that the main window makes without the editor, as the
// database sees them; statusdelete.h asks the user first. Database errors are raised as DbError.

// The status F3 turns `status` into: 1 (open) becomes 2 (done) and 2 becomes 1; anything else
// (NULL, 0, an unknown value) has no next status and gives 0.
int ToggledResolutionStatus(const QVariant &status);

void WriteResolutionStatus(Connection &con, int recordId, int status);

// Deletes the record's row; its attached files stay in the document store.
void DeleteResolutionRow(Connection &con, int recordId);
