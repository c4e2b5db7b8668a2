#include "settingsrow.h"

#include "dbroutines.h"
#include "table.h"

using namespace Qt::StringLiterals;

SettingsRow ReadSettingsRow(Connection &con)
{
    Table settings(&con, u"beallit"_s);
    settings.open();
    if (settings.rowCount() == 0)
        return {};
    const ResultSet &rows = settings.rows();
    const auto text = [&](const char16_t *field) {
        const int column = rows.fieldIndex(QStringView(field));
        return column >= 0 ? rows.text(0, column) : QString();
    };
    return {text(u"vanbelep"), text(u"mentesutvonal")};
}

void WriteSettingsRow(Connection &con, const SettingsRow &read, const SettingsRow &changed)
{
    if (read == changed)
        return;
    Table settings(&con, u"beallit"_s);
    settings.open();
    const bool isNew = settings.rowCount() == 0;
    if (isNew)
        settings.append();
    else
        settings.edit(0);
    if (isNew || changed.vanbelep != read.vanbelep)
        settings.setValue(u"vanbelep"_s, changed.vanbelep);
    if (isNew || changed.mentesutvonal != read.mentesutvonal)
        settings.setValue(u"mentesutvonal"_s, changed.mentesutvonal);
    settings.post();
}

QString SchemaVersion(Connection &con)
{
    return QueryText(con, u"SELECT MAX(verzio) FROM verzio;"_s, QString());
}
