#include "LocalHttpServer.h"

#include <chrono>
#include <httplib.h>

LocalHttpServer::LocalHttpServer() : m_server(std::make_unique<httplib::Server>()) {}

LocalHttpServer::~LocalHttpServer()
{
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

void LocalHttpServer::add(const QByteArray& path, const QByteArray& body, const QByteArray& type)
{
    const std::string content = body.toStdString();
    const std::string mime = type.toStdString();
    m_server->Get(path.toStdString(), [content, mime](const httplib::Request&, httplib::Response& res) {
        res.set_content(content, mime.c_str());
    });
}

void LocalHttpServer::handle(const QByteArray& path, Handler handler)
{
    m_server->Get(path.toStdString(), std::move(handler));
}

void LocalHttpServer::addSlow(const QByteArray& path, const QByteArray& head, const QByteArray& piece, int pieces,
                              int pauseMs)
{
    const std::string first = head.toStdString();
    const std::string next = piece.toStdString();
    m_server->Get(path.toStdString(), [=](const httplib::Request&, httplib::Response& res) {
        // Not a text type: the server would compress text and hold the pieces back.
        res.set_chunked_content_provider("application/octet-stream", [=](size_t, httplib::DataSink& sink) {
            if (!sink.write(first.data(), first.size()))
                return false;
            for (int i = 0; i < pieces; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
                if (!sink.write(next.data(), next.size()))
                    return false;
            }
            sink.done();
            return true;
        });
    });
}

void LocalHttpServer::start()
{
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    while (!m_server->is_running())
        std::this_thread::yield();
}

QByteArray LocalHttpServer::url(const QByteArray& path) const
{
    return "http://127.0.0.1:" + QByteArray::number(m_port) + path;
}
