#pragma once

#include "resolutionrecord.h"

#include <QList>
#include <QString>
#include <array>

// What the editor lets a clerk change, one part at a time as the clerk sees it. Another
// workstation's edit of the same record is compared part by part: the ones that only one side
// changed merge without a question, the ones both changed differently are the clerk's to choose.
enum class ResolutionField { Date, Subject, Text, Deadline, Responsible, Attachment1, Attachment2, Attachment3 };

inline constexpr std::array AllResolutionFields{
    ResolutionField::Date,        ResolutionField::Subject,     ResolutionField::Text,
    ResolutionField::Deadline,    ResolutionField::Responsible, ResolutionField::Attachment1,
    ResolutionField::Attachment2, ResolutionField::Attachment3,
};

// The field's caption in the editor ("Tárgy", "Csatolt file 2." ...).
QString ResolutionFieldCaption(ResolutionField field);
// The field's value as the clerk reads it: the date as yyyy.MM.dd., the deadline or "nincs",
// an attachment by its file name.
QString ResolutionFieldText(const Resolution &record, ResolutionField field);
// Whether two versions of a record hold the same value in the field. A file chosen in the
// editor and not yet stored differs from every stored one.
bool SameFieldValue(const Resolution &a, const Resolution &b, ResolutionField field);
// Copies the field's value from `from` into `into`.
void TakeFieldValue(Resolution &into, const Resolution &from, ResolutionField field);

// The record as another workstation left it on the server while the clerk was editing it.
struct EditCollision
{
    Resolution theirs;
    QList<ResolutionField> changed;     // the fields either side changed, in the editor's order
    QList<ResolutionField> theyChanged; // those the other workstation changed
    QList<ResolutionField> conflicting; // those both changed, to different values
};

// Compares the clerk's edit (`mine`) and the row on the server (`theirs`) with the record as the
// editor opened it (`base`).
EditCollision FindEditCollision(const Resolution &base, const Resolution &theirs, const Resolution &mine);

// The clerk's edit on top of theirs: every field only they changed comes from theirs, every
// conflicting field from theirs when it is in `takeTheirs`, all else stays as the clerk has it.
Resolution MergeEdits(const EditCollision &collision, const Resolution &mine,
                      const QList<ResolutionField> &takeTheirs);

// The values of the fields as plain text, each under its caption: what the clerk set aside
// when theirs was chosen, to be pasted back if needed.
QString FieldValuesText(const Resolution &record, const QList<ResolutionField> &fields);

// The part of `to` that differs from `from`, as its start and length: what lies between their
// common beginning and their common end. Length 0 when the two are equal.
std::pair<qsizetype, qsizetype> ChangedSpan(const QString &from, const QString &to);
