#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <csignal>
#include <sys/resource.h>

// Small file helpers shared by the tests.
namespace TestFiles {

// A file of tests/data (the test registration sets LYNKOR_TEST_DATA).
inline QString data(const QString& relative)
{
    return qEnvironmentVariable("LYNKOR_TEST_DATA") + QLatin1Char('/') + relative;
}

inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Little-endian fields patched into a copy of binary data.
inline QByteArray put16(QByteArray data, qint64 offset, quint16 value)
{
    qToLittleEndian(value, data.data() + offset);
    return data;
}

inline QByteArray put32(QByteArray data, qint64 offset, quint32 value)
{
    qToLittleEndian(value, data.data() + offset);
    return data;
}

// While one lives, no file of this process can grow beyond `bytes`: writes
// fail half-way as on a full disk, even for root.
class WritesFailBeyond
{
public:
    explicit WritesFailBeyond(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~WritesFailBeyond()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previous);
    }
    WritesFailBeyond(const WritesFailBeyond&) = delete;
    WritesFailBeyond& operator=(const WritesFailBeyond&) = delete;

private:
    struct rlimit m_saved;
    void (*m_previous)(int);
};

} // namespace TestFiles
