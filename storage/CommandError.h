#pragma once

#include <QString>
#include <exception>

// A failure that ends the current user command. It is caught once where the
// window dispatches commands and shown in a message box with its text.
class CommandError : public std::exception
{
public:
    explicit CommandError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}
    const QString& text() const { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};
