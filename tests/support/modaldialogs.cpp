#include "modaldialogs.h"

#include <QApplication>
#include <QPointer>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace ModalDetail {

struct Expectation
{
    enum class State { Waiting, Answering, Answered, TimedOut };

    ~Expectation();
    void poll();
    void report();
    void stop();

    QString caption;
    DialogAnswer answer;
    int timeoutMs = 0;
    std::source_location where;
    QByteArray test; // the test function and data row that made it
    QElapsedTimer clock;
    QTimer timer;
    State state = State::Waiting;
    QPointer<QDialog> dialog;
    QString openInstead;
    bool reported = false;
    std::vector<std::shared_ptr<Expectation>> next; // made inside the answer
};

} // namespace ModalDetail

using ModalDetail::Expectation;

namespace {

// Expectations whose dialog has not come yet, oldest first.
QList<Expectation *> g_waiting;
// Answers running now, innermost last.
QList<Expectation *> g_answering;

QByteArray CurrentTest()
{
    if (!QTest::runningTest())
        return {};
    return QByteArray(QTest::currentTestFunction()) + ' ' + QByteArray(QTest::currentDataTag());
}

bool CurrentTestFailed()
{
    return QTest::runningTest() && QTest::currentTestFailed();
}

// A dialog whose answer is running is never handed to a second one.
bool BeingAnswered(const QDialog *dialog)
{
    for (const Expectation *e : std::as_const(g_answering))
        if (e->dialog == dialog)
            return true;
    return false;
}

bool Matches(const Expectation &e, const QDialog *dialog)
{
    return dialog && !BeingAnswered(dialog) && (e.caption.isEmpty() || dialog->windowTitle() == e.caption);
}

bool AwaitedByAnother(const Expectation &self, const QDialog *dialog)
{
    for (const Expectation *e : std::as_const(g_waiting))
        if (e != &self && Matches(*e, dialog))
            return true;
    return false;
}

bool Settle(Expectation &e)
{
    if (CurrentTestFailed()) {
        // The test has failed already; a dialog that its failure kept away is no news.
        e.stop();
        return false;
    }
    if (e.state == Expectation::State::Waiting) {
        const int left = int(std::max<qint64>(0, e.timeoutMs - e.clock.elapsed()));
        // The poll gives up by itself when the time is up; the margin covers a late poll.
        if (!QTest::qWaitFor([&e] { return e.state != Expectation::State::Waiting; }, left + 1000)) {
            e.stop();
            e.state = Expectation::State::TimedOut;
        }
    }
    if (e.state == Expectation::State::TimedOut) {
        if (!CurrentTestFailed())
            e.report();
        return false;
    }
    bool all = true;
    for (const auto &next : e.next)
        all = Settle(*next) && all;
    return all;
}

ModalAnswer Expect(const QString &caption, DialogAnswer answer, int timeoutMs, std::source_location where)
{
    auto e = std::make_shared<Expectation>();
    e->caption = caption;
    e->answer = std::move(answer);
    e->timeoutMs = timeoutMs;
    e->where = where;
    e->test = CurrentTest();
    e->clock.start();
    e->timer.setInterval(20);
    QObject::connect(&e->timer, &QTimer::timeout, [raw = e.get()] { raw->poll(); });
    e->timer.start();
    g_waiting.append(e.get());
    if (!g_answering.isEmpty()) {
        g_answering.last()->next.push_back(e);
        return ModalAnswer(e, false);
    }
    return ModalAnswer(e, true);
}

} // namespace

