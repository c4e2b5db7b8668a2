#include "exporter.h"

#include "common/fileerror.h"
#include "common/paths.h"
#include "sheetexport.h"
#include "xlsworkbook.h"
#include "xlsxworkbook.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

using namespace Qt::StringLiterals;

ExportFormat ExportFormatOf(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toUpper();
    if (suffix == u"XLS"_s)
        return ExportFormat::Xls;
    if (suffix == u"XLSX"_s)
        return ExportFormat::Xlsx;
    if (suffix == u"XML"_s)
        return ExportFormat::Unsupported;
    return ExportFormat::Delimited;
}

QString UnsupportedFormatText()
{
    return u"Ebben a verzióban ez nem támogatott."_s;
}

QString DefaultExportFileName(const QString &given)
{
    const QString name = given.isEmpty() ? u"File001.csv"_s : given;
    if (!QDir::isRelativePath(name) || name.contains(u'/'))
        return name;
    return QDir(DocumentsPath()).filePath(name);
}

ExportResult ExportToFile(const QString &fileName, const ExportSource &source, const QList<int> &columns,
                          const ExportOptions &options, const ExportControl &control)
{
    const ExportFormat format = ExportFormatOf(fileName);
    if (format == ExportFormat::Unsupported)
        throw ExportError(UnsupportedFormatText());

    QSaveFile file(fileName);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw ExportError(u"Az állomány nem hozható létre: "_s + fileName + u" ("_s +
                          WriteFailureReason(file, errno) + u')');
    ExportResult result;
    switch (format) {
    case ExportFormat::Xls: {
        XlsWorkbook book;
        result = WriteSheets(book, source, columns, options, control);
        book.save(file);
        break;
    }
    case ExportFormat::Xlsx: {
        XlsxWorkbook book;
        result = WriteSheets(book, source, columns, options, control);
        book.save(file);
        break;
    }
    case ExportFormat::Delimited:
    case ExportFormat::Unsupported: result = WriteDelimited(file, source, columns, options, control); break;
    }
    // flush() first: a failure on the last buffered bytes does not fail commit().
    errno = 0;
    if (!file.flush() || !file.commit())
        throw ExportError(WriteFailedText(file, errno, fileName));
    return result;
}

QString ExportDoneText(const QString &fileName, ExportFormat format, const ExportResult &result)
{
    if (format == ExportFormat::Delimited)
        return FileDoneText(fileName);
    if (result.cellsCut > 0)
        return u"%1 cella szövege hosszabb volt %2 karakternél, ezért a táblázatba csak az eleje került."_s
            .arg(result.cellsCut)
            .arg(SheetBuilder::MaxCellText);
    return {};
}

QString FileDoneText(const QString &fileName)
{
    return fileName + u" file kész."_s;
}

QString ClipboardDoneText()
{
    return u"Adatok vágólapra másolása kész."_s;
}
