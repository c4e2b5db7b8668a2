#pragma once

#include <QList>

// The register grid's eight columns: the view's field, the title, and the share of the grid's
// width (in per cent of all eight).
enum RegisterColumn {
    ColNumber,
    ColCommittee,
    ColDate,
    ColSubject,
    ColShortText,
    ColResponsible,
    ColDeadline,
    ColStatus,
    RegisterColumnCount
};

struct RegisterColumnInfo
{
    const char16_t *field;
    const char16_t *title;
    int weight;
};

extern const RegisterColumnInfo RegisterColumns[RegisterColumnCount];

// Width of each column in a grid `gridWidth` pixels wide; 0 for a column that is hidden. The
// committee column shows only on the tab of all committees, the short text only while the
// resolution panel is closed; the shown columns share what the row indicator and the scroll
// bar leave, in the ratio of their weights.
QList<int> RegisterColumnWidths(int gridWidth, bool allCommittees, bool panelShown);
