#include "CommandLine.h"

#include "PathNames.h"

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine cl;
    const QByteArray first = arguments.size() > 0 ? PathNames::fromQt(arguments[0]) : QByteArray();
    const QByteArray second = arguments.size() > 1 ? PathNames::fromQt(arguments[1]) : QByteArray();
    if (first.startsWith("/_")) {
        cl.firstRun = true;
        cl.installFolder = first.mid(2);
    } else if (!first.isEmpty()) {
        // An argument without extension names a configuration of its own; only
        // the file's name makes the stem, so a path never ends up inside the
        // settings file name.
        if (!PathNames::nameHasDot(first))
            cl.stem = PathNames::fileName(first);
        // Absolute paths begin with "/" here; only "/_" is a switch.
        cl.bookmarkFiles.push_back(first);
    }
    if (!second.isEmpty())
        cl.bookmarkFiles.push_back(second);
    return cl;
}
