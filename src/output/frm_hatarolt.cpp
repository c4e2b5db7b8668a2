#include "output/frm_hatarolt.h"

#include "db/query.h"
#include "gui/busycursor.h"
#include "gui/dialogfields.h"
#include "gui/icons.h"
#include "gui/messagebox.h"
#include "output/writtenfile.h"
#include "output/exporter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace frm_hatarolt {

// How often a running export lets pending input through: often enough for "Megállít" and a
// moving bar, rarely enough that a big export does not spend its time repainting.
constexpr int EventIntervalMs = 20;

const QStringList SaveFilters{u"Excel munkalap (*.xls)"_s,  u"Excel munkafüzet (*.xlsx)"_s,
                              u"Excelbarát XML (*.xml)"_s,  u"CSV állományok (*.csv)"_s,
                              u"Text állományok (*.txt)"_s, u"Minden állomány (*.*)"_s};

// The extension a filter offers ("csv" of "CSV állományok (*.csv)"); empty for "*.*".
QString FilterSuffix(const QString &filter)
{
    const qsizetype dot = filter.lastIndexOf(u"(*."_s);
    const QString suffix = dot < 0 ? QString() : filter.mid(dot + 3).chopped(1);
    return suffix == u"*"_s ? QString() : suffix;
}

QGroupBox *RadioGroup(const QString &caption, const QString &name, const QStringList &items, int checked,
                      QButtonGroup *group, QWidget *parent)
{
    auto box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    auto layout = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto item = new QRadioButton(items.at(i), box);
        item->setObjectName(name + u"Item"_s + QString::number(i));
        group->addButton(item, i);
        layout->addWidget(item);
    }
    group->button(checked)->setChecked(true);
    return box;
}

