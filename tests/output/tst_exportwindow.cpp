#include "app/beall.h"
#include "app/frm_main.h"
#include "app/mainactions.h"
#include "app/mainregister.h"
#include "app/setup.h"
#include "common/cp1250.h"
#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "db/connection.h"
#include "db/query.h"
#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "output/frm_hatarolt.h"
#include "output/frm_nyomvalaszt.h"
#include "register/registerquery.h"
#include "register/registerview.h"
#include "samplerows.h"
#include "sheetdump.h"
#include "startedprogram.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The sample table exported with the window's defaults: semicolon, no qualifier, memo as text,
// every field.
const QStringList DefaultLines{
    u"id;nev;osszeg;arany;nap;idopont;ido;leiras;adat;"_s,
    u"1;Kőrút „A” – ű;1234,50;0,25;2024. 03. 05.;2024. 03. 05. 14:07:09;8:05:00;első sor\\nmásodik, sor;BLOB"_s,
    u"2;a;b|c,d;-3,00;;2024. 12. 31.;2024. 01. 01.;;c:\\\\mappa\t|,,vége;BLOB"_s,
    u"3;Idéző \"jel\";;1e20;;;23:59:59;;BLOB"_s,
    u"4;O'Brien;0,00;-1,5;1999. 01. 01.;;;egy\\nkettő\\nhárom;BLOB"_s,
    u"5;;;;;;;;BLOB"_s};

// The user's documents folder of the test: XDG's user-dirs file in the temporary configuration
// home names it.
QString SetDocumentsFolder(const ScopedDataFolder &folder)
{
    const QString documents = QDir(folder.path()).filePath(u"Dokumentumok"_s);
    QDir().mkpath(documents);
    QFile dirs(QDir(folder.path()).filePath(u"user-dirs.dirs"_s));
    if (dirs.open(QIODevice::WriteOnly))
        dirs.write("XDG_DOCUMENTS_DIR=\"" + QFile::encodeName(documents) + "\"\n");
    return documents;
}

// Types the name into the save dialog as a user does and accepts it. (selectFile() leaves the
// name box alone while it has the focus.)
void ChooseFile(QFileDialog *dialog, const QString &path)
{
    dialog->setDirectory(QFileInfo(path).path());
    REQUIRE_CHILD(nameBox, QLineEdit, dialog, u"fileNameEdit"_s);
    QVERIFY(nameBox);
    nameBox->setText(QFileInfo(path).fileName());
    static_cast<QDialog *>(dialog)->accept();
    QVERIFY(!dialog->isVisible());
}

} // namespace

Q_DECLARE_METATYPE(QList<int>)

// The export window driven as a user drives it: the choices of its controls reach the file, the
// clipboard and the messages; the stop button and the busy state; the main window's aExcel and
// the reports' export choice open it on their rows.
class TestExportWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void opensWithEverythingTicked();
    void controlsReachTheFile_data();
    void controlsReachTheFile();
    void spreadsheetByExtension_data();
    void spreadsheetByExtension();
    void xmlIsRefusedAndWritesNothing_data();
    void xmlIsRefusedAndWritesNothing();
    void unwritableFileSaysHiba();
    void stopKeepsTheRowsGathered_data();
    void stopKeepsTheRowsGathered();
    void closingWhileRunningStopsFirst();
    void clipboardIsTabSeparatedWithoutQualifier();
    void emptyNameAsksForTheFile_data();
    void emptyNameAsksForTheFile();
    void browseOffersTheFormats();
    void openAfterExportHandsTheFileOverAndCloses();
    void positionIsRemembered();

    void aExcelExportsTheRegisterRows();
    void aExcelClosedWithoutExportLeavesTheRegister();
    void reportExportChoiceOpensTheWindowOnTheReportRows();

private:
    std::unique_ptr<Query> sampleQuery(const QString &where = {});
    // The main window started on the database; null when the start-up did not get through.

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
    std::unique_ptr<ScopedDataFolder> m_folder;
    QString m_documents;
    QTemporaryDir m_dir;
};

