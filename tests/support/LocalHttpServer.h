#pragma once

#include <QByteArray>
#include <QMap>
#include <functional>
#include <memory>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

// An HTTP server on 127.0.0.1 for tests, serving fixed documents by path.
class LocalHttpServer
{
public:
    LocalHttpServer();
    ~LocalHttpServer();

    // Serves body with content type at path ("/a.html"); set before start().
    void add(const QByteArray& path, const QByteArray& body, const QByteArray& type = "text/html");
    // Answers path with handler (status codes, redirects, headers); set before start().
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
    void handle(const QByteArray& path, Handler handler);
    // A slow server: head at once, then piece every pauseMs, pieces times.
    // Stops early once the client has gone, so the server can shut down.
    void addSlow(const QByteArray& path, const QByteArray& head, const QByteArray& piece, int pieces, int pauseMs);
    void start();
    int port() const { return m_port; }
    // "http://127.0.0.1:port/path": a reverse look-up names the host, and an
    // AutoIcon then offers the name instead of the address.
    QByteArray url(const QByteArray& path) const;
    // "http://localhost:port/path": the same server by its name.
    QByteArray namedUrl(const QByteArray& path) const
    {
        return "http://localhost:" + QByteArray::number(m_port) + path;
    }

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
};
