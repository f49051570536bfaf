#pragma once
// The one place where bytes become characters and back. Text (templates, values, names)
// goes through code page 437; paths and the archivers' output go through the file system's
// encoding (UTF-8, with bytes that are not UTF-8 kept as they are).
#include <QString>
#include <string>
#include <string_view>

namespace pkm {

QString toDisplay(const std::string& bytes);
// toDisplay(bytes) appended to `out`, without a string in between.
void appendDisplay(QString& out, std::string_view bytes);
std::string fromDisplay(const QString& text);
// What the word wrap needs of a text, faster than fromDisplay: blanks and tabs as they are,
// every other character as 'x'.
std::string blanksOf(const QString& text);

QString pathToQString(const std::string& path);
std::string pathFromQString(const QString& path);
// A line an archiver printed: the names in it read as the file list shows them.
QString outputToQString(const std::string& line);

} // namespace pkm
