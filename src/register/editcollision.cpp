#include "editcollision.h"

using namespace Qt::StringLiterals;

namespace {

int attachmentIndex(ResolutionField field)
{
    switch (field) {
    case ResolutionField::Attachment1: return 0;
    case ResolutionField::Attachment2: return 1;
    case ResolutionField::Attachment3: return 2;
    default: return -1;
    }
}

QString fieldDateText(QDate date)
{
    return date.isValid() ? date.toString(u"yyyy.MM.dd."_s) : QString();
}

} // namespace

QString ResolutionFieldCaption(ResolutionField field)
{
    switch (field) {
    case ResolutionField::Date: return u"Dátum"_s;
    case ResolutionField::Subject: return u"Tárgy"_s;
    case ResolutionField::Text: return u"Határozat szövege"_s;
    case ResolutionField::Deadline: return u"Határidő"_s;
    case ResolutionField::Responsible: return u"Felelősök"_s;
    default: return u"Csatolt file %1."_s.arg(attachmentIndex(field) + 1);
    }
}

QString ResolutionFieldText(const Resolution &record, ResolutionField field)
{
    switch (field) {
    case ResolutionField::Date: return fieldDateText(record.date);
    case ResolutionField::Subject: return record.subject;
    case ResolutionField::Text: return record.text;
    case ResolutionField::Deadline: return record.hasDeadline ? fieldDateText(record.deadline) : u"nincs"_s;
    case ResolutionField::Responsible: return record.responsible;
    default: {
        const AttachmentValue &a = record.attachments[attachmentIndex(field)];
        if (!a.chosenPath.isEmpty())
            return a.chosenPath;
        return a.sourceName.isEmpty() ? u"nincs"_s : a.sourceName;
    }
    }
}

bool SameFieldValue(const Resolution &a, const Resolution &b, ResolutionField field)
{
    switch (field) {
    case ResolutionField::Date: return a.date == b.date;
    case ResolutionField::Subject: return a.subject == b.subject;
    case ResolutionField::Text: return a.text == b.text;
    case ResolutionField::Deadline:
        // Without the flag the deadline is not stored.
        return a.hasDeadline == b.hasDeadline && (!a.hasDeadline || a.deadline == b.deadline);
    case ResolutionField::Responsible: return a.responsible == b.responsible;
    default: {
        const AttachmentValue &x = a.attachments[attachmentIndex(field)];
        const AttachmentValue &y = b.attachments[attachmentIndex(field)];
        return x.chosenPath.isEmpty() && y.chosenPath.isEmpty() && x.storedName == y.storedName &&
               x.sourceName == y.sourceName;
    }
    }
}

void TakeFieldValue(Resolution &into, const Resolution &from, ResolutionField field)
{
    switch (field) {
    case ResolutionField::Date: into.date = from.date; break;
    case ResolutionField::Subject: into.subject = from.subject; break;
    case ResolutionField::Text: into.text = from.text; break;
    case ResolutionField::Deadline:
        into.hasDeadline = from.hasDeadline;
        into.deadline = from.deadline;
        break;
    case ResolutionField::Responsible: into.responsible = from.responsible; break;
    default: {
        const int i = attachmentIndex(field);
        into.attachments[i] = from.attachments[i];
        break;
    }
    }
}

EditCollision FindEditCollision(const Resolution &base, const Resolution &theirs, const Resolution &mine)
{
    EditCollision c;
    c.theirs = theirs;
    for (const ResolutionField field : AllResolutionFields) {
        const bool theyChanged = !SameFieldValue(base, theirs, field);
        const bool iChanged = !SameFieldValue(base, mine, field);
        if (theyChanged || iChanged)
            c.changed.append(field);
        if (theyChanged)
            c.theyChanged.append(field);
        if (theyChanged && iChanged && !SameFieldValue(theirs, mine, field))
            c.conflicting.append(field);
    }
    return c;
}

Resolution MergeEdits(const EditCollision &collision, const Resolution &mine,
                      const QList<ResolutionField> &takeTheirs)
{
    Resolution merged = mine;
    // Their row carries what the editor does not show, the status above all.
    merged.status = collision.theirs.status;
    for (const ResolutionField field : collision.theyChanged) {
        if (!collision.conflicting.contains(field) || takeTheirs.contains(field))
            TakeFieldValue(merged, collision.theirs, field);
    }
    return merged;
}

QString FieldValuesText(const Resolution &record, const QList<ResolutionField> &fields)
{
    QStringList parts;
    for (const ResolutionField field : fields)
        parts.append(ResolutionFieldCaption(field) + u":\n"_s + ResolutionFieldText(record, field));
    return parts.join(u"\n\n"_s);
}

std::pair<qsizetype, qsizetype> ChangedSpan(const QString &from, const QString &to)
{
    const qsizetype shorter = std::min(from.size(), to.size());
    qsizetype head = 0;
    while (head < shorter && from[head] == to[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
        ++tail;
    return {head, to.size() - head - tail};
}
