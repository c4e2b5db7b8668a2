#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

// Answers the next modal dialog whose caption is `caption` (the one a click is about to open),
// so a dialog that is still open under it is never answered by mistake. Gives up after
// timeoutMs with a warning; `seen` (optional) tells whether it came.
inline void AnswerModalTitled(const QString &caption, std::function<void(QDialog *)> answer,
                              std::shared_ptr<bool> seen = nullptr, int timeoutMs = 5000)
{
    auto *timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog && dialog->windowTitle() == caption) {
            timer->stop();
            timer->deleteLater();
            if (seen)
                *seen = true;
            answer(dialog);
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            qWarning("No modal window \"%s\" appeared within %d ms", qPrintable(caption), timeoutMs);
        }
    });
    timer->start();
}

#include <QDir>
#include <QWidget>

// Saves a picture of the window into the folder named by ORVANTH_SHOTS, when that is set, so
// a person can look at what the tests show.
inline void SaveShot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("ORVANTH_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
