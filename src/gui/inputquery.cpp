#include "inputquery.h"

#include "gui/formgeometry.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

using namespace Qt::StringLiterals;

QSize AverageCharSize(const QFontMetrics &metrics)
{
    const QString letters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"_s;
    return QSize(metrics.horizontalAdvance(letters) / 52, metrics.height());
}

namespace {

// a * b / c rounded to the nearest whole number (values here are small and positive).
int MulDiv(int a, int b, int c)
{
    return int((qint64(a) * b + c / 2) / c);
}

} // namespace

bool MaskedInputQuery(const QString &caption, const QString &prompt, const QString &inputMask, QString &text,
                      QWidget *parent)
{
    QDialog dialog(parent ? parent : QApplication::activeWindow(),
                   Qt::Dialog | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    dialog.setWindowTitle(caption);

    const QSize average = AverageCharSize(QFontMetrics(dialog.font()));
    const auto hu = [&](int units) { return MulDiv(units, average.width(), 4); };
    const auto vu = [&](int units) { return MulDiv(units, average.height(), 8); };

    auto *label = new QLabel(prompt, &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    const int promptWidth = hu(164);
    label->setGeometry(hu(8), vu(8), promptWidth, label->heightForWidth(promptWidth));

    auto *edit = new QLineEdit(&dialog);
    edit->setObjectName(u"edit"_s);
    if (!inputMask.isEmpty())
        edit->setInputMask(inputMask);
    edit->setMaxLength(255);
    edit->setText(text);
    edit->selectAll();
    edit->setGeometry(label->x(), label->geometry().bottom() + 1 + 5, hu(164), edit->sizeHint().height());

    const int buttonTop = edit->geometry().bottom() + 1 + 15;
    auto *ok = new QPushButton(u"OK"_s, &dialog);
    ok->setGeometry(hu(38), buttonTop, hu(50), vu(14));
    ok->setDefault(true);
    auto *cancel = new QPushButton(u"Mégsem"_s, &dialog);
    cancel->setGeometry(hu(92), buttonTop, hu(50), vu(14));
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    dialog.setFixedSize(hu(180), ok->geometry().bottom() + 1 + 13);
    MakeFixedSize(&dialog);
    if (const QScreen *screen = dialog.screen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    edit->setFocus();

    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = edit->text();
    return true;
}
