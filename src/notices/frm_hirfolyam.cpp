#include "notices/frm_hirfolyam.h"

#include "gui/formgeometry.h"
#include "gui/openwithshell.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace hirfolyam {

constexpr int Margin = 8;

// Puts the window on top of the program's windows and gives it the focus. A modal dialog open
// now (the version notice, say) keeps the window beneath it, and when it closes the window
// system hands the focus back to the window under it, the main window, raising that over
// this one: so once the dialog is gone, this window is brought up again.
class FrontKeeper : public QObject
{
public:
    static void bringToFront(QWidget *window)
    {
        window->raise();
        window->activateWindow();
        if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != window)
            modal->installEventFilter(new FrontKeeper(window, modal));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_modal && event->type() == QEvent::Hide) {
            m_modal->removeEventFilter(this);
            // After the hiding has handed the focus on, or the main window would take it back.
            QTimer::singleShot(0, this, [this] {
                if (m_window && m_window->isVisible())
                    bringToFront(m_window);
                deleteLater();
            });
        }
        return false;
    }

private:
    FrontKeeper(QWidget *window, QWidget *modal) : QObject(window), m_window(window), m_modal(modal) {}

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_modal;
};

} // namespace hirfolyam

Tfrm_Hirfolyam::Tfrm_Hirfolyam(const QString &title, const QString &body, const QString &detailsAddress,
                               QWidget *parent)
    : QWidget(parent, Qt::Window),
      m_layout(this, QColor(0xB5, 0xD2, 0xF0), u"Többet ne mutassa"_s, BodyBottomReserve),
      m_address(detailsAddress)
{
    setObjectName(u"frm_Hirfolyam"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Hírek"_s);
    NoticeLayout::showText(m_layout.heading(), title);
    NoticeLayout::showText(m_layout.text(), body);

    m_detailsCaption = new QLabel(u"Részletek:"_s, this);
    m_detailsCaption->setObjectName(u"detailsCaption"_s);
    m_link = new QLabel(detailsAddress, this);
    m_link->setObjectName(u"link"_s);
    m_link->setTextFormat(Qt::PlainText);
    QFont linkFont = m_link->font();
    linkFont.setUnderline(true);
    m_link->setFont(linkFont);
    QPalette linkPalette = m_link->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    m_link->setPalette(linkPalette);
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->installEventFilter(this);

    connect(m_layout.okButton(), &QPushButton::clicked, this, &Tfrm_Hirfolyam::onOkClicked);
    setMinimumSize(360, 220);
    resize(520, 300);
}

void Tfrm_Hirfolyam::onOkClicked()
{
    emit confirmed(m_layout.checkBox()->isChecked());
    close();
}

void Tfrm_Hirfolyam::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize client = event->size();
    m_layout.place(client);
    const int row = client.height() - DetailsRowOffset;
    const QSize caption = m_detailsCaption->sizeHint();
    m_detailsCaption->setGeometry(hirfolyam::Margin, row, caption.width(), caption.height());
    const int linkLeft = hirfolyam::Margin + caption.width() + 4;
    m_link->setGeometry(linkLeft, row, std::max(0, client.width() - linkLeft - hirfolyam::Margin),
                        caption.height());
}

void Tfrm_Hirfolyam::closeEvent(QCloseEvent *event)
{
    try {
        SaveFormBounds(this);
    } catch (const std::exception &) {
        // A lost place is not worth an error box over the news.
    }
    QWidget::closeEvent(event);
}

bool Tfrm_Hirfolyam::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_link && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        OpenWithShell(m_address);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

Tfrm_Hirfolyam *ShowNewsWindow(const QString &title, const QString &body, const QString &detailsAddress,
                               QWidget *parent)
{
    auto window = new Tfrm_Hirfolyam(title, body, detailsAddress, parent);
    LoadFormBounds(window);
    window->show();
    hirfolyam::FrontKeeper::bringToFront(window);
    return window;
}
