#include "LocalHttpServer.h"

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
