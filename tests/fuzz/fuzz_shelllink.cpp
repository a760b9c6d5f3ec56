// libFuzzer target: any bytes through the shell link reader, under the
// address and undefined-behaviour sanitizers (run_shelllink_fuzz.sh).
#include "ShellLink.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly the input's size, so a read one byte past it is caught.
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const std::optional<ShellLink> link = ShellLink::parse(bytes)) {
        // Everything read must be whole text.
        volatile qsizetype n = link->target.size() + link->arguments.size() + link->workingDir.size() +
                               link->description.size() + link->iconLocation.size();
        (void)n;
    }
    return 0;
}
