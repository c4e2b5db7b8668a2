#include "app/frm_beallit.h"

#include "common/paths.h"
#include "config/documentstore.h"
#include "config/settings.h"
#include "gui/dialogfields.h"
#include "gui/icons.h"
#include "gui/messagebox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

Tfrm_Beallit::Tfrm_Beallit(const QStringList &printers, QWidget *parent) : RememberedDialog(parent)
{
    setObjectName(u"frm_Beallit"_s);
    setWindowTitle(u"Beállítások"_s);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(u"PageControl1"_s);
    m_pages->addTab(buildGeneralPage(), u"Általános"_s);
    m_pages->addTab(buildDocumentsPage(), u"Dokumentumok"_s);
    m_printerBox->addItems(printers);
    m_printerBox->setCurrentIndex(-1);

    m_okButton = new QPushButton(u"OK"_s, this);
    m_okButton->setObjectName(u"btnOK"_s);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"btnMegsem"_s);
    // Enter belongs to the fields (it moves on): no button takes it as the default.
    m_okButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto *keys = new FieldKeys(this, {});
    keys->watchAll();
    keys->setEnterPressesButtons(true);
    PaintFocusedFields({m_printerBox, m_folderEdit, m_localFolderEdit});
}

QWidget *Tfrm_Beallit::buildGeneralPage()
{
    auto *page = new QWidget;
    page->setObjectName(u"TabSheet1"_s);
    m_fullScreenCheck = new QCheckBox(u"Megnyitáskor teljes képernyő"_s, page);
    m_fullScreenCheck->setObjectName(u"CheckBox1"_s);
    m_loginCheck = new QCheckBox(u"Belépésnél jelszót kér"_s, page);
    m_loginCheck->setObjectName(u"DBCheckBox1"_s);
    auto *printerLabel = new QLabel(u"Alapértelmezett nyomtató"_s, page);
    m_printerBox = new QComboBox(page);
    m_printerBox->setObjectName(u"ComboBox1"_s);
    m_printerBox->setEditable(true);
    // Enter moves on; it must not add the typed name to the list.
    m_printerBox->setInsertPolicy(QComboBox::NoInsert);
    m_printerBox->setMinimumWidth(300);
    printerLabel->setBuddy(m_printerBox);
    auto *picture = new QLabel(page);
    picture->setObjectName(u"Image1"_s);
    picture->setPixmap(MakeIcon(IconId::Settings).pixmap(64, 64));

    auto *pictureRow = new QHBoxLayout;
    pictureRow->addStretch(1);
    pictureRow->addWidget(picture);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_fullScreenCheck);
    layout->addWidget(m_loginCheck);
    layout->addSpacing(12);
    layout->addWidget(printerLabel);
    layout->addWidget(m_printerBox);
    layout->addStretch(1);
    layout->addLayout(pictureRow);
    return page;
}

QWidget *Tfrm_Beallit::buildDocumentsPage()
{
    auto *page = new QWidget;
    page->setObjectName(u"TabSheet2"_s);
    auto *folderLabel = new QLabel(u"Lokális útvonal"_s, page);
    m_folderEdit = new QLineEdit(page);
    m_folderEdit->setObjectName(u"DBEdit1"_s);
    m_folderEdit->setMaxLength(255);
    m_folderEdit->setMinimumWidth(380);
    folderLabel->setBuddy(m_folderEdit);
    // Where this workstation reaches the same folder: kept in the settings file, so the database
    // keeps the path the Windows workstations read.
    auto *localLabel = new QLabel(u"Ugyanez a mappa ezen a gépen, ha a fenti útvonal itt nem érhető el\n"
                                  "(például egy Windows-os meghajtó betűjele)"_s,
                                  page);
    m_localFolderEdit = new QLineEdit(page);
    m_localFolderEdit->setObjectName(u"localFolderEdit"_s);
    localLabel->setBuddy(m_localFolderEdit);

    auto *row = new QHBoxLayout;
    row->addWidget(m_folderEdit, 1);
    row->addWidget(browseButton(m_folderEdit, u"SpeedButton1"_s));
    auto *localRow = new QHBoxLayout;
    localRow->addWidget(m_localFolderEdit, 1);
    localRow->addWidget(browseButton(m_localFolderEdit, u"localFolderButton"_s));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(folderLabel);
    layout->addLayout(row);
    layout->addSpacing(12);
    layout->addWidget(localLabel);
    layout->addLayout(localRow);
    layout->addStretch(1);
    return page;
}

