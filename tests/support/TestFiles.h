#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

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

} // namespace TestFiles