QCheckBox *CheckBox(const QString &caption, const QString &name, bool checked, QWidget *parent)
{
    auto box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

QPushButton *Button(const QString &caption, const QString &name, QWidget *parent)
{
    auto button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

} // namespace frm_hatarolt

Tfrm_Hatarolt::Tfrm_Hatarolt(Query &query, QWidget *parent) : Tfrm_Hatarolt(&query, query.result(), parent) {}

Tfrm_Hatarolt::Tfrm_Hatarolt(const ResultSet &rows, QWidget *parent) : Tfrm_Hatarolt(nullptr, rows, parent) {}

Tfrm_Hatarolt::Tfrm_Hatarolt(Query *query, const ResultSet &rows, QWidget *parent)
    : RememberedDialog(parent), m_query(query), m_rows(rows)
{
    setObjectName(u"frm_Hatarolt"_s);
    setWindowTitle(u"Határolt szöveg export"_s);
    buildControls();
    fillFieldList();
}

void Tfrm_Hatarolt::buildControls()
{
    createFieldList();
    QLabel *fileLabel = createFileControls();
    const auto [separators, qualifiers] = createOptionControls();
    QLabel *clipboardNote = createButtons();
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(u"ProgressBar1"_s);
    m_progressBar->setTextVisible(false);
    m_progressBar->setRange(0, 1);
    m_progressBar->setValue(0);
    layOutControls(fileLabel, separators, qualifiers, clipboardNote);
}

void Tfrm_Hatarolt::createFieldList()
{
    m_fieldList = new QListWidget(this);
    m_fieldList->setObjectName(u"CheckListBox1"_s);
    m_fieldList->setMinimumWidth(170);
    m_allButton = frm_hatarolt::Button(u"Összes"_s, u"btnOsszes"_s, this);
    m_noneButton = frm_hatarolt::Button(u"Egyik sem"_s, u"btnEgyikSem"_s, this);
    connect(m_allButton, &QPushButton::clicked, this, [this] { tickAll(true); });
    connect(m_noneButton, &QPushButton::clicked, this, [this] { tickAll(false); });
}

QLabel *Tfrm_Hatarolt::createFileControls()
{
    auto fileLabel = new QLabel(u"Filenév"_s, this);
    m_fileNameEdit = new QLineEdit(this);
    m_fileNameEdit->setObjectName(u"Edit1"_s);
    m_fileNameEdit->setMinimumWidth(320);
    fileLabel->setBuddy(m_fileNameEdit);
    PaintFocusedField(m_fileNameEdit);
    m_browseButton = new QToolButton(this);
    m_browseButton->setObjectName(u"btnTallo"_s);
    m_browseButton->setText(u"..."_s);
    m_browseButton->setToolTip(u"Tallózás"_s);
    connect(m_browseButton, &QToolButton::clicked, this, [this] { browse(); });
    return fileLabel;
}

std::pair<QGroupBox *, QGroupBox *> Tfrm_Hatarolt::createOptionControls()
{
    m_separatorGroup = new QButtonGroup(this);
    auto separators = frm_hatarolt::RadioGroup(
        u"Határoló karakter"_s, u"RadioGroup1"_s,
        {u"Pontosvessző (;)"_s, u"Tabulátor"_s, u"Vessző (,)"_s, u"Cső (|)"_s}, 0, m_separatorGroup, this);
    m_qualifierGroup = new QButtonGroup(this);
    auto qualifiers = frm_hatarolt::RadioGroup(u"Szövegjelölő"_s, u"RadioGroup2"_s,
                                               {u"Idézőjel (\")"_s, u"Aposztróf (')"_s, u"Semmi"_s}, 2,
                                               m_qualifierGroup, this);

    m_multiLineBox = frm_hatarolt::CheckBox(u"Többsoros mezőket is kiírja"_s, u"CheckBox1"_s, true, this);
    m_fieldNamesBox = frm_hatarolt::CheckBox(u"Eredeti mezőneveket használja"_s, u"CheckBox2"_s, false, this);
    m_noHeaderBox =
        frm_hatarolt::CheckBox(u"Fejléc nem kell (az első sorban)"_s, u"CheckBox3"_s, false, this);
    m_openAfterBox = frm_hatarolt::CheckBox(u"Export után megnyitás"_s, u"CheckBox4"_s, false, this);
    return {separators, qualifiers};
}

QLabel *Tfrm_Hatarolt::createButtons()
{
    m_startButton = frm_hatarolt::Button(u"Export indítás"_s, u"btnStart"_s, this);
    m_startButton->setDefault(true);
    m_stopButton = frm_hatarolt::Button(u"Megállít"_s, u"btnStop"_s, this);
    m_stopButton->setEnabled(false);
    m_closeButton = frm_hatarolt::Button(u"Bezár"_s, u"btnBezar"_s, this);
    m_clipboardButton = frm_hatarolt::Button(u"Vágólapra!"_s, u"btnVagolap"_s, this);
    m_clipboardButton->setIcon(MakeIcon(IconId::Clipboard));
    auto clipboardNote = new QLabel(u"Excel munkalapba beilleszthető"_s, this);
    clipboardNote->setObjectName(u"Label2"_s);
    connect(m_startButton, &QPushButton::clicked, this, &Tfrm_Hatarolt::exportToFile);
    connect(m_stopButton, &QPushButton::clicked, this, &Tfrm_Hatarolt::stop);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_clipboardButton, &QPushButton::clicked, this, &Tfrm_Hatarolt::copyToClipboard);
    return clipboardNote;
}

void Tfrm_Hatarolt::layOutControls(QLabel *fileLabel, QGroupBox *separators, QGroupBox *qualifiers,
                                   QLabel *clipboardNote)
{
    auto fields = new QVBoxLayout;
    fields->addWidget(m_fieldList, 1);
    auto tickButtons = new QHBoxLayout;
    tickButtons->addWidget(m_allButton);
    tickButtons->addWidget(m_noneButton);
    fields->addLayout(tickButtons);

    auto fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fileNameEdit, 1);
    fileRow->addWidget(m_browseButton);

    auto groups = new QHBoxLayout;
    groups->addWidget(separators);
    groups->addWidget(qualifiers);

    auto checks = new QVBoxLayout;
    for (QCheckBox *box : {m_multiLineBox, m_fieldNamesBox, m_noHeaderBox, m_openAfterBox})
        checks->addWidget(box);
    checks->addStretch(1);

    auto buttons = new QVBoxLayout;
    buttons->addWidget(m_startButton);
    buttons->addWidget(m_stopButton);
    buttons->addWidget(m_closeButton);
    buttons->addStretch(1);

    auto lower = new QHBoxLayout;
    lower->addLayout(checks, 1);
    lower->addLayout(buttons);

    auto clipboardRow = new QHBoxLayout;
    clipboardRow->addWidget(m_clipboardButton);
    clipboardRow->addWidget(clipboardNote, 1);

    auto right = new QVBoxLayout;
    right->addWidget(fileLabel);
    right->addLayout(fileRow);
    right->addLayout(groups);
    right->addLayout(lower, 1);
    right->addLayout(clipboardRow);

    auto top = new QHBoxLayout;
    top->addLayout(fields);
    top->addLayout(right, 1);

    auto layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_progressBar);
}

