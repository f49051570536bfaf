#pragma once
// Which page Next and Previous lead to for the ticked options, and what each page entry
// sets up. The chain is page 0, the NFO page, the DIZ page, the Rar page, the Zip page,
// keeping only the pages of ticked options.

namespace pkm {

struct WizardOptions {
    bool nfo = false;
    bool diz = false;
    bool rar = false;
    bool zip = false;
    bool any() const { return nfo || diz || rar || zip; }
};

enum class WizardEntry {
    None,
    Intro,
    Nfo,
    Diz,
    Rar,
    Zip
};

// Notebook page index of an entry: Intro 0, Nfo and Diz 1, Rar 2, Zip 3.
int pageOfEntry(WizardEntry entry);

// The entry Next leads to from a page (nfoMode matters on page 1 only); None: nothing happens.
WizardEntry nextEntry(int page, bool nfoMode, const WizardOptions& options);
// The entry Previous leads to; None on page 0.
WizardEntry previousEntry(int page, bool nfoMode, const WizardOptions& options);

// The button states an entry sets.
struct EntryState {
    const char* picture; // "Intro", "NfoDiz", "RarZip"
    bool nextEnabled;    // also decides "Cancel" (enabled) or "Finish" (disabled)
    bool previousEnabled;
    bool previewVisible;
};
EntryState entryState(WizardEntry entry, const WizardOptions& options);

} // namespace pkm
