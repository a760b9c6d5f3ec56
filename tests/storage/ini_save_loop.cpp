// Saves one file over and over, alternating between two contents, until it is
// killed. Used to show that a kill during a save never leaves a torn file.
#include "IniFiles32.h"

#include <QByteArray>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const QByteArray path = argv[1];
    IniStore store;
    for (long i = 0;; ++i) {
        TIniFile32 ini(store, path);
        // Each round rewrites a value long enough that a save takes a while.
        ini.WriteString("Data", "Fill", QByteArray(400000, i % 2 ? 'b' : 'a'));
        if (i == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
