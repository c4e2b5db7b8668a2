#pragma once

#include "common/apperror.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

// Database field values arrive as QVariant; an invalid (null) QVariant is SQL NULL. NULL never
// fails: it gives the caller's default. A value that is present but cannot be converted (text
// that is no number, say) throws ConversionError.

class ConversionError : public AppError
{
public:
    using AppError::AppError;
};

// The value as text; `defaultText` for NULL. Raw bytes (QByteArray) are read as code page 1250.
QString ValueToStr(const QVariant &value, const QString &defaultText = QString());
// The value as a whole number (fractions rounded, dates as their day number); `defaultValue`
// for NULL.
int ValueToInt(const QVariant &value, int defaultValue = 0);
// The value as a floating-point number; dates and date-times as day numbers counted from
// 1899-12-30 with the time of day as the fraction (the form that stored files and the
// other workstations use). `defaultValue` for NULL.
double ValueToFloat(const QVariant &value, double defaultValue = 0.0);
// ValueToInt written in decimal digits, "0" for NULL: the only way an identifier or a number
// enters SQL text.
QString ValueToIntText(const QVariant &value);
// a when the condition holds, else b.
QVariant IfThenValue(bool condition, const QVariant &a, const QVariant &b);

// Day numbers counted from 1899-12-30, the time of day as the fraction. Before that day the
// whole part counts backwards but the fraction still runs forward (-1.25 is 1899-12-29 06:00).
double DateTimeToFloat(const QDateTime &dateTime);
QDateTime FloatToDateTime(double value);
