#pragma once

#include "BrowserConversation.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QString>
#include <functional>

class QNetworkAccessManager;

// The browser conversation over a Chromium-family browser's DevTools endpoint
// on 127.0.0.1. "WWW_GetWindowInfo" answers the address and title of the
// page tab the user last used, in the form a browser gives ("url","title",""),
// skipping the browser's own pages (new tab, settings); "WWW_OpenURL" shows an
// address in that tab, "WWW_Activate" brings it forward. When nothing answers,
// StartLink may start the browser with the DevTools port and a profile folder
// of ours, and gives it a short while to come up.
class DevToolsConversation : public BrowserConversation
{
public:
    DevToolsConversation(int port, QString profileFolder);
    ~DevToolsConversation() override;

    void setServiceApplication(const QByteArray& program) override { m_program = program; }
    bool canServe(const QByteArray& program) const override { return isChromiumFamily(program); }
    void SetLink(const QByteArray& service, const QByteArray& topic) override;
    void StartLink(bool mayStart, QObject* context, Opened done) override;
    void CloseLink() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void Request(const QByteArray& item, int timeoutMs, QObject* context, Reply done) override;
    QString advice() const override;

    int port() const { return m_port; }
    void setPort(int port) { m_port = port; }
    // How long one StartLink waits for a browser it started (or that another
    // StartLink started a moment ago) to answer.
    void setStartWait(int ms) { m_startWait = ms; }
    // Whether a program is a browser that offers the DevTools endpoint.
    static bool isChromiumFamily(const QByteArray& program);
    // The arguments the browser is started with.
    QStringList startArguments() const;

private:
    using Bytes = std::function<void(const std::optional<QByteArray>&)>;
    using Pages = std::function<void(const QJsonArray&)>;
    void get(const QString& path, int timeoutMs, const QByteArray& verb, QObject* context, Bytes done);
    // Page targets of /json/list, most recently used first.
    void pages(int timeoutMs, bool bookmarkableOnly, QObject* context, Pages done);
    void waitForEndpoint(qint64 deadline, QObject* context, Opened done);
    void navigate(const QString& webSocketUrl, const QString& url, int timeoutMs, QObject* context, Reply done);

    int m_port;
    QString m_profile;
    QByteArray m_program;
    QByteArray m_topic;
    bool m_open = false;
    int m_startWait = 1000;
    QElapsedTimer m_started; // since this conversation last started the browser
    QElapsedTimer m_clock;
    QNetworkAccessManager* m_net;
};
