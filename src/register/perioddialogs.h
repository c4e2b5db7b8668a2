#pragma once

#include "periods.h"

#include <QDate>
#include <QString>

class QWidget;

// Asks for a period. On OK returns true with from and to set to the picked dates (a from-date
// after the to-date is handed back as it is); otherwise returns false and leaves both alone.
// A non-empty caption replaces the window caption.
bool PickPeriod(QDate &from, QDate &to, const QString &caption = QString(), QWidget *parent = nullptr);

// Asks for one date. On OK returns true with date set; otherwise returns false and leaves it
// alone. A non-empty caption replaces the window caption.
bool PickDate(QDate &date, const QString &caption = QString(), QWidget *parent = nullptr);
