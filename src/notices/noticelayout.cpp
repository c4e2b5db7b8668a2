#include "notices/noticelayout.h"

#include <QCheckBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace noticelayout {

constexpr int Margin = 8;
constexpr int TextTop = 48;
constexpr int ButtonWidth = 100;

} // namespace noticelayout

NoticeLayout::NoticeLayout(QWidget *window, const QColor &background, const QString &checkBoxText,
                           int textBottomReserve)
    : m_textBottomReserve(textBottomReserve)
{
    window->setFont(QFont(u"Segoe UI"_s, 10));
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, background);
    window->setPalette(palette);
    window->setAutoFillBackground(true);

    m_heading = new QLabel(window);
    m_heading->setObjectName(u"heading"_s);
    QFont headingFont(u"Segoe UI"_s, 14);
    headingFont.setBold(true);
    m_heading->setFont(headingFont);
    m_heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    m_text = new QLabel(window);
    m_text->setObjectName(u"text"_s);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_text->setTextFormat(Qt::PlainText);

    m_checkBox = new QCheckBox(checkBoxText, window);
    m_checkBox->setObjectName(u"dontShowAgain"_s);

    m_okButton = new QPushButton(u"OK"_s, window);
    m_okButton->setObjectName(u"ok"_s);
    m_okButton->setDefault(true);
}

void NoticeLayout::showText(QLabel *label, const QString &text)
{
    QString shown = text;
    shown.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    while (shown.endsWith(u'\n'))
        shown.chop(1);
    label->setText(shown);
}

void NoticeLayout::place(const QSize &client)
{
    const int w = client.width();
    const int h = client.height();
    m_heading->setGeometry(noticelayout::Margin, noticelayout::Margin, w - 2 * noticelayout::Margin,
                           noticelayout::TextTop - noticelayout::Margin);
    m_text->setGeometry(noticelayout::Margin, noticelayout::TextTop, w - TextWidthReserve,
                        h - m_textBottomReserve);
    const int bottomRow = h - BottomRowOffset;
    const int buttonLeft = w - ButtonLeftFromRight;
    const QSize box = m_checkBox->sizeHint();
    const QSize button(noticelayout::ButtonWidth, m_okButton->sizeHint().height());
    m_checkBox->setGeometry(noticelayout::Margin, bottomRow,
                            std::max(0, std::min(box.width(), buttonLeft - 2 * noticelayout::Margin)),
                            box.height());
    m_okButton->setGeometry(buttonLeft, bottomRow, button.width(), button.height());
}