void TestExportWindow::initTestCase()
{
    REQUIRE_TEST_SERVER();
    SetUpApplication(*qApp);
    m_db = std::make_unique<TestDatabase>(TestDatabase::Content::Empty);
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
    CreateSampleTable(*m_con);
    // Enough rows for an export that lets input through more than once.
    m_con->exec(u"CREATE TABLE sok (id INT NOT NULL PRIMARY KEY, nev VARCHAR(40))"_s);
    m_con->exec(u"INSERT INTO sok SELECT seq, CONCAT('sor ', seq) FROM seq_1_to_20000"_s);
}

void TestExportWindow::cleanupTestCase()
{
    m_con.reset();
    m_db.reset();
}

void TestExportWindow::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    QDir().mkpath(DataFolder());
    m_documents = SetDocumentsFolder(*m_folder);
    Beall = TBeall();
}

void TestExportWindow::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_folder.reset();
    QVERIFY(!QApplication::activeModalWidget());
}

std::unique_ptr<Query> TestExportWindow::sampleQuery(const QString &where)
{
    auto query = std::make_unique<Query>(m_con.get());
    query->setSql(SampleSelect + u'\n' + where + u"\nORDER BY id;"_s);
    query->open();
    return query;
}

void TestExportWindow::opensWithEverythingTicked()
{
    auto query = sampleQuery();
    Tfrm_Hatarolt window(*query);
    window.show();
    QCOMPARE(window.windowTitle(), u"Határolt szöveg export"_s);
    QStringList names;
    for (int i = 0; i < window.fieldList()->count(); ++i) {
        names.append(window.fieldList()->item(i)->text());
        QCOMPARE(window.fieldList()->item(i)->checkState(), Qt::Checked);
    }
    QCOMPARE(names, (QStringList{u"id"_s, u"nev"_s, u"osszeg"_s, u"arany"_s, u"nap"_s, u"idopont"_s, u"ido"_s,
                                 u"leiras"_s, u"adat"_s}));
    QCOMPARE(window.separatorGroup()->checkedButton()->text(), u"Pontosvessző (;)"_s);
    QCOMPARE(window.qualifierGroup()->checkedButton()->text(), u"Semmi"_s);
    QVERIFY(window.multiLineBox()->isChecked());
    QVERIFY(!window.fieldNamesBox()->isChecked());
    QVERIFY(!window.noHeaderBox()->isChecked());
    QVERIFY(!window.openAfterBox()->isChecked());
    QVERIFY(window.startButton()->isDefault());
    QVERIFY(window.startButton()->isEnabled());
    QVERIFY(!window.stopButton()->isEnabled());
    QCOMPARE(window.progressBar()->value(), 0);

    // "Egyik sem" and "Összes".
    window.noneButton()->click();
    QCOMPARE(window.tickedColumns(), QList<int>());
    window.allButton()->click();
    QCOMPARE(window.tickedColumns(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));

    // The file name box is light blue while it has the focus.
    window.activateWindow();
    window.fileNameEdit()->setFocus();
    QTRY_COMPARE(window.fileNameEdit()->palette().color(QPalette::Base), FocusedFieldColour());
    window.fieldList()->setFocus();
    QTRY_VERIFY(window.fileNameEdit()->palette().color(QPalette::Base) != FocusedFieldColour());
}

