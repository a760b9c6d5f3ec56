#pragma once

#include "ProcessStarter.h"

#include <QList>
#include <QStringList>
#include <QTimer>

// Records the processes and documents it is asked to start.
class RecordingStarter : public ProcessStarter
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
        QString folder;
        QString identifier;
    };
    QList<Start> starts;
    QStringList documents;

    Result start(const QString& program, const QStringList& arguments, const QString& folder,
                 const QString& identifier = {}) override
    {
        starts.push_back({program, arguments, folder, identifier});
        return {true, {}};
    }
    bool documentsFail = false;
    void openDocument(const QString& target, QObject* context, Opened done) override
    {
        documents << target;
        const Result r = documentsFail ? Result{false, QStringLiteral("Cannot open %1").arg(target)} : Result{true, {}};
        QTimer::singleShot(0, context, [done, r] { done(r); });
    }
};
