// libFuzzer target: any bytes through the shell link reader, under the address
// and undefined-behaviour sanitizers (run_shelllink_fuzz.sh).
#include "ShellLink.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // No copy: libFuzzer's buffer is exactly the input, so a read one byte past
    // it is caught.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<ShellLink> link = ShellLink::parse(bytes);
    if (!link)
        return 0;
    // A link that comes back is whole: a target or a namespace item, never both
    // or neither, and text that ends where Windows ends it.
    if (link->namespaceItem != link->target.isEmpty() ||
        (link->source == ShellLink::Source::None) != link->target.isEmpty())
        std::abort();
    for (const QString* text :
         {&link->target, &link->arguments, &link->workingDir, &link->description, &link->iconLocation}) {
        if (text->contains(QChar(0)))
            std::abort();
    }
    return 0;
}
