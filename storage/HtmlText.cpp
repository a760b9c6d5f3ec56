#include "HtmlText.h"

#include "AnsiText.h"

#include <QHash>

namespace HtmlText {

QString decode(const QByteArray& html)
{
    const QString text = AnsiText::isValidUtf8(html) ? QString::fromUtf8(html) : AnsiText::decode1252(html);
    static const QHash<QString, QChar> named = {
        {QStringLiteral("amp"), QLatin1Char('&')}, {QStringLiteral("lt"), QLatin1Char('<')},
        {QStringLiteral("gt"), QLatin1Char('>')},  {QStringLiteral("quot"), QLatin1Char('"')},
        {QStringLiteral("nbsp"), QChar(0x00A0)},   {QStringLiteral("iexcl"), QChar(0x00A1)},
        {QStringLiteral("cent"), QChar(0x00A2)},   {QStringLiteral("pound"), QChar(0x00A3)},
        {QStringLiteral("curren"), QChar(0x00A4)}, {QStringLiteral("yen"), QChar(0x00A5)},
        {QStringLiteral("brvbar"), QChar(0x00A6)}, {QStringLiteral("sect"), QChar(0x00A7)},
        {QStringLiteral("uml"), QChar(0x00A8)},    {QStringLiteral("copy"), QChar(0x00A9)},
        {QStringLiteral("ordf"), QChar(0x00AA)},   {QStringLiteral("laquo"), QChar(0x00AB)},
        {QStringLiteral("not"), QChar(0x00AC)},    {QStringLiteral("shy"), QChar(0x00AD)},
        {QStringLiteral("reg"), QChar(0x00AE)},    {QStringLiteral("macr"), QChar(0x00AF)},
        {QStringLiteral("deg"), QChar(0x00B0)},    {QStringLiteral("plusmn"), QChar(0x00B1)},
        {QStringLiteral("sup2"), QChar(0x00B2)},   {QStringLiteral("sup3"), QChar(0x00B3)},
        {QStringLiteral("acute"), QChar(0x00B4)},  {QStringLiteral("micro"), QChar(0x00B5)},
        {QStringLiteral("para"), QChar(0x00B6)},   {QStringLiteral("middot"), QChar(0x00B7)},
        {QStringLiteral("cedil"), QChar(0x00B8)},  {QStringLiteral("sup1"), QChar(0x00B9)},
        {QStringLiteral("ordm"), QChar(0x00BA)},   {QStringLiteral("raquo"), QChar(0x00BB)},
        {QStringLiteral("frac14"), QChar(0x00BC)}, {QStringLiteral("frac12"), QChar(0x00BD)},
        {QStringLiteral("frac34"), QChar(0x00BE)}, {QStringLiteral("iquest"), QChar(0x00BF)},
        {QStringLiteral("Agrave"), QChar(0x00C0)}, {QStringLiteral("Aacute"), QChar(0x00C1)},
        {QStringLiteral("Acirc"), QChar(0x00C2)},  {QStringLiteral("Atilde"), QChar(0x00C3)},
        {QStringLiteral("Auml"), QChar(0x00C4)},   {QStringLiteral("Aring"), QChar(0x00C5)},
        {QStringLiteral("AElig"), QChar(0x00C6)},  {QStringLiteral("Ccedil"), QChar(0x00C7)},
        {QStringLiteral("Egrave"), QChar(0x00C8)}, {QStringLiteral("Eacute"), QChar(0x00C9)},
        {QStringLiteral("Ecirc"), QChar(0x00CA)},  {QStringLiteral("Euml"), QChar(0x00CB)},
        {QStringLiteral("Igrave"), QChar(0x00CC)}, {QStringLiteral("Iacute"), QChar(0x00CD)},
        {QStringLiteral("Icirc"), QChar(0x00CE)},  {QStringLiteral("Iuml"), QChar(0x00CF)},
        {QStringLiteral("ETH"), QChar(0x00D0)},    {QStringLiteral("Ntilde"), QChar(0x00D1)},
        {QStringLiteral("Ograve"), QChar(0x00D2)}, {QStringLiteral("Oacute"), QChar(0x00D3)},
        {QStringLiteral("Ocirc"), QChar(0x00D4)},  {QStringLiteral("Otilde"), QChar(0x00D5)},
        {QStringLiteral("Ouml"), QChar(0x00D6)},   {QStringLiteral("times"), QChar(0x00D7)},
        {QStringLiteral("Oslash"), QChar(0x00D8)}, {QStringLiteral("Ugrave"), QChar(0x00D9)},
        {QStringLiteral("Uacute"), QChar(0x00DA)}, {QStringLiteral("Ucirc"), QChar(0x00DB)},
        {QStringLiteral("Uuml"), QChar(0x00DC)},   {QStringLiteral("Yacute"), QChar(0x00DD)},
        {QStringLiteral("THORN"), QChar(0x00DE)},  {QStringLiteral("szlig"), QChar(0x00DF)},
        {QStringLiteral("agrave"), QChar(0x00E0)}, {QStringLiteral("aacute"), QChar(0x00E1)},
        {QStringLiteral("acirc"), QChar(0x00E2)},  {QStringLiteral("atilde"), QChar(0x00E3)},
        {QStringLiteral("auml"), QChar(0x00E4)},   {QStringLiteral("aring"), QChar(0x00E5)},
        {QStringLiteral("aelig"), QChar(0x00E6)},  {QStringLiteral("ccedil"), QChar(0x00E7)},
        {QStringLiteral("egrave"), QChar(0x00E8)}, {QStringLiteral("eacute"), QChar(0x00E9)},
        {QStringLiteral("ecirc"), QChar(0x00EA)},  {QStringLiteral("euml"), QChar(0x00EB)},
        {QStringLiteral("igrave"), QChar(0x00EC)}, {QStringLiteral("iacute"), QChar(0x00ED)},
        {QStringLiteral("icirc"), QChar(0x00EE)},  {QStringLiteral("iuml"), QChar(0x00EF)},
        {QStringLiteral("eth"), QChar(0x00F0)},    {QStringLiteral("ntilde"), QChar(0x00F1)},
        {QStringLiteral("ograve"), QChar(0x00F2)}, {QStringLiteral("oacute"), QChar(0x00F3)},
        {QStringLiteral("ocirc"), QChar(0x00F4)},  {QStringLiteral("otilde"), QChar(0x00F5)},
        {QStringLiteral("ouml"), QChar(0x00F6)},   {QStringLiteral("divide"), QChar(0x00F7)},
        {QStringLiteral("oslash"), QChar(0x00F8)}, {QStringLiteral("ugrave"), QChar(0x00F9)},
        {QStringLiteral("uacute"), QChar(0x00FA)}, {QStringLiteral("ucirc"), QChar(0x00FB)},
        {QStringLiteral("uuml"), QChar(0x00FC)},   {QStringLiteral("yacute"), QChar(0x00FD)},
        {QStringLiteral("thorn"), QChar(0x00FE)},  {QStringLiteral("yuml"), QChar(0x00FF)},
        {QStringLiteral("hellip"), QChar(0x2026)}, {QStringLiteral("mdash"), QChar(0x2014)},
        {QStringLiteral("ndash"), QChar(0x2013)},  {QStringLiteral("lsquo"), QChar(0x2018)},
        {QStringLiteral("rsquo"), QChar(0x2019)},  {QStringLiteral("ldquo"), QChar(0x201C)},
        {QStringLiteral("rdquo"), QChar(0x201D)},  {QStringLiteral("bull"), QChar(0x2022)},
        {QStringLiteral("euro"), QChar(0x20AC)},   {QStringLiteral("trade"), QChar(0x2122)},
        {QStringLiteral("apos"), QChar(0x0027)},
    };
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) {
            out += text[i];
            continue;
        }
        // A reference is short: the ";" is looked for in the next few
        // characters only, so a text full of "&" stays linear.
        qsizetype semi = -1;
        for (qsizetype j = i + 1; j < text.size() && j - i <= 10; ++j)
            if (text[j] == QLatin1Char(';')) {
                semi = j;
                break;
            }
        if (semi < 0) {
            out += text[i];
            continue;
        }
        const QString name = text.mid(i + 1, semi - i - 1);
        bool ok = false;
        uint code = 0;
        if (name.startsWith(QLatin1String("#x")) || name.startsWith(QLatin1String("#X")))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(QLatin1Char('#')))
            code = name.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
            const char32_t c = code;
            out += QString::fromUcs4(&c, 1);
            i = semi;
        } else if (named.contains(name)) {
            out += named.value(name);
            i = semi;
        } else {
            out += text[i];
        }
    }
    return out;
}

QString escape(const QString& text)
{
    return text.toHtmlEscaped();
}

} // namespace HtmlText
