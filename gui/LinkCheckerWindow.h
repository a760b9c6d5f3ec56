#pragma once

#include <QWidget>
#include <functional>

class LinkChecker;
class QLabel;
class QProgressBar;
class QSpinBox;
class QTreeWidget;

// THttpAsyForm: the link checker's own window, not modal. It shows the
// checker's lists and counters; its buttons run as commands of the board.
class LinkCheckerWindow : public QWidget
{
    Q_OBJECT
public:
    using Dispatch = std::function<void(const std::function<void()>&)>;
    LinkCheckerWindow(LinkChecker& checker, Dispatch dispatch, QWidget* parent = nullptr);

    QTreeWidget* badList() const { return m_bad; }
    QTreeWidget* updatedList() const { return m_updated; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void render();

    LinkChecker& m_checker;
    Dispatch m_dispatch;
    QLabel* m_checked;
    QLabel* m_badCount;
    QLabel* m_updatedCount;
    QProgressBar* m_gauge;
    QSpinBox* m_wait;
    QSpinBox* m_parallel;
    QTreeWidget* m_bad;
    QTreeWidget* m_updated;
};