namespace ModalDetail {

Expectation::~Expectation()
{
    g_waiting.removeOne(this);
}

void Expectation::stop()
{
    timer.stop();
    g_waiting.removeOne(this);
    for (const auto &n : next)
        n->stop();
}

void Expectation::poll()
{
    auto *active = qobject_cast<QDialog *>(QApplication::activeModalWidget());

    if (Matches(*this, active)) {
        timer.stop();
        g_waiting.removeOne(this);
        state = State::Answering;
        dialog = active;
        g_answering.append(this);
        const QPointer<QDialog> answered(active);
        answer(active);
        g_answering.removeOne(this);
        // An answer cut short by a failed check leaves its dialog open, and the test would wait
        // in exec() until the whole run times out: it is closed, so the failure is what shows.
        if (CurrentTestFailed() && answered && answered->isVisible())
            answered->reject();
        state = State::Answered;
        return;
    }
    if (clock.elapsed() < timeoutMs)
        return;
    stop();
    state = State::TimedOut;
    if (QWidget *open = QApplication::activeModalWidget())
        openInstead = open->windowTitle();
    // Told at once while the test that expects the dialog runs; otherwise its check tells it.
    if (!test.isEmpty() && CurrentTest() == test && !CurrentTestFailed())
        report();
    // A dialog that nobody answers would hold the test in its exec() until the whole run times
    // out: it is closed, so the failure above is what the run shows.
    if (active && !BeingAnswered(active) && !AwaitedByAnother(*this, active))
        active->reject();
}

void Expectation::report()
{
    if (reported)
        return;
    reported = true;
    QString message = caption.isEmpty()
                          ? u"No modal dialog appeared within %1 ms"_s.arg(timeoutMs)
                          : u"No modal dialog \"%1\" appeared within %2 ms"_s.arg(caption).arg(timeoutMs);
    if (!openInstead.isEmpty())
        message += u" (\"%1\" was open instead)"_s.arg(openInstead);
    QTest::qFail(message.toUtf8().constData(), where.file_name(), int(where.line()));
}

} // namespace ModalDetail

ModalAnswer::ModalAnswer(std::shared_ptr<Expectation> expectation, bool owned)
    : m_expectation(std::move(expectation)), m_owned(owned)
{
}

ModalAnswer::~ModalAnswer()
{
    if (m_owned)
        verify();
}

ModalAnswer::ModalAnswer(ModalAnswer &&other) noexcept
    : m_expectation(std::move(other.m_expectation)), m_owned(std::exchange(other.m_owned, false))
{
}

ModalAnswer &ModalAnswer::operator=(ModalAnswer &&other) noexcept
{
    if (this != &other) {
        if (m_owned)
            verify();
        m_expectation = std::move(other.m_expectation);
        m_owned = std::exchange(other.m_owned, false);
    }
    return *this;
}

bool ModalAnswer::answered() const
{
    return m_expectation && m_expectation->state == Expectation::State::Answered;
}

bool ModalAnswer::verify()
{
    m_owned = false;
    return !m_expectation || Settle(*m_expectation);
}

ModalAnswer AnswerModal(DialogAnswer answer, int timeoutMs, std::source_location where)
{
    return Expect(QString(), std::move(answer), timeoutMs, where);
}

ModalAnswer AnswerModal(const QString &caption, DialogAnswer answer, int timeoutMs,
                        std::source_location where)
{
    return Expect(caption, std::move(answer), timeoutMs, where);
}

ModalAnswer RejectModal(const QString &caption, int timeoutMs, std::source_location where)
{
    return Expect(
        caption, [](QDialog *dialog) { dialog->reject(); }, timeoutMs, where);
}

ModalWatch::ModalWatch()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->isModal())
            m_before.append(w);
    }
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || m_before.contains(w))
            return;
        m_before.append(w); // told once, also if it refuses to close
        m_seen.append(w->windowTitle());
        w->close();
    });
    m_timer.start(20);
}

void VerifyNoDialogLeftOpen(std::source_location where)
{
    QStringList open;
    // Innermost first: closing an outer window first would leave the inner ones to their owner.
    for (int guard = 0; guard < 50; ++guard) {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        open.append(u"\""_s + modal->windowTitle() + u"\" ("_s +
                    QLatin1StringView(modal->metaObject()->className()) + u')');
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        // One that refuses to close goes anyway: the next test must not start beneath it.
        if (modal->isVisible())
            modal->hide();
    }
    if (!open.isEmpty()) {
        const QString message = u"Modal window left open: "_s + open.join(u", "_s);
        QTest::qFail(message.toUtf8().constData(), where.file_name(), int(where.line()));
    }
}
