#pragma once
// The one place where bytes become characters and back. Text (templates, values, names)
// goes through code page 437; paths go through the file system's own encoding.
#include <QString>
#include <string>

QString toDisplay(const std::string& bytes);
std::string fromDisplay(const QString& text);

QString pathToQString(const std::string& path);
std::string pathFromQString(const QString& path);

// The program's directory with its trailing separator: Release.ini, the templates, the stub
// and the archivers are looked up there.
std::string programDirectory();
// Tests run the windows against a directory of their own; empty restores the real one.
void setProgramDirectory(const std::string& dir);
