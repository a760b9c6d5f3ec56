#pragma once

#include "BrowserConversation.h"

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <functional>

class QNetworkAccessManager;

// The browser conversation over a Chromium-family browser's DevTools endpoint
// on 127.0.0.1. "WWW_GetWindowInfo" answers the active page tab's address and
// title in the form a browser gives ("url","title",""), "WWW_OpenURL" shows
// an address in the active tab, "WWW_Activate" brings the tab forward. When
// nothing answers, StartLink starts the browser with the DevTools port and a
// profile folder of ours, and waits for it to come up.
class DevToolsConversation : public BrowserConversation
{
public:
    DevToolsConversation(int port, QString profileFolder);
    ~DevToolsConversation() override;

    void setServiceApplication(const QByteArray& program) override { m_program = program; }
    bool canServe(const QByteArray& program) const override { return isChromiumFamily(program); }
    void SetLink(const QByteArray& service, const QByteArray& topic) override;
    bool StartLink() override;
    void CloseLink() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    std::optional<QByteArray> Request(const QByteArray& item, int timeoutMs) override;

    int port() const { return m_port; }
    void setPort(int port) { m_port = port; }
    // How long StartLink waits for a started browser to answer.
    void setStartWait(int ms) { m_startWait = ms; }
    // Whether a program is a browser that offers the DevTools endpoint.
    static bool isChromiumFamily(const QByteArray& program);
    // The arguments the browser is started with.
    QStringList startArguments() const;

private:
    bool endpointAnswers(int timeoutMs);
    // A page target of /json/list (most recently active first); empty when none.
    QJsonArray pages(int timeoutMs);
    std::optional<QByteArray> get(const QString& path, int timeoutMs, const QByteArray& verb = "GET");
    bool navigate(const QString& webSocketUrl, const QString& url, int timeoutMs);

    int m_port;
    QString m_profile;
    QByteArray m_program;
    QByteArray m_topic;
    bool m_open = false;
    int m_startWait = 15000;
    QNetworkAccessManager* m_net;
};
