#include "InternetShortcut.h"

#include "AnsiText.h"
#include "FileError.h"
#include "IniDocument.h"
#include "PathNames.h"

#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace InternetShortcut {

namespace {

// UTF-16 text (little or big end first) as stored-form bytes.
QByteArray fromUtf16(const QByteArray& bytes, bool bigEnd)
{
    std::u16string units;
    units.reserve(size_t(bytes.size() / 2));
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t lo = uchar(bytes[bigEnd ? i + 1 : i]);
        const char16_t hi = uchar(bytes[bigEnd ? i : i + 1]);
        units.push_back(char16_t(hi << 8 | lo));
    }
    return AnsiText::fromUi(QString::fromStdU16String(units));
}

// The address in the text of a shortcut (as much of it as was read).
QByteArray urlOf(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    else if (bytes.startsWith("\xFF\xFE"))
        bytes = fromUtf16(bytes.sliced(2), false);
    else if (bytes.startsWith("\xFE\xFF"))
        bytes = fromUtf16(bytes.sliced(2), true);
    // Without its mark, UTF-16 of an INI text still shows itself: its
    // first character "[" or a letter has a NUL beside it.
    else if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0')
        bytes = fromUtf16(bytes, false);
    else if (bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] != '\0')
        bytes = fromUtf16(bytes, true);
    return AnsiText::oneLine(IniDocument::fromBytes(bytes).readString("InternetShortcut", "URL", {}));
}

} // namespace

QByteArray url(const QByteArray& path)
{
    auto cannotOpen = [&path] { return FileError(QStringLiteral("Cannot open file %1").arg(PathNames::toQt(path))); };
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        throw cannotOpen();
    struct stat st = {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw cannotOpen();
    }
    QByteArray bytes(kMaxBytes, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < kMaxBytes) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(kMaxBytes - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            throw cannotOpen();
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    bytes.truncate(got);
    // A line cut where reading stopped is no whole line.
    if (st.st_size > got) {
        const qsizetype lastBreak = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        bytes.truncate(lastBreak < 0 ? 0 : lastBreak + 1);
    }
    return urlOf(bytes);
}

} // namespace InternetShortcut