void TestExportWindow::controlsReachTheFile_data()
{
    QTest::addColumn<int>("separator");
    QTest::addColumn<int>("qualifier");
    QTest::addColumn<QList<int>>("unticked");
    QTest::addColumn<QList<bool>>("checks"); // multi-line, field names, no header
    QTest::addColumn<QString>("expected");

    const QList<int> none;
    QTest::newRow("defaults") << 0 << 2 << none << QList<bool>{true, false, false} << lines(DefaultLines);
    QTest::newRow("tab, double quote, some fields")
        << 1 << 0 << QList<int>{0, 2, 3, 4, 5, 6, 8} << QList<bool>{true, false, false}
        << lines({u"\"nev\"\t\"leiras\"\t"_s, u"\"Kőrút „A” – ű\"\t\"első sor\\nmásodik; sor\""_s,
                  u"\"a;b|c,d\"\t\"c:\\\\mappa,|;,vége\""_s, u"\"Idéző \"\"jel\"\"\"\t\"\""_s,
                  u"\"O'Brien\"\t\"egy\\nkettő\\nhárom\""_s, u"\"\"\t\"\""_s});
    QTest::newRow("comma, apostrophe, memo as BLOB")
        << 2 << 1 << QList<int>{2, 3, 4, 5, 6, 8} << QList<bool>{false, true, false}
        << lines({u"'id','nev','leiras',"_s, u"'1','Kőrút „A” – ű','BLOB'"_s, u"'2','a;b|c,d','BLOB'"_s,
                  u"'3','Idéző \"jel\"','BLOB'"_s, u"'4','O''Brien','BLOB'"_s, u"'5','','BLOB'"_s});
    QTest::newRow("pipe, no header") << 3 << 2 << QList<int>{1, 2, 3, 4, 5, 6, 8}
                                     << QList<bool>{true, false, true}
                                     << lines({QString(), u"1|első sor\\nmásodik; sor"_s,
                                               u"2|c:\\\\mappa\t,;,vége"_s, u"3|"_s, u"4|egy\\nkettő\\nhárom"_s,
                                               u"5|"_s});
    QTest::newRow("nothing ticked") << 0 << 0 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}
                                    << QList<bool>{true, false, false}
                                    << lines({QString(), QString(), QString(), QString(), QString(),
                                              QString()});
}

void TestExportWindow::controlsReachTheFile()
{
    QFETCH(int, separator);
    QFETCH(int, qualifier);
    QFETCH(QList<int>, unticked);
    QFETCH(QList<bool>, checks);
    QFETCH(QString, expected);

    auto query = sampleQuery();
    Tfrm_Hatarolt window(*query);
    window.show();
    const QString path = m_dir.filePath(u"export.csv"_s);
    QFile::remove(path);
    window.fileNameEdit()->setText(path);
    window.separatorGroup()->button(separator)->click();
    window.qualifierGroup()->button(qualifier)->click();
    for (int column : unticked)
        window.fieldList()->item(column)->setCheckState(Qt::Unchecked);
    window.multiLineBox()->setChecked(checks.at(0));
    window.fieldNamesBox()->setChecked(checks.at(1));
    window.noHeaderBox()->setChecked(checks.at(2));

    MessageBoxRecorder boxes;
    QTest::mouseClick(window.startButton(), Qt::LeftButton);

    QCOMPARE(readFile(path), ToCp1250(expected));
    QCOMPARE(boxes.texts(), QStringList{path + u" file kész."_s});
    QCOMPARE(boxes.boxes().constFirst().kind, MessageBoxRecorder::Kind::Info);
    QCOMPARE(window.progressBar()->value(), 0);
    QVERIFY(!window.stopButton()->isEnabled());
    QVERIFY(window.startButton()->isEnabled());
    // The dataset stays open on its last row; the window stays open for another export.
    QVERIFY(query->isOpen());
    QCOMPARE(query->recNo(), query->rowCount() - 1);
    QVERIFY(window.isVisible());
}

void TestExportWindow::spreadsheetByExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("magic");
    const QByteArray ole2("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    QTest::newRow("xls") << u"lista.xls"_s << ole2;
    QTest::newRow("XLS") << u"LISTA.XLS"_s << ole2;
    QTest::newRow("xlsx") << u"lista.xlsx"_s << QByteArray("PK\x03\x04");
    QTest::newRow("XlsX") << u"lista.XlsX"_s << QByteArray("PK\x03\x04");
}

