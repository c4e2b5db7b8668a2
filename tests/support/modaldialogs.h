#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <source_location>

namespace ModalDetail {
struct Expectation;
}

// A modal dialog that the code under test is about to open with exec(), and what the test
// answers in it. Made by AnswerModal() before the code runs; the dialog is answered as soon as it
// is the active modal window (polled from a timer, so also inside nested event loops).
//
// A dialog that never comes fails the test that expected it: when its time is up while that
// test still runs, and at the latest when the ModalAnswer goes, which waits out the time left
// first. So keep the ModalAnswer as a local of the test function (or of a helper it calls) until
// the code that opens the dialog has run:
//
//     const ModalAnswer chooser = AnswerModal(u"Adatbázis"_s, [](QDialog *d) { d->reject(); });
//     QCOMPARE(ChooseProfile(...), -1);
//
// An AnswerModal() made inside another answer (the next dialog of a sequence) belongs to that
// answer's ModalAnswer, which checks it too; its own return value may be dropped.
class ModalAnswer
{
public:
    ModalAnswer() = default;
    explicit ModalAnswer(std::shared_ptr<ModalDetail::Expectation> expectation, bool owned);
    ~ModalAnswer();
    ModalAnswer(ModalAnswer &&other) noexcept;
    ModalAnswer &operator=(ModalAnswer &&other) noexcept;
    ModalAnswer(const ModalAnswer &) = delete;
    ModalAnswer &operator=(const ModalAnswer &) = delete;

    // Whether the dialog has come and its answer has run.
    bool answered() const;
    // Waits until the dialog, and every dialog its answer expected in turn, has been answered,
    // each at most until its time is up; one that did not come fails the running test. True when
    // all came. The destructor does the same for a ModalAnswer that has not been checked.
    bool verify();

private:
    std::shared_ptr<ModalDetail::Expectation> m_expectation;
    bool m_owned = false;
};

// Takes the dialog; an answer written for QWidget * fits as well.
using DialogAnswer = std::function<void(QDialog *)>;

// Answers the next modal dialog that opens, whatever its caption; timeoutMs counts from now.
ModalAnswer AnswerModal(DialogAnswer answer, int timeoutMs = 5000,
                        std::source_location where = std::source_location::current());
// Answers the next modal dialog captioned `caption`, so that a dialog still open beneath it is
// never answered by mistake.
ModalAnswer AnswerModal(const QString &caption, DialogAnswer answer, int timeoutMs = 5000,
                        std::source_location where = std::source_location::current());
// Closes the next modal dialog (with the given caption, when one is given) as Mégsem would.
ModalAnswer RejectModal(const QString &caption = QString(), int timeoutMs = 5000,
                        std::source_location where = std::source_location::current());

// For every test's cleanup(): fails the test that leaves a modal window open (one that its answer
// never closed, or one the test opened itself), naming each, and closes them, so that the next
// test does not start beneath them.
void VerifyNoDialogLeftOpen(std::source_location where = std::source_location::current());

// For a dialog that must not come: records the caption of every modal window that opens while
// the watch lives and closes it at once, so the test goes on and can say what it saw. Windows
// already open when the watch starts are left alone.
class ModalWatch
{
public:
    ModalWatch();
    const QStringList &seen() const { return m_seen; }

private:
    QTimer m_timer;
    QList<QPointer<QWidget>> m_before;
    QStringList m_seen;
};