void Tfrm_Hatarolt::fillFieldList()
{
    for (const FieldInfo &field : m_rows.fields()) {
        auto item = new QListWidgetItem(field.name, m_fieldList);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
    }
    if (m_fieldList->count() > 0)
        m_fieldList->setCurrentRow(0);
}

QString Tfrm_Hatarolt::fileName() const
{
    return m_fileNameEdit->text();
}

void Tfrm_Hatarolt::setFileName(const QString &name)
{
    m_fileNameEdit->setText(name);
}

ExportOptions Tfrm_Hatarolt::options() const
{
    ExportOptions options;
    options.separator = ExportSeparators[std::max(0, m_separatorGroup->checkedId())];
    options.qualifier = ExportQualifiers[std::max(0, m_qualifierGroup->checkedId())];
    options.multiLineFields = m_multiLineBox->isChecked();
    options.fieldNamesInHeader = m_fieldNamesBox->isChecked();
    options.noHeader = m_noHeaderBox->isChecked();
    return options;
}

QList<int> Tfrm_Hatarolt::tickedColumns() const
{
    QList<int> columns;
    for (int i = 0; i < m_fieldList->count(); ++i) {
        if (m_fieldList->item(i)->checkState() == Qt::Checked)
            columns.append(i);
    }
    return columns;
}