void TestExportWindow::spreadsheetByExtension()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, magic);

    auto query = sampleQuery();
    Tfrm_Hatarolt window(*query);
    window.show();
    const QString path = m_dir.filePath(name);
    QFile::remove(path);
    window.fileNameEdit()->setText(path);
    window.noneButton()->click();
    window.fieldList()->item(0)->setCheckState(Qt::Checked);
    window.fieldList()->item(1)->setCheckState(Qt::Checked);
    MessageBoxRecorder boxes;
    window.startButton()->click();

    QVERIFY(readFile(path).startsWith(magic));
    // A spreadsheet says nothing afterwards when no text was cut.
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(window.progressBar()->value(), 0);
    QCOMPARE(query->recNo(), query->rowCount() - 1);

    // The independent reader sees a header row and the rows of the two ticked columns.
    const QJsonArray sheets = ReadSheets(path);
    QCOMPARE(sheets.size(), 1);
    const QJsonObject sheet = sheets.at(0).toObject();
    QCOMPARE(sheet.value(u"rows"_s).toInt(), 6);
    QCOMPARE(sheet.value(u"columns"_s).toInt(), 2);
    QStringList texts;
    for (const QJsonValue &cell : sheet.value(u"cells"_s).toArray()) {
        const QJsonArray c = cell.toArray();
        if (c.at(1).toInt() == 1)
            texts.append(c.at(3).toString());
    }
    QCOMPARE(texts,
             (QStringList{u"nev"_s, u"Kőrút „A” – ű"_s, u"a;b|c,d"_s, u"Idéző \"jel\""_s, u"O'Brien"_s}));
}

void TestExportWindow::xmlIsRefusedAndWritesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("xml") << u"lista.xml"_s;
    QTest::newRow("XML") << u"LISTA.XML"_s;
    QTest::newRow("Xml") << u"lista.Xml"_s;
}

void TestExportWindow::xmlIsRefusedAndWritesNothing()
{
    QFETCH(QString, name);
    auto query = sampleQuery();
    query->setRecNo(2);
    Tfrm_Hatarolt window(*query);
    window.show();
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    window.fileNameEdit()->setText(path);
    window.openAfterBox()->setChecked(true);
    UrlCatcher opened;
    MessageBoxRecorder boxes;
    window.startButton()->click();
    QCOMPARE(boxes.texts(), QStringList{u"Ebben a verzióban ez nem támogatott."_s});
    QCOMPARE(boxes.boxes().constFirst().kind, MessageBoxRecorder::Kind::Error);
    QVERIFY(QDir(dir.path()).isEmpty());
    // Nothing to open, the window stays, the dataset was not walked.
    QCOMPARE(opened.urls, QList<QUrl>());
    QVERIFY(window.isVisible());
    QCOMPARE(query->recNo(), 2);
}

void TestExportWindow::unwritableFileSaysHiba()
{
    auto query = sampleQuery();
    Tfrm_Hatarolt window(*query);
    window.show();
    const QString path = m_dir.filePath(u"nincs/ilyen/Iktato.csv"_s);
    window.fileNameEdit()->setText(path);
    MessageBoxRecorder boxes;
    window.startButton()->click();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().constFirst().kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.texts().constFirst().startsWith(u"Hiba: Az állomány nem hozható létre: "_s + path),
             qPrintable(boxes.texts().constFirst()));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!window.stopButton()->isEnabled());
    QVERIFY(window.startButton()->isEnabled());
    QCOMPARE(window.progressBar()->value(), 0);
}

void TestExportWindow::stopKeepsTheRowsGathered_data()
{
    QTest::addColumn<bool>("clipboard");
    QTest::addColumn<bool>("byTimer");
    QTest::newRow("file, stopped after row 3") << false << false;
    QTest::newRow("file, stop pressed while running") << false << true;
    QTest::newRow("clipboard, stopped after row 3") << true << false;
    QTest::newRow("clipboard, stop pressed while running") << true << true;
}

