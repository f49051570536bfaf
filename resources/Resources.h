#pragma once
// Built-in resources, looked up by name without regard to case.
#include <QByteArray>
#include <QIcon>
#include <QPixmap>

namespace pkm {

// The page picture "Intro", "NfoDiz" or "RarZip"; a null pixmap for an unknown name.
QPixmap loadBitmapResource(const QString& name);
// Tile 0..20 of the section tree's image list.
QPixmap tileImage(int index);
// Button glyphs: "preferences", "folder", "more", "zip_add", "zip_delete", "file_add",
// "file_delete", "section_add", "section_delete", "helper", "pencil".
QIcon glyphIcon(const QString& name);
QIcon applicationIcon();
// The resource "WAVE1" of type "WAVE": a RIFF/WAVE file; empty when missing.
QByteArray waveResource(const QString& name);
// Resource data are linked into a static library: make sure they are registered.
void initResources();

} // namespace pkm
