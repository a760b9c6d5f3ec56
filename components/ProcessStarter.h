#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class QObject;

// TExFile: starts a program without waiting for it. Given an identifier, a
// second start of the same program with the same identifier is refused while
// the first still runs (the browser starts); without one every start is a new
// process. Nothing goes through a shell.
class ProcessStarter
{
public:
    virtual ~ProcessStarter() = default;

    struct Result
    {
        bool started = false;
        QString error; // why it did not start
    };
    virtual Result start(const QString& program, const QStringList& arguments, const QString& folder,
                         const QString& identifier = {});
    // A document (or anything with a scheme) opened with the desktop's
    // handler for it (xdg-open). The answer comes later: a handler that is
    // missing or fails is reported.
    using Opened = std::function<void(const Result&)>;
    virtual void openDocument(const QString& target, QObject* context, Opened done);

    // Arguments split as a command line: blanks separate, double quotes group.
    static QStringList splitArguments(const QString& text);

private:
    bool running(qint64 pid) const;
    QHash<QString, qint64> m_started; // program + identifier -> process id
};