void TestExportWindow::stopKeepsTheRowsGathered()
{
    QFETCH(bool, clipboard);
    QFETCH(bool, byTimer);

    Query query(m_con.get());
    query.setSql(u"SELECT id, nev FROM sok\nORDER BY id;"_s);
    query.open();
    Tfrm_Hatarolt window(query);
    window.show();
    const QString path = m_dir.filePath(u"megallitva.csv"_s);
    QFile::remove(path);
    window.fileNameEdit()->setText(path);

    int rowsSeen = 0;
    bool busyWhileRunning = true;
    bool stopEnabledWhileRunning = true;
    connect(&window, &Tfrm_Hatarolt::rowsExported, &window, [&](int rows) {
        rowsSeen = rows;
        busyWhileRunning &=
            QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        stopEnabledWhileRunning &= window.stopButton()->isEnabled() && !window.startButton()->isEnabled();
        if (!byTimer && rows == 3)
            QTest::mouseClick(window.stopButton(), Qt::LeftButton);
    });
    // A click that waits in the queue: it gets through only if the export lets input through.
    if (byTimer)
        QTimer::singleShot(0, &window, [&window] { window.stopButton()->click(); });

    MessageBoxRecorder boxes;
    (clipboard ? window.clipboardButton() : window.startButton())->click();

    QVERIFY(busyWhileRunning);
    QVERIFY(stopEnabledWhileRunning);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!window.stopButton()->isEnabled());
    QVERIFY2(rowsSeen >= 1 && rowsSeen < query.rowCount(), qPrintable(QString::number(rowsSeen)));
    if (!byTimer)
        QCOMPARE(rowsSeen, 3);
    QStringList expected{u"id;nev;"_s};
    for (int id = 1; id <= rowsSeen; ++id)
        expected.append(u"%1;sor %1"_s.arg(id));
    if (clipboard) {
        QCOMPARE(boxes.texts(), QStringList{u"Adatok vágólapra másolása kész."_s});
        expected[0] = u"id\tnev\t"_s;
        for (int i = 1; i < expected.size(); ++i)
            expected[i].replace(u';', u'\t');
        QCOMPARE(QGuiApplication::clipboard()->text(), lines(expected));
    } else {
        QCOMPARE(boxes.texts(), QStringList{path + u" file kész."_s});
        QCOMPARE(readFile(path), ToCp1250(lines(expected)));
    }
    // The dataset stays where the export ended: on the first row not written.
    QCOMPARE(query.recNo(), rowsSeen);
}

void TestExportWindow::closingWhileRunningStopsFirst()
{
    Query query(m_con.get());
    query.setSql(u"SELECT id, nev FROM sok\nORDER BY id;"_s);
    query.open();
    Tfrm_Hatarolt window(query);
    window.show();
    const QString path = m_dir.filePath(u"bezarva.csv"_s);
    QFile::remove(path);
    window.fileNameEdit()->setText(path);
    int rowsSeen = 0;
    connect(&window, &Tfrm_Hatarolt::rowsExported, &window, [&](int rows) {
        rowsSeen = rows;
        if (rows == 2)
            QTest::keyClick(&window, Qt::Key_Escape);
    });
    MessageBoxRecorder boxes;
    window.startButton()->click();
    QCOMPARE(rowsSeen, 2);
    QCOMPARE(readFile(path), QByteArray("id;nev;\r\n1;sor 1\r\n2;sor 2\r\n"));
    QCOMPARE(boxes.texts(), QStringList{path + u" file kész."_s});
    QVERIFY(!window.isVisible());
}

void TestExportWindow::clipboardIsTabSeparatedWithoutQualifier()
{
    auto query = sampleQuery(u"WHERE id IN (2, 3)"_s);
    Tfrm_Hatarolt window(*query);
    window.show();
    // Whatever the radio groups say.
    window.separatorGroup()->button(0)->click();
    window.qualifierGroup()->button(0)->click();
    window.noneButton()->click();
    for (int column : {1, 7, 8})
        window.fieldList()->item(column)->setCheckState(Qt::Checked);
    QGuiApplication::clipboard()->clear();
    const QString path = window.fileName();
    MessageBoxRecorder boxes;
    window.clipboardButton()->click();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             lines({u"nev\tleiras\tadat\t"_s, u"a;b|c,d\tc:\\\\mappa,|;,vége\tBLOB"_s,
                    u"Idéző \"jel\"\t\tBLOB"_s}));
    QCOMPARE(boxes.texts(), QStringList{u"Adatok vágólapra másolása kész."_s});
    QCOMPARE(boxes.boxes().constFirst().kind, MessageBoxRecorder::Kind::Info);
    QCOMPARE(query->recNo(), 1);
    QVERIFY(path.isEmpty() || !QFile::exists(path));
}

