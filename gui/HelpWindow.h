#pragma once

#include <QWidget>

class QTextBrowser;
class QLineEdit;
class QListWidget;

// Lynkor's help: one HTML page per help context number, shipped with the
// program, and a search over all pages.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    void showContext(int context);
    void showSearch();

    // The resource path of the page for a context ("" when there is none).
    static QString pageFor(int context);

private:
    void filter(const QString& text);
    void open(const QString& page);

    QTextBrowser* m_browser;
    QLineEdit* m_search;
    QListWidget* m_topics;
    struct Topic
    {
        QString page;
        QString title;
        QString text;
    };
    QList<Topic> m_pages;
};
