#pragma once

#include <QDialog>

class BookmarkCount;

// TCountForm: the bookmark count, shown until closed.
class CountDialog : public QDialog
{
    Q_OBJECT
public:
    CountDialog(BookmarkCount& count, QWidget* parent = nullptr);
};