void TestExportWindow::emptyNameAsksForTheFile_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("cancelled") << QString() << QString();
    QTest::newRow("name with extension") << u"valasztott.txt"_s << u"valasztott.txt"_s;
    QTest::newRow("name without extension gets csv") << u"valasztott"_s << u"valasztott.csv"_s;
}

void TestExportWindow::emptyNameAsksForTheFile()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);

    auto query = sampleQuery(u"WHERE id = 5"_s);
    Tfrm_Hatarolt window(*query);
    window.show();
    window.fileNameEdit()->clear();
    QTemporaryDir dir;
    bool asked = false;
    const ModalAnswer saveDialog = AnswerModal([&](QWidget *modal) {
        auto dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        asked = true;
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        if (typed.isEmpty()) {
            dialog->reject();
            return;
        }
        ChooseFile(dialog, dir.filePath(typed));
    });
    MessageBoxRecorder boxes;
    window.startButton()->click();
    QVERIFY(asked);
    if (written.isEmpty()) {
        QCOMPARE(boxes.count(), 0);
        QVERIFY(window.fileName().isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());
        return;
    }
    const QString path = dir.filePath(written);
    QCOMPARE(window.fileName(), path);
    QCOMPARE(readFile(path),
             QByteArray("id;nev;osszeg;arany;nap;idopont;ido;leiras;adat;\r\n5;;;;;;;;BLOB\r\n"));
    QCOMPARE(boxes.texts(), QStringList{path + u" file kész."_s});
}

void TestExportWindow::browseOffersTheFormats()
{
    auto query = sampleQuery();
    Tfrm_Hatarolt window(*query);
    window.show();
    const QString start = QDir(m_documents).filePath(u"Iktato.csv"_s);
    window.setFileName(start);
    QStringList filters;
    QString selectedFilter;
    QString offered;
    QTemporaryDir dir;
    const ModalAnswer saveDialog = AnswerModal([&](QWidget *modal) {
        auto dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        filters = dialog->nameFilters();
        selectedFilter = dialog->selectedNameFilter();
        offered = dialog->selectedFiles().value(0);
        ChooseFile(dialog, dir.filePath(u"lista.xlsx"_s));
    });
    window.browseButton()->click();
    QCOMPARE(filters, (QStringList{u"Excel munkalap (*.xls)"_s, u"Excel munkafüzet (*.xlsx)"_s,
                                   u"Excelbarát XML (*.xml)"_s, u"CSV állományok (*.csv)"_s,
                                   u"Text állományok (*.txt)"_s, u"Minden állomány (*.*)"_s}));
    QCOMPARE(selectedFilter, u"CSV állományok (*.csv)"_s);
    QCOMPARE(offered, start);
    QCOMPARE(window.fileName(), dir.filePath(u"lista.xlsx"_s));

    // Cancelled: the name stays.
    const ModalAnswer cancelledDialog =
        AnswerModal([](QWidget *modal) { qobject_cast<QDialog *>(modal)->reject(); });
    window.browseButton()->click();
    QCOMPARE(window.fileName(), dir.filePath(u"lista.xlsx"_s));
}

void TestExportWindow::openAfterExportHandsTheFileOverAndCloses()
{
    auto query = sampleQuery(u"WHERE id = 5"_s);
    UrlCatcher opened;
    const ModalAnswer exportWindow = AnswerModal([&](QWidget *modal) {
        auto window = qobject_cast<Tfrm_Hatarolt *>(modal);
        QVERIFY(window);
        window->setFileName(m_dir.filePath(u"megnyit.csv"_s));
        window->openAfterBox()->setChecked(true);
        window->startButton()->click();
    });
    MessageBoxRecorder boxes;
    // Returns only when the window has closed.
    OpenExportWindow(*query, QString(), 9);
    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(m_dir.filePath(u"megnyit.csv"_s))});
    QCOMPARE(boxes.texts(), QStringList{m_dir.filePath(u"megnyit.csv"_s) + u" file kész."_s});
    QVERIFY(QFile::exists(m_dir.filePath(u"megnyit.csv"_s)));
}

