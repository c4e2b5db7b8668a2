#pragma once

#include <QIcon>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;

// A row of tabs that wraps onto further rows when the window is too narrow for all of them,
// as the register's year and committee tabs do.
class FlowTabBar : public QWidget
{
    Q_OBJECT

public:
    explicit FlowTabBar(QWidget *parent = nullptr);

    // Removes all tabs and adds these; the first becomes current (without currentChanged).
    void setTabs(const QStringList &texts, const QList<QIcon> &icons = {});
    int count() const;
    QString tabText(int index) const;
    QIcon tabIcon(int index) const;
    int currentIndex() const;
    QString currentText() const { return tabText(currentIndex()); }
    // Selects the tab as a click does (emits currentChanged when it changes).
    void setCurrentIndex(int index);
    // Fixed width of every tab; 0 sizes each tab to its text.
    void setTabWidth(int width);
    QAbstractButton *tabButton(int index) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    int layoutTabs(int width, bool apply) const;
    QSize tabSize(int index) const;

    QButtonGroup *m_group;
    QList<QAbstractButton *> m_buttons;
    int m_tabWidth = 0;
};
