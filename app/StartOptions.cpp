#include "StartOptions.h"

namespace {

// Options that QGuiApplication and QApplication take, with whether a value
// follows.
struct QtOption
{
    const char* name;
    bool takesValue;
};

constexpr QtOption kQtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"reverse", false},
    {"session", true},         {"style", true},
    {"stylesheet", true},      {"widgetcount", false},
    {"display", true},         {"geometry", true},
    {"title", true},           {"name", true},
    {"visual", true},          {"ncols", true},
    {"cmap", false},           {"nograb", false},
    {"dograb", false},         {"sync", false},
};

const QtOption* qtOption(const QString& arg)
{
    QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype eq = name.indexOf(QLatin1Char('='));
    if (eq >= 0)
        name.truncate(eq);
    for (const QtOption& o : kQtOptions)
        if (name == QLatin1String(o.name))
            return &o;
    return nullptr;
}

} // namespace

StartOptions StartOptions::parse(const QStringList& arguments)
{
    StartOptions out;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--"))
            break;
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            out.action = Action::Help;
            return out;
        }
        if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            out.action = Action::Version;
            return out;
        }
        // "/_" (the first run after installing) and file names are no options.
        if (!arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-"))
            continue;
        if (const QtOption* o = qtOption(arg)) {
            if (o->takesValue && !arg.contains(QLatin1Char('=')))
                ++i;
            continue;
        }
        out.action = Action::Refuse;
        out.refused = arg;
        return out;
    }
    return out;
}

QString StartOptions::usage()
{
    return QStringLiteral("Usage: lynkor [bookmark-file [bookmark-file]]\n"
                          "       lynkor stem\n"
                          "Keeps bookmarks, programs and documents on pages of buttons.\n"
                          "\n"
                          "  bookmark-file   a bookmark file (.LYK) to open\n"
                          "  stem            a name without extension: use the settings stem.INI\n"
                          "  -h, --help      print this text and exit\n"
                          "  -v, --version   print the version and exit\n"
                          "  --              the arguments after it are file names\n"
                          "\n"
                          "Qt's own options (-platform, -style, ...) are accepted too.\n"
                          "The data folder is $LYNKOR_HOME, else ~/.local/share/lynkor.\n");
}
