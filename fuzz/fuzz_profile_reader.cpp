// The profile reader on arbitrary Release.ini bytes: the wizard's and the section creator's
// views of the same file agree, a parsed file survives its own serialization, and a save puts
// the settings first.
#include "fuzz/fuzz_input.h"
#include "platform/profile_file.h"
#include "templates/template_store.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string& scratchPath()
{
    static const std::string path = [] {
        std::string p = "/tmp/pkm-fuzz-profile-XXXXXX";
        const int fd = ::mkstemp(p.data());
        if (fd >= 0)
            ::close(fd);
        return p;
    }();
    return path;
}

// A plain write: replaceFile syncs to disk, which would cost most of each run.
void writeScratch(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    PKM_FUZZ_CHECK(out.good());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string& path = scratchPath();
    writeScratch(path, bytes);

    pkm::SectionList nfo;
    pkm::SectionList diz;
    pkm::LoadSectionLists(path, nfo, diz);
    const pkm::TemplateStore store = pkm::LoadTemplateStore(path);
    PKM_FUZZ_CHECK(store.records.size() == store.labels.size());
    for (const pkm::TParam& p : nfo)
        PKM_FUZZ_CHECK(!p.Diz);
    for (const pkm::TParam& p : diz)
        PKM_FUZZ_CHECK(p.Diz);

    // Serializing and parsing again gives the same names and values.
    const pkm::ProfileFile file = pkm::ProfileFile::parse(bytes);
    const std::string once = file.serialize();
    const pkm::ProfileFile again = pkm::ProfileFile::parse(once);
    PKM_FUZZ_CHECK(again.sectionNames() == file.sectionNames());
    PKM_FUZZ_CHECK(again.serialize() == once);
    for (const std::string& name : file.listedSectionNames())
        PKM_FUZZ_CHECK(file.readString(name, "Name", "?") == again.readString(name, "Name", "?"));

    // A save puts "Main" first, where the next reader lists it whatever the file held, and
    // keeps a byte-order mark.
    const std::string saved = pkm::BuildTemplateStore(bytes, store.records, store.settings);
    const std::vector<std::string> savedNames = pkm::ProfileFile::parse(saved).sectionNames();
    PKM_FUZZ_CHECK(!savedNames.empty() && savedNames.front() == "Main");
    PKM_FUZZ_CHECK(bytes.starts_with("\xEF\xBB\xBF") == saved.starts_with("\xEF\xBB\xBF"));
    writeScratch(path, saved);
    const pkm::TemplateStore reloaded = pkm::LoadTemplateStore(path);
    (void)reloaded;
    return 0;
}
