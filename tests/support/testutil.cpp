#include "testutil.h"

#include "common/paths.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>
#include <memory>

using namespace Qt::StringLiterals;

QRect ShownOuterGeometry(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return window->geometry().marginsAdded(handle ? handle->frameMargins() : QMargins());
}

ScopedDataFolder::ScopedDataFolder()
    : m_oldConfigHome(qgetenv("XDG_CONFIG_HOME")),
      m_hadConfigHome(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    InitPaths();
}

ScopedDataFolder::~ScopedDataFolder()
{
    if (m_hadConfigHome)
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
    InitPaths();
}

QString ScopedDataFolder::dataFolder() const
{
    return QDir(m_dir.path()).filePath(u"OrvantH"_s);
}

void AnswerNextModal(std::function<void(QWidget *)> answer, int timeoutMs)
{
    auto timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, answer = std::move(answer), timeoutMs] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(w);
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            qWarning("AnswerNextModal: no modal window appeared within %d ms", timeoutMs);
        }
    });
    timer->start();
}

void RejectNextModal(int timeoutMs)
{
    AnswerNextModal(
        [](QWidget *w) {
            if (auto d = qobject_cast<QDialog *>(w))
                d->reject();
            else
                w->close();
        },
        timeoutMs);
}