void TestExportWindow::positionIsRemembered()
{
    auto query = sampleQuery();
    QPoint shownAt;
    int pointSize = 0;
    // The program-wide font size (which every dialog takes when shown).
    Beall.workstation.fontSize = 10;
    const ModalAnswer exportWindow = AnswerModal([&](QWidget *modal) {
        pointSize = modal->font().pointSize();
        MoveOuter(modal, QPoint(123, 77));
        modal->close();
    });
    OpenExportWindow(*query, QString(), 10);
    QCOMPARE(pointSize, 10);
    QCOMPARE(LoadFormPos(u"frm_Hatarolt"_s), QPoint(123, 77));
    const ModalAnswer exportWindowAgain = AnswerModal([&](QWidget *modal) {
        shownAt = OuterGeometry(modal).topLeft();
        // The file name the window starts with, when the caller gives none.
        QCOMPARE(qobject_cast<Tfrm_Hatarolt *>(modal)->fileName(),
                 QDir(m_documents).filePath(u"File001.csv"_s));
        modal->close();
    });
    OpenExportWindow(*query, QString(), 10);
    QCOMPARE(shownAt, QPoint(123, 77));
}

void TestExportWindow::aExcelExportsTheRegisterRows()
{
    TestDatabase db;
    REQUIRE_SQL(db.client("INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Alpha');"
                          "INSERT INTO iktato (iktato, ev, csoport, az, datum, targy) VALUES"
                          " (7, 2024, 1, 2, '2024-02-02', 'M\xE1sodik'),"
                          " (5, 2024, 1, 1, '2024-02-01', 'Els\xF5 \x84t\xE9tel\x94 \x96 k\xF6z\xF6s'),"
                          " (9, 2024, 1, 3, '2024-02-03', 'Harmadik k\xF6z\xF6s');"));
    const std::unique_ptr<Tfrm_Main> started = StartMainWindow(db);
    QVERIFY(started);
    Tfrm_Main &main = *started;
    QVERIFY(main.actions().action(MainAction::Export)->isEnabled());
    Query &registerQuery = main.mainRegister()->view().registerQuery().query();
    // The register limited by a search: only its rows go out, in its order.
    main.mainRegister()->view().registerQuery().search(u"közös"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!main.mainRegister()->view().isBusy(), 20000);
    QCOMPARE(registerQuery.rowCount(), 2);
    QApplication::setActiveWindow(&main);
    QVERIFY(QTest::qWaitForWindowActive(&main));

    const QString expectedName = QDir(m_documents).filePath(u"Iktato.csv"_s);
    QString shownName;
    QStringList fields;
    const ModalAnswer exportWindow = AnswerModal([&](QWidget *modal) {
        auto window = qobject_cast<Tfrm_Hatarolt *>(modal);
        QVERIFY(window);
        shownName = window->fileName();
        for (int i = 0; i < window->fieldList()->count(); ++i)
            fields.append(window->fieldList()->item(i)->text());
        SaveShot(window, u"export-window"_s);
        window->noneButton()->click();
        window->fieldList()->item(int(fields.indexOf(u"iktato"_s)))->setCheckState(Qt::Checked);
        window->fieldList()->item(int(fields.indexOf(u"targy"_s)))->setCheckState(Qt::Checked);
        window->startButton()->click();
        QTest::keyClick(window, Qt::Key_Escape);
    });
    MessageBoxRecorder boxes;
    QTest::keySequence(&main, QKeySequence(u"Ctrl+E"_s));
    QCOMPARE(shownName, expectedName);
    // Every column of the list is offered, also those the grid's rows are not read with.
    QStringList columns;
    const ResultSet view = main.connection().query(u"SELECT * FROM vw_iktato LIMIT 0"_s);
    for (const FieldInfo &field : view.fields())
        columns.append(field.name);
    QCOMPARE(fields, columns);
    QCOMPARE(
        readFile(expectedName),
        QByteArray(
            "iktato;targy;\r\n5;Els\xF5 \x84t\xE9tel\x94 \x96 k\xF6z\xF6s\r\n9;Harmadik k\xF6z\xF6s\r\n"));
    QCOMPARE(boxes.texts(), QStringList{expectedName + u" file kész."_s});
    // The register stays on the row the export ended on, its last.
    QCOMPARE(registerQuery.recNo(), 1);
    QCOMPARE(main.mainRegister()->view().currentId(), 9);
}

