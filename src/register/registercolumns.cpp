#include "registercolumns.h"

#include <algorithm>

const RegisterColumnInfo RegisterColumns[RegisterColumnCount] = {
    {u"iktatoaz", u"Határozatszám", 10},
    {u"csoport_nev", u"Bizottság", 11},
    {u"datum", u"Dátum", 9},
    {u"targy", u"Tárgy", 9},
    {u"hatarozatstr", u"Határozat", 33},
    {u"felelos", u"Felelős", 11},
    {u"dat_hatid", u"Határidő", 9},
    {u"statusz_nev", u"Státusz", 8},
};

namespace registercolumns {
// The row indicator, the scroll bar and the frame.
constexpr int GridMargin = 44;
} // namespace registercolumns

QList<int> RegisterColumnWidths(int gridWidth, bool allCommittees, bool panelShown)
{
    int weights[RegisterColumnCount];
    int sum = 0;
    for (int i = 0; i < RegisterColumnCount; ++i) {
        weights[i] = RegisterColumns[i].weight;
        if ((i == ColCommittee && !allCommittees) || (i == ColShortText && panelShown))
            weights[i] = 0;
        sum += weights[i];
    }
    const int available = gridWidth - registercolumns::GridMargin;
    QList<int> widths;
    for (int weight : weights)
        widths.append(std::max(0, int(double(available) * (weight / 100.0) * (100.0 / sum))));
    return widths;
}
