#include "XdgAutostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>

namespace {

// Quoting of the Exec key: arguments with reserved characters in double
// quotes, with ", `, $ and \ escaped.
QString quoted(const QString& arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needs = arg.isEmpty();
    for (QChar c : arg)
        if (reserved.contains(c))
            needs = true;
    if (!needs)
        return arg;
    QString out = QStringLiteral("\"");
    for (QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    out += QLatin1Char('"');
    // The desktop file reader undoes one more level of backslashes.
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return out;
}

} // namespace

XdgAutostart::XdgAutostart(QString folder, QString program, QByteArray lynkorHome)
    : m_folder(std::move(folder)), m_program(std::move(program)), m_home(std::move(lynkorHome))
{
}

XdgAutostart XdgAutostart::forThisProgram()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return XdgAutostart(config + QStringLiteral("/autostart"), QCoreApplication::applicationFilePath(),
                        qgetenv("LYNKOR_HOME"));
}

QString XdgAutostart::entryPath() const
{
    return m_folder + QStringLiteral("/lynkor.desktop");
}

bool XdgAutostart::isEnabled() const
{
    return QFile::exists(entryPath());
}

bool XdgAutostart::setEnabled(bool enabled)
{
    if (!enabled)
        return !QFile::exists(entryPath()) || QFile::remove(entryPath());
    if (!QDir().mkpath(m_folder))
        return false;
    QString exec;
    if (!m_home.isEmpty())
        exec = QStringLiteral("env ") + quoted(QStringLiteral("LYNKOR_HOME=") + QFile::decodeName(m_home)) +
               QLatin1Char(' ');
    exec += quoted(m_program);
    const QByteArray text = "[Desktop Entry]\n"
                            "Type=Application\n"
                            "Name=Lynkor\n"
                            "Comment=Bookmark launcher\n"
                            "Exec=" +
                            exec.toUtf8() +
                            "\n"
                            "Terminal=false\n"
                            "X-GNOME-Autostart-enabled=true\n";
    QSaveFile file(entryPath());
    // Unbuffered, so that a full disk fails the write rather than the commit.
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(text) == text.size() && file.commit();
}