QToolButton *Tfrm_Beallit::browseButton(QLineEdit *edit, const QString &name)
{
    auto *button = new QToolButton(edit->parentWidget());
    button->setObjectName(name);
    button->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    button->setToolTip(u"Tallózás"_s);
    connect(button, &QToolButton::clicked, this, [this, edit] { browseInto(edit); });
    return button;
}

void Tfrm_Beallit::setFullScreen(bool on)
{
    m_fullScreenCheck->setChecked(on);
}

bool Tfrm_Beallit::fullScreen() const
{
    return m_fullScreenCheck->isChecked();
}

void Tfrm_Beallit::setLoginRequired(bool on)
{
    m_loginCheck->setChecked(on);
}

bool Tfrm_Beallit::loginRequired() const
{
    return m_loginCheck->isChecked();
}

void Tfrm_Beallit::setPrinter(const QString &name)
{
    m_printerBox->setEditText(name);
}

QString Tfrm_Beallit::printer() const
{
    return m_printerBox->currentText();
}

void Tfrm_Beallit::setDocumentStore(const QString &folder)
{
    m_folderEdit->setText(folder);
}

QString Tfrm_Beallit::documentStore() const
{
    return m_folderEdit->text();
}

void Tfrm_Beallit::setLocalFolder(const QString &folder)
{
    m_localFolderEdit->setText(folder);
}

QString Tfrm_Beallit::localFolder() const
{
    return m_localFolderEdit->text().trimmed();
}

void Tfrm_Beallit::accept()
{
    const QString problem = StoreMappingProblem(documentStore(), localFolder());
    if (!problem.isEmpty()) {
        m_pages->setCurrentIndex(1);
        ShowErrorBox(problem, this);
        return;
    }
    RememberedDialog::accept();
}

void Tfrm_Beallit::browseInto(QLineEdit *edit)
{
    QFileDialog dialog(this, u"Dokumentumok helye"_s);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    if (!edit->text().isEmpty())
        dialog.setDirectory(edit->text());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        edit->setText(dialog.selectedFiles().constFirst());
}

void Tfrm_Beallit::showEvent(QShowEvent *event)
{
    RememberedDialog::showEvent(event);
    if (m_printerBox->lineEdit())
        m_printerBox->lineEdit()->deselect();
}

QStringList InstalledPrinters()
{
    return QPrinterInfo::availablePrinterNames();
}

bool RunSettings(Connection &con, WorkstationSettings &settings, int fontSize, QWidget *parent,
                 const QStringList &printers)
{
    const SettingsRow read = ReadSettingsRow(con);
    Tfrm_Beallit dialog(printers, parent);
    ApplyFontSize(&dialog, fontSize);
    dialog.setFullScreen(settings.fullScreen);
    dialog.setPrinter(settings.printer);
    dialog.setLoginRequired(read.loginRequired());
    dialog.setDocumentStore(read.mentesutvonal.isEmpty() ? DataFolder() + u"/Dok"_s : read.mentesutvonal);
    IniFile ini = SettingsFile();
    const QString mapped = MappedLocalFolder(read.mentesutvonal, ReadStoreMappings(ini));
    dialog.setLocalFolder(mapped);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    SettingsRow changed = read;
    if (dialog.loginRequired() != read.loginRequired())
        changed.vanbelep = dialog.loginRequired() ? u"I"_s : u"N"_s;
    changed.mentesutvonal = dialog.documentStore();
    WriteSettingsRow(con, read, changed);
    settings.fullScreen = dialog.fullScreen();
    settings.printer = dialog.printer();
    if (dialog.localFolder() != mapped || !SameStorePath(changed.mentesutvonal, read.mentesutvonal)) {
        try {
            WriteStoreMapping(ini, changed.mentesutvonal, dialog.localFolder());
        } catch (const IniError &error) {
            ShowErrorBox(u"Hiba: "_s + error.message(), parent);
        }
    }
    return true;
}
