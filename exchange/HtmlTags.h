#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <initializer_list>
#include <optional>

// Reading tags out of HTML as browsers write it (bookmark files, web pages):
// tag names in any case, attributes in any order, quoted either way or not.
// Every function is linear in what it reads.
namespace HtmlTags {

// Whether the text at `at` is the lower-case tag name word, in any case,
// followed by a blank, "/" or ">" (or the end).
bool startsWithWord(const QByteArray& s, qsizetype at, const char* word);
// The end of a tag that begins at `at` ("<"): after its ">", quotes honoured
// (a quote that no quote closes before the line's end or the next "<" is
// taken as a stray one: the tag ends at its first ">").
qsizetype tagEnd(const QByteArray& s, qsizetype at);
// The value of an attribute of the tag text (between "<" and ">"), any case,
// quoted or not; found is false when the tag has none.
QByteArray attribute(const QByteArray& tag, const char* name, bool* found);
// The same without a copy: a view into tag.
QByteArrayView attributeView(QByteArrayView tag, const char* name, bool* found);
// Text between tags as the user sees it, in stored form: entities decoded,
// tags inside it dropped, blanks and line breaks made single blanks; UTF-8
// when valid, else Windows-1252.
QByteArray text(const QByteArray& html);
// What text() gives for text without tags of ASCII or Latin letters and basic
// references, without going through Qt strings; nothing for any other text.
std::optional<QByteArray> latinText(const char* d, qsizetype n);
// A view of part of s, without a copy (s must outlive it).
QByteArray view(const QByteArray& s, qsizetype from, qsizetype to);

// Where the text of an element that begins at from ends: at its closing tag
// "</name", or at the first tag named in stops ("dt", or "/dl" for a closing
// one), so an element left open ends where the next one begins, as browsers
// read it; the end when there is neither.
qsizetype textEnd(const QByteArray& s, qsizetype from, const char* name, std::initializer_list<const char*> stops);

} // namespace HtmlTags
