#pragma once

#include "notices/noticelayout.h"

#include <QDialog>

// The notice of a newer build: heading, the service's message, "Többet ne figyelmeztessen" and
// "OK". Its position is remembered.
class Tfrm_Verziokovetes : public QDialog
{
    Q_OBJECT
public:
    Tfrm_Verziokovetes(const QString &version, const QString &message, QWidget *parent = nullptr);

    // Whether the user asked not to be told about this version again.
    bool dontWarnAgain() const;

    // The bottom part of the client area that the message area leaves free.
    static constexpr int MessageBottomReserve = 94;

    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    NoticeLayout m_layout;
};

// Shows the notice modally. True when it was closed with "OK" and "Többet ne figyelmeztessen"
// ticked, so the caller stores the version as dismissed.
bool ShowVersionNotice(const QString &version, const QString &message, QWidget *parent);
