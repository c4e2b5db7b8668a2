#include "app/setup.h"
#include "gui/messagebox.h"
#include "testutil.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList ButtonTexts(const QWidget *dialog)
{
    QStringList texts;
    for (const QPushButton *button : dialog->findChildren<QPushButton *>())
        texts.append(button->text().remove(u'&'));
    return texts;
}

QStringList LabelTexts(const QWidget *dialog)
{
    QStringList texts;
    for (const QLabel *label : dialog->findChildren<QLabel *>())
        texts.append(label->text().remove(u'&'));
    return texts;
}

} // namespace

// Qt's own dialogs speak Hungarian on a desktop set to English.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void standardDialogs_data();
    void standardDialogs();
};

void TestTranslations::initTestCase()
{
    QVERIFY(SetUpApplication(*qobject_cast<QApplication *>(qApp)));
}

void TestTranslations::standardDialogs_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("label");

    QTest::newRow("file save") << u"file"_s << u"Mégse"_s << u"Fájl neve:"_s;
    QTest::newRow("folder") << u"folder"_s << u"Mégse"_s << u"Könyvtár:"_s;
    QTest::newRow("colour") << u"colour"_s << u"Mégse"_s << u"Vörös:"_s;
    QTest::newRow("message box") << u"box"_s << u"Igen"_s << QString();
}

void TestTranslations::standardDialogs()
{
    QFETCH(QString, dialog);
    QFETCH(QString, button);
    QFETCH(QString, label);

    std::unique_ptr<QDialog> shown;
    if (dialog == u"file"_s || dialog == u"folder"_s) {
        auto files = new QFileDialog(nullptr, u"Mentés"_s, QDir::tempPath());
        files->setOption(QFileDialog::DontUseNativeDialog);
        if (dialog == u"folder"_s) {
            files->setFileMode(QFileDialog::Directory);
            files->setOption(QFileDialog::ShowDirsOnly);
        } else {
            files->setAcceptMode(QFileDialog::AcceptSave);
            files->setNameFilter(u"CSV (*.csv)"_s);
        }
        shown.reset(files);
    } else if (dialog == u"colour"_s) {
        auto colours = new QColorDialog;
        colours->setOption(QColorDialog::DontUseNativeDialog);
        shown.reset(colours);
    } else {
        shown.reset(new QMessageBox(QMessageBox::Question, u"Megerősítés"_s, u"Törli?"_s,
                                    QMessageBox::Yes | QMessageBox::No));
    }
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
    const QStringList buttons = ButtonTexts(shown.get());
    QVERIFY2(buttons.contains(button), qPrintable(buttons.join(u" | "_s)));
    if (!label.isEmpty()) {
        const QStringList labels = LabelTexts(shown.get());
        QVERIFY2(labels.contains(label), qPrintable(labels.join(u" | "_s)));
    }
    if (dialog == u"file"_s)
        SaveShot(shown.get(), u"filedialog"_s);
}

int main(int argc, char *argv[])
{
    // The desktop speaks English.
    qputenv("LANG", "en_US.UTF-8");
    qputenv("LANGUAGE", "en");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    QApplication app(argc, argv);
    TestTranslations test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
