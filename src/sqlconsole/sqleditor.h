#pragma once

#include <Qsci/qscilexersql.h>
#include <Qsci/qsciscintilla.h>

// SQL colouring for MariaDB: its statements, clauses, types and functions as keywords;
// comments green, numbers blue, strings red; "#" comments and backslash escapes as the server
// reads them.
class MariaDbLexer : public QsciLexerSQL
{
    Q_OBJECT
public:
    explicit MariaDbLexer(QObject *parent = nullptr);
    const char *keywords(int set) const override;
};

// The console's editor: Courier New 10, line numbers in a gutter at least three digits wide,
// tab width 2, the current line pale blue, the selection grey, CR LF line ends, MariaDB
// colouring.
class SqlEditor : public QsciScintilla
{
    Q_OBJECT
public:
    explicit SqlEditor(QWidget *parent = nullptr);

    // The font every style is drawn with (the substitutions of the platform apply).
    QFont textFont() const;

private:
    void fitLineNumberMargin();

    MariaDbLexer *m_lexer;
    int m_marginDigits = 0;
};
