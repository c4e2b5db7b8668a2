#pragma once

#include <QApplication>

// The application object: its notify() is the general error handler of last resort, so an
// error that no window handles shows its text and the user can go on.
class OrvanthApplication : public QApplication
{
    Q_OBJECT

public:
    OrvanthApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
