// Writes to standard output the NFO or DIZ file the core generator makes from the Release.ini
// and template of a folder (beside the program, or the per-user folder), with some section
// values replaced as a user types them in the wizard. The end-to-end test compares the
// program's output with it.
//
//   pkm_expected_info <folder of Release.ini> nfo|diz [Name=Value ...]
#include "platform/file_io.h"
#include "platform/paths.h"
#include "templates/generator.h"
#include "templates/template_store.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3 || (std::string(argv[2]) != "nfo" && std::string(argv[2]) != "diz")) {
        std::cerr << "usage: pkm_expected_info <folder of Release.ini> nfo|diz [Name=Value ...]\n";
        return 2;
    }
    const std::string dataDir = pkm::withTrailingSeparator(argv[1]);
    const bool nfo = std::string(argv[2]) == "nfo";
    const std::string ini = dataDir + "Release.ini";

    pkm::SectionList nfoSections;
    pkm::SectionList dizSections;
    pkm::LoadSectionLists(ini, nfoSections, dizSections);
    pkm::SectionList& sections = nfo ? nfoSections : dizSections;

    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::size_t eq = arg.find('=');
        if (eq == std::string::npos) {
            std::cerr << "not Name=Value: " << arg << "\n";
            return 2;
        }
        bool found = false;
        for (pkm::TParam& section : sections) {
            if (section.Name == arg.substr(0, eq)) {
                section.Value = arg.substr(eq + 1);
                found = true;
            }
        }
        if (!found) {
            std::cerr << "no section named " << arg.substr(0, eq) << "\n";
            return 2;
        }
    }

    const pkm::TemplateSettings settings = pkm::ReadTemplateSettings(ini);
    const std::string templatePath = pkm::TemplatePath(dataDir, nfo ? settings.NfoClone : settings.DizClone);
    const auto bytes = pkm::readFileBytes(templatePath);
    if (!bytes) {
        std::cerr << "cannot read " << templatePath << "\n";
        return 1;
    }
    const pkm::GenerateResult result = pkm::GenerateLines(*bytes, sections);
    if (!result.ok()) {
        std::cerr << result.errorMessage() << "\n";
        return 1;
    }
    std::fwrite(result.bytes.data(), 1, result.bytes.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