void TestExportWindow::aExcelClosedWithoutExportLeavesTheRegister()
{
    TestDatabase db;
    REQUIRE_SQL(
        db.client("INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Alpha');"
                  "INSERT INTO iktato (iktato, ev, csoport, az, datum) VALUES (3, 2024, 1, 1, '2024-02-01'),"
                  " (4, 2024, 1, 2, '2024-02-02'), (8, 2024, 1, 3, '2024-02-03');"));
    const std::unique_ptr<Tfrm_Main> started = StartMainWindow(db);
    QVERIFY(started);
    Tfrm_Main &main = *started;
    QVERIFY(main.mainRegister()->view().registerQuery().locateId(4));
    QApplication::setActiveWindow(&main);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    const ModalAnswer exportWindow = AnswerModal([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    QTest::keySequence(&main, QKeySequence(u"Ctrl+E"_s));
    QVERIFY(exportWindow.answered());
    QCOMPARE(main.mainRegister()->view().currentId(), 4);
}

void TestExportWindow::reportExportChoiceOpensTheWindowOnTheReportRows()
{
    TestDatabase db;
    REQUIRE_SQL(
        db.client("INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Alpha');"
                  "INSERT INTO iktato (iktato, ev, csoport, az, datum, targy) VALUES"
                  " (3, 2024, 1, 1, '2024-02-01', 'Egy'), (4, 2024, 1, 2, '2024-02-02', 'Kett\xF5');"));
    const std::unique_ptr<Tfrm_Main> started = StartMainWindow(db);
    QVERIFY(started);
    Tfrm_Main &main = *started;
    QVERIFY(main.mainRegister()->view().registerQuery().locateId(4));

    struct Case
    {
        QAction *action;
        QByteArray expected;
    };
    const Case cases[] = {
        {main.actions().action(MainAction::PrintList), "iktato;targy;\r\n3;Egy\r\n4;Kett\xF5\r\n"},
        {main.actions().action(MainAction::Print), "iktato;targy;\r\n4;Kett\xF5\r\n"}};
    for (const Case &c : cases) {
        bool offered = false;
        const ModalAnswer choiceDialog = AnswerModal(u"Nyomtatás típusa"_s, [&](QDialog *dialog) {
            auto choice = qobject_cast<Tfrm_NyomValaszt *>(dialog);
            offered = choice->item(OutputExport)->isEnabled();
            choice->item(OutputExport)->click();
            choice->okButton()->click();
        });
        QString shownName;
        const ModalAnswer exportDialog = AnswerModal(u"Határolt szöveg export"_s, [&](QDialog *dialog) {
            auto window = qobject_cast<Tfrm_Hatarolt *>(dialog);
            shownName = window->fileName();
            window->noneButton()->click();
            for (int i = 0; i < window->fieldList()->count(); ++i) {
                const QString name = window->fieldList()->item(i)->text();
                if (name == u"iktato"_s || name == u"targy"_s)
                    window->fieldList()->item(i)->setCheckState(Qt::Checked);
            }
            window->setFileName(m_dir.filePath(u"jelentes.csv"_s));
            window->startButton()->click();
            window->closeButton()->click();
        });
        MessageBoxRecorder boxes;
        c.action->trigger();
        QVERIFY(offered);
        QVERIFY(exportDialog.answered());
        // No file name from the report: the documents folder's default.
        QCOMPARE(shownName, QDir(m_documents).filePath(u"File001.csv"_s));
        QCOMPARE(readFile(m_dir.filePath(u"jelentes.csv"_s)), c.expected);
        QCOMPARE(boxes.texts(), QStringList{m_dir.filePath(u"jelentes.csv"_s) + u" file kész."_s});
    }
}

QTEST_MAIN(TestExportWindow)
#include "tst_exportwindow.moc"
