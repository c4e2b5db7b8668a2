#pragma once

#include "resolutionsave.h"

#include <QDate>
#include <QString>

class Connection;
class QWidget;

// The editor: recordId -1 makes a new record of the committee dated `date`; any other id
// edits that record (committee and date unused). Returns the saved record's id, or -1 when
// the editor was cancelled or the record no longer exists. The document store is the folder
// of the attachments; fontSize 0 keeps the parent's font size. The record's reading and saving
// are in resolutionrecord.h and resolutionsave.h, which need no window.
int EditResolution(Connection &con, int recordId, int committeeId, QDate date, const QString &documentStore,
                   int fontSize = 0, QWidget *parent = nullptr);

// The editor part of a new record, once the committee and the date are chosen.
int NewResolution(Connection &con, int committeeId, QDate date, const QString &documentStore,
                  int fontSize = 0, QWidget *parent = nullptr);