void Tfrm_Hatarolt::tickAll(bool ticked)
{
    for (int i = 0; i < m_fieldList->count(); ++i)
        m_fieldList->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

bool Tfrm_Hatarolt::browse()
{
    QFileDialog dialog(this, u"Mentés másként"_s);
    dialog.setObjectName(u"SaveDialog1"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The file is replaced without a question, as the export always did.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(frm_hatarolt::SaveFilters);
    dialog.setDefaultSuffix(u"csv"_s);
    // The filter of the name's own extension is shown, and a name typed without an extension
    // gets the one of the filter chosen.
    const QFileInfo current(fileName());
    for (const QString &filter : frm_hatarolt::SaveFilters) {
        if (frm_hatarolt::FilterSuffix(filter).compare(current.suffix(), Qt::CaseInsensitive) == 0) {
            dialog.selectNameFilter(filter);
            break;
        }
    }
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        const QString suffix = frm_hatarolt::FilterSuffix(filter);
        dialog.setDefaultSuffix(suffix.isEmpty() ? u"csv"_s : suffix);
    });
    if (!fileName().isEmpty()) {
        if (!current.path().isEmpty() && current.dir().exists())
            dialog.setDirectory(current.absolutePath());
        dialog.selectFile(current.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    setFileName(dialog.selectedFiles().constFirst());
    return true;
}

ExportResult
Tfrm_Hatarolt::run(const std::function<ExportResult(const ExportSource &, const ExportControl &)> &work)
{
    // The window's own buttons stay out of the way while the rows are written; the stop button
    // and closing the window end the export.
    struct Running
    {
        Tfrm_Hatarolt &window;
        BusyCursor busy;
        explicit Running(Tfrm_Hatarolt &w) : window(w) { set(true); }
        ~Running() { set(false); }
        void set(bool on)
        {
            window.m_running = on;
            window.m_stopRequested = false;
            window.m_stopButton->setEnabled(on);
            const QList<QWidget *> idle{window.m_startButton, window.m_clipboardButton, window.m_closeButton,
                                        window.m_browseButton};
            for (QWidget *w : idle)
                w->setEnabled(!on);
        }
    } running(*this);

    const ExportSource source = m_query ? ExportSource(*m_query) : ExportSource(m_rows);
    m_progressBar->setRange(0, std::max(1, source.rowCount()));
    m_progressBar->setValue(0);
    QElapsedTimer sinceEvents;
    const ExportControl control{[this, &sinceEvents](int rowsDone) {
                                    emit rowsExported(rowsDone);
                                    if (sinceEvents.isValid() &&
                                        sinceEvents.elapsed() < frm_hatarolt::EventIntervalMs)
                                        return;
                                    m_progressBar->setValue(rowsDone);
                                    QCoreApplication::processEvents();
                                    sinceEvents.restart();
                                },
                                [this] { return m_stopRequested; }};
    m_exported = true;
    const ExportResult result = work(source, control);
    m_progressBar->setValue(result.rowsWritten);
    return result;
}

void Tfrm_Hatarolt::exportToFile()
{
    if (m_running)
        return;
    if (fileName().isEmpty() && !browse())
        return;
    const QString name = fileName();
    const ExportFormat format = ExportFormatOf(name);
    if (format == ExportFormat::Unsupported) {
        ShowErrorBox(UnsupportedFormatText(), this);
        return;
    }
    const QList<int> columns = tickedColumns();
    const ExportOptions chosen = options();
    ExportResult result;
    try {
        result = run([&](const ExportSource &source, const ExportControl &control) {
            return ExportToFile(name, source, ExportColumns(source, columns), chosen, control);
        });
    } catch (const std::exception &error) {
        m_progressBar->setValue(0);
        // A spreadsheet's failure is told as any other error of the program.
        if (format == ExportFormat::Delimited)
            ShowErrorBox(u"Hiba: "_s + QString::fromUtf8(error.what()), this);
        else
            ShowException(error, this);
        finishExport(QString());
        return;
    }
    m_progressBar->setValue(0);
    if (const QString note = ExportDoneText(name, format, result); !note.isEmpty())
        ShowInfoBox(note, this);
    finishExport(name);
}

// A written file is opened when asked for, and the window closes then; a window closed while
// the export ran closes now.
void Tfrm_Hatarolt::finishExport(const QString &name)
{
    if (!name.isEmpty() && m_openAfterBox->isChecked()) {
        OpenWrittenFile(name);
        m_closeWhenStopped = true;
    }
    if (m_closeWhenStopped) {
        m_closeWhenStopped = false;
        done(m_closeResult);
    }
}

void Tfrm_Hatarolt::copyToClipboard()
{
    if (m_running)
        return;
    const QList<int> columns = tickedColumns();
    const ExportOptions chosen = options();
    QString text;
    try {
        run([&](const ExportSource &source, const ExportControl &control) {
            ExportResult result;
            text = ClipboardText(source, ExportColumns(source, columns), chosen, control, &result);
            return result;
        });
        QGuiApplication::clipboard()->setText(text);
    } catch (const std::exception &error) {
        m_progressBar->setValue(0);
        ShowErrorBox(u"Hiba: "_s + QString::fromUtf8(error.what()), this);
        finishExport(QString());
        return;
    }
    m_progressBar->setValue(0);
    ShowInfoBox(ClipboardDoneText(), this);
    finishExport(QString());
}

void Tfrm_Hatarolt::stop()
{
    if (m_running)
        m_stopRequested = true;
}

void Tfrm_Hatarolt::done(int result)
{
    if (m_running) {
        m_stopRequested = true;
        m_closeWhenStopped = true;
        m_closeResult = result;
        return;
    }
    RememberedDialog::done(result);
}

namespace frm_hatarolt {

bool RunExportWindow(Tfrm_Hatarolt &window, const QString &defaultFileName, int fontSize)
{
    window.setFileName(DefaultExportFileName(defaultFileName));
    ApplyFontSize(&window, fontSize);
    window.exec();
    return window.exported();
}

} // namespace frm_hatarolt

bool OpenExportWindow(Query &query, const QString &defaultFileName, int fontSize, QWidget *parent)
{
    Tfrm_Hatarolt window(query, parent);
    return frm_hatarolt::RunExportWindow(window, defaultFileName, fontSize);
}

bool OpenExportWindow(const ResultSet &rows, const QString &defaultFileName, int fontSize, QWidget *parent)
{
    Tfrm_Hatarolt window(rows, parent);
    return frm_hatarolt::RunExportWindow(window, defaultFileName, fontSize);
}
