#include "sqleditor.h"

#include "gui/texteditors.h"

#include <QFontMetrics>

using namespace Qt::StringLiterals;

namespace sqleditor {

// $FFF0E1 (blue FF, green F0, red E1).
const QColor CurrentLineColor(0xE1, 0xF0, 0xFF);
const QColor SelectionColor(0xC0, 0xC0, 0xC0);
const QColor CommentColor(0x00, 0x80, 0x00);
const QColor NumberColor(0x00, 0x00, 0xFF);
const QColor StringColor(0xFF, 0x00, 0x00);
constexpr int MinMarginDigits = 3;

// Lower case: the lexer compares words in lower case.
const char MariaDbKeywords[] =
    // statements and clauses
    "accessible add after algorithm all alter analyze and any as asc ascii auto_increment avg_row_length "
    "before begin between binlog both btree by call cascade cascaded case catalog_name change changed "
    "character charset check checksum close coalesce collate collation column columns comment commit "
    "committed compact compressed concurrent condition connection consistent constraint contains continue "
    "convert create cross current current_date current_role current_time current_timestamp current_user "
    "cursor data database databases day day_hour day_microsecond day_minute day_second deallocate declare "
    "default definer delay_key_write delayed delete delimiter desc describe deterministic directory disable "
    "discard distinct distinctrow div do drop dual dumpfile duplicate dynamic each else elseif enable "
    "enclosed end engine engines enum errors escape escaped event events every except exchange execute "
    "exists exit explain extended false fetch fields first flush follows for force foreign format found "
    "from full fulltext function general global grant grants group handler hash having help high_priority "
    "hour hour_microsecond hour_minute hour_second identified if ignore ignore_server_ids import in index "
    "indexes infile inner inout insensitive insert insert_method install intersect interval into invoker "
    "is isolation iterate join key keys kill language last leading leave left level like limit linear "
    "lines load local localtime localtimestamp lock locks logs loop low_priority master match maxvalue "
    "max_rows merge microsecond min_rows minute minute_microsecond minute_second mod mode modifies modify "
    "month names natural next no no_write_to_binlog not null offset on open optimize option optionally or "
    "order out outer outfile over owner pack_keys package partition partitions password persistent plugin "
    "plugins precedes prepare primary privileges procedure processlist purge quarter query quick range "
    "read reads recursive redundant references regexp release reload rename repair repeat repeatable "
    "replace require reset resignal restrict return returning returns revoke right rlike role rollback "
    "rollup routine row row_format rows savepoint schema schemas second second_microsecond security "
    "select sensitive separator sequence serializable session set share show shutdown signal slave "
    "snapshot spatial specific sql sql_big_result sql_buffer_result sql_cache sql_calc_found_rows "
    "sql_no_cache sql_small_result sqlexception sqlstate sqlwarning start starting static status stop "
    "storage straight_join subpartition system_time table tables tablespace temporary terminated then "
    "to trailing transaction trigger triggers true truncate type uncommitted undo uninstall union unique "
    "unlock until update upgrade usage use user using utc_date utc_time utc_timestamp value values "
    "variables versioning view views wait warnings week when where while window with without work "
    "wrapper write xa xor year year_month zerofill "
    // types
    "bigint binary bit blob bool boolean char date datetime dec decimal double fixed float float4 float8 "
    "int int1 int2 int3 int4 int8 integer json long longblob longtext mediumblob mediumint mediumtext "
    "national nchar numeric nvarchar precision real serial signed smallint text time timestamp tinyblob "
    "tinyint tinytext unsigned varbinary varchar varcharacter varying "
    // functions
    "abs adddate addtime avg bit_and bit_or bit_xor cast ceil ceiling char_length character_length "
    "concat concat_ws count curdate curtime date_add date_format date_sub datediff dayname dayofmonth "
    "dayofweek dayofyear elt field find_in_set floor format_bytes from_days from_unixtime greatest "
    "group_concat hex ifnull inet_aton inet_ntoa insert instr isnull last_day last_insert_id lcase least "
    "length locate lower lpad ltrim makedate max md5 mid min monthname now nullif octet_length ord "
    "position pow power rand round row_count rpad rtrim sha1 sha2 sign sleep space str_to_date strcmp "
    "subdate substr substring substring_index sum sysdate time_format timediff timestampadd "
    "timestampdiff to_days trim truncate ucase unhex unix_timestamp upper uuid version weekday "
    "weekofyear yearweek";

} // namespace sqleditor

MariaDbLexer::MariaDbLexer(QObject *parent) : QsciLexerSQL(parent)
{
    setBackslashEscapes(true);
    setHashComments(true);
    for (int style : {Comment, CommentLine, CommentDoc, CommentLineHash, PlusComment, CommentDocKeyword})
        setColor(sqleditor::CommentColor, style);
    setColor(sqleditor::NumberColor, Number);
    for (int style : {SingleQuotedString, DoubleQuotedString})
        setColor(sqleditor::StringColor, style);
    setColor(Qt::black, Keyword);
    setColor(Qt::black, Default);
    setColor(Qt::black, Identifier);
    setColor(Qt::black, Operator);
}

const char *MariaDbLexer::keywords(int set) const
{
    return set == 1 ? sqleditor::MariaDbKeywords : nullptr;
}

SqlEditor::SqlEditor(QWidget *parent) : QsciScintilla(parent), m_lexer(new MariaDbLexer(this))
{
    setUtf8(true);
    setEolMode(EolWindows);
    setTabWidth(2);
    setCaretLineVisible(true);
    setCaretLineBackgroundColor(sqleditor::CurrentLineColor);
    setSelectionBackgroundColor(sqleditor::SelectionColor);
    resetSelectionForegroundColor();

    const QFont font(u"Courier New"_s, 10);
    m_lexer->setDefaultFont(font);
    m_lexer->setFont(font, -1);
    QFont bold = font;
    bold.setBold(true);
    m_lexer->setFont(bold, QsciLexerSQL::Keyword);
    m_lexer->setDefaultPaper(Qt::white);
    m_lexer->setPaper(Qt::white, -1);
    setLexer(m_lexer);
    setFont(font);
    GiveAccentsRoom(this, font);

    setMarginType(0, NumberMargin);
    setMarginLineNumbers(0, true);
    setMarginsFont(font);
    setMarginWidth(1, 0);
    fitLineNumberMargin();
    connect(this, &QsciScintilla::linesChanged, this, &SqlEditor::fitLineNumberMargin);
}

QFont SqlEditor::textFont() const
{
    return m_lexer->font(QsciLexerSQL::Default);
}

void SqlEditor::fitLineNumberMargin()
{
    const int digits = std::max(sqleditor::MinMarginDigits, int(QString::number(lines()).size()));
    if (digits == m_marginDigits)
        return;
    m_marginDigits = digits;
    setMarginWidth(0, QString(digits + 1, u'0'));
}
