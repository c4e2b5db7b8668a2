#include "app/frm_beallit.h"
#include "app/frm_nevjegy.h"
#include "db/resultset.h"
#include "gui/inputquery.h"
#include "masterdata/frm_torzsadat_szerkeszt.h"
#include "modaldialogs.h"
#include "output/frm_hatarolt.h"
#include "output/frm_nyomvalaszt.h"
#include "profiles/frm_init.h"
#include "register/frm_datumbe.h"
#include "register/frm_idoszak.h"
#include "testutil.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Each dialog of fixed size, opened modally as the program opens it.
const QMap<QString, std::function<void()>> &FixedDialogs()
{
    static const QMap<QString, std::function<void()>> dialogs{
        {u"export window"_s, [] { Tfrm_Hatarolt(ResultSet()).exec(); }},
        {u"print choice"_s, [] { Tfrm_NyomValaszt({u"Irodai nyomtató"_s}).exec(); }},
        {u"about box"_s, [] { Tfrm_Nevjegy().exec(); }},
        {u"settings"_s, [] { Tfrm_Beallit({u"Irodai nyomtató"_s}).exec(); }},
        {u"date"_s, [] { Tfrm_Datumbe().exec(); }},
        {u"period"_s, [] { Tfrm_Idoszak().exec(); }},
        {u"first set-up"_s, [] { Tfrm_Init().exec(); }},
        {u"row editor"_s, [] { Tfrm_Torzsadat_Szerkeszt().exec(); }},
        {u"masked input"_s,
         [] {
             QString text;
             MaskedInputQuery(u"Jelszó"_s, u"Új jelszó:"_s, QString(), text);
         }},
    };
    return dialogs;
}

// An X window's property as xprop prints it; empty when it cannot be read.
QString WindowProperty(WId window, const QString &property)
{
    QProcess xprop;
    xprop.start(u"xprop"_s, {u"-id"_s, QString::number(window), property});
    if (!xprop.waitForFinished(5000))
        return {};
    return QString::fromLatin1(xprop.readAllStandardOutput());
}

} // namespace

// Dialogs laid out for one size keep it: the window system is told that they can be neither
// resized nor maximised.
class TestFixedDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<ScopedDataFolder>(); }
    void cleanup() { m_folder.reset(); }

    void keepsItsSize_data();
    void keepsItsSize();
    void windowManagerCannotMaximise();

private:
    std::unique_ptr<ScopedDataFolder> m_folder; // the places the dialogs remember
};

void TestFixedDialogs::keepsItsSize_data()
{
    QTest::addColumn<QString>("dialog");
    for (const QString &name : FixedDialogs().keys())
        QTest::newRow(qPrintable(name)) << name;
}

void TestFixedDialogs::keepsItsSize()
{
    QFETCH(QString, dialog);
    QSize shown;
    const ModalAnswer check = AnswerModal([&shown](QDialog *d) {
        shown = d->size();
        QCOMPARE(d->minimumSize(), d->maximumSize());
        QCOMPARE(d->size(), d->minimumSize());
        QVERIFY(!d->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(d->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
        d->reject();
    });
    FixedDialogs()[dialog]();
    QVERIFY(check.answered());
    QVERIFY(!shown.isEmpty());
}

// The export window under a real window manager: it offers neither maximising nor resizing, a
// double click on the title bar (the window manager's maximise) and a request for a larger size
// leave the window as it was.
void TestFixedDialogs::windowManagerCannotMaximise()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs an X display with a window manager: runs as tst_fixeddialogs_wm");
    Tfrm_Hatarolt window{ResultSet()};
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QSize size = window.size();
    const WId id = window.winId();
    // The window manager says what it allows once it has framed the window.
    QTRY_VERIFY(WindowProperty(id, u"_NET_WM_ALLOWED_ACTIONS"_s).contains(u"_NET_WM_ACTION_CLOSE"_s));
    const QString allowed = WindowProperty(id, u"_NET_WM_ALLOWED_ACTIONS"_s);
    QVERIFY2(!allowed.contains(u"MAXIMIZE"_s), qPrintable(allowed));
    QVERIFY2(!allowed.contains(u"_NET_WM_ACTION_RESIZE"_s), qPrintable(allowed));

    const QRect frame = window.frameGeometry();
    const QPoint title =
        QPoint(frame.center().x(), frame.top() + (window.geometry().top() - frame.top()) / 2);
    QProcess::execute(u"xdotool"_s, {u"mousemove"_s, QString::number(title.x()), QString::number(title.y()),
                                     u"click"_s, u"--repeat"_s, u"2"_s, u"--delay"_s, u"80"_s, u"1"_s});
    QProcess::execute(u"xdotool"_s, {u"windowsize"_s, QString::number(id), u"1200"_s, u"1000"_s});
    QTest::qWait(1000);
    QCOMPARE(window.size(), size);
    QVERIFY(!window.isMaximized());
    const QString state = WindowProperty(id, u"_NET_WM_STATE"_s);
    QVERIFY2(!state.contains(u"MAXIMIZED"_s), qPrintable(state));
}

QTEST_MAIN(TestFixedDialogs)
#include "tst_fixeddialogs.moc"
