#pragma once

#include <QByteArray>
#include <QMap>
#include <memory>
#include <thread>

namespace httplib {
class Server;
}

// An HTTP server on 127.0.0.1 for tests, serving fixed documents by path.
class LocalHttpServer
{
public:
    LocalHttpServer();
    ~LocalHttpServer();

    // Serves body with content type at path ("/a.html"); set before start().
    void add(const QByteArray& path, const QByteArray& body, const QByteArray& type = "text/html");
    void start();
    int port() const { return m_port; }
    QByteArray url(const QByteArray& path) const;

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
};
