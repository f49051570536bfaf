#pragma once
// The first start: Release.ini created where the program keeps it. A per-user folder starts as
// a copy of the settings an earlier installation kept beside the program, else of the example
// set, so the wizard has sections and templates to show.
#include "platform/program_paths.h"

#include <string>

namespace pkm {

// Creates paths.iniPath(), which must not exist yet. Portable: an empty file. Per-user: the
// folder is created, then the Release.ini beside the program (else the one of the example set)
// is copied with the NFO and DIZ templates it names; a template the folder already has is kept,
// and without either Release.ini the file starts empty. Release.ini is written last, so an
// interrupted start is a first start again. Throws pkm::Error "Cannot create file %s" naming
// the file that could not be written.
void CreateTemplateStore(const ProgramPaths& paths);

// What to do when CreateTemplateStore failed, for the lines after its error.
std::string StoreCreationHint(const ProgramPaths& paths);

} // namespace pkm
