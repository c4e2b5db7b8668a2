#include "profilecheck.h"

#include "config/conprofile.h"
#include "config/settings.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/profileparams.h"
#include "gui/busycursor.h"
#include "gui/messagebox.h"

#include <QDialog>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QThread>
#include <QWidget>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// What the worker hands back. Shared, because an abandoned worker outlives the test's caller.
struct ProbeOutcome
{
    bool connected = false;
    QString error;
};

// Disables the widgets for its lifetime and gives back their own enabled state and the focus.
class InputLock
{
public:
    InputLock(QWidget *owner, const QList<QWidget *> &widgets)
        : m_focus(owner ? owner->focusWidget() : nullptr)
    {
        for (QWidget *w : widgets) {
            if (!w)
                continue;
            m_widgets.append({w, w->isEnabled()});
            w->setEnabled(false);
        }
    }
    ~InputLock()
    {
        for (const auto &[widget, enabled] : m_widgets) {
            if (widget)
                widget->setEnabled(enabled);
        }
        if (m_focus && m_focus->isEnabled())
            m_focus->setFocus();
    }
    InputLock(const InputLock &) = delete;
    InputLock &operator=(const InputLock &) = delete;

private:
    QList<std::pair<QPointer<QWidget>, bool>> m_widgets;
    QPointer<QWidget> m_focus;
};

// Masked passwords show '*' as on the other workstations, not the style's bullet.
class StarPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

bool TestProfileConnection(const ConnectionProfile &profile, QWidget *owner,
                           const QList<QWidget *> &lockedMeanwhile,
                           const std::function<void(Connection &connection)> &whileOpen)
{
    ConnectionParams params;
    try {
        params = ProfileConnectionParams(profile);
    } catch (const DbError &error) {
        ShowErrorBox(u"Hiba: "_s + error.message(), owner);
        return false;
    }

    const auto outcome = std::make_shared<ProbeOutcome>();
    QThread *worker = QThread::create([params, outcome, whileOpen] {
        try {
            Connection test(params);
            test.open();
            if (whileOpen)
                whileOpen(test);
            test.close();
            outcome->connected = true;
        } catch (const DbError &error) {
            outcome->error = error.message();
        } catch (const std::exception &error) {
            outcome->error = QString::fromUtf8(error.what());
        }
    });
    // No parent: an abandoned worker deletes itself once the server has answered.
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);

    bool abandoned = false;
    {
        QEventLoop loop;
        QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
        if (auto *dialog = qobject_cast<QDialog *>(owner)) {
            QObject::connect(dialog, &QDialog::finished, &loop, [&loop, &abandoned] {
                abandoned = true;
                loop.quit();
            });
        }
        InputLock lock(owner, lockedMeanwhile);
        BusyCursor busy;
        worker->start();
        // The window keeps painting and its unlocked controls answer; input that would start a
        // second test is locked above.
        loop.exec();
    }
    if (abandoned)
        return false;
    if (!outcome->connected) {
        ShowErrorBox(u"Hiba: "_s + outcome->error, owner);
        return false;
    }
    return true;
}

int ProfileDialogFontSize(int fontSize)
{
    return fontSize > 0 ? fontSize : WorkstationSettings().fontSize;
}

void MaskWithStars(QLineEdit *passwordEdit)
{
    passwordEdit->setEchoMode(QLineEdit::Password);
    auto *starStyle = new StarPasswordStyle;
    starStyle->setParent(passwordEdit);
    passwordEdit->setStyle(starStyle);
}
