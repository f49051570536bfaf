#include "app/wizard_chain.h"

namespace pkm {

int pageOfEntry(WizardEntry entry)
{
    switch (entry) {
    case WizardEntry::Intro:
        return 0;
    case WizardEntry::Nfo:
    case WizardEntry::Diz:
        return 1;
    case WizardEntry::Rar:
        return 2;
    case WizardEntry::Zip:
        return 3;
    case WizardEntry::None:
        break;
    }
    return -1;
}

WizardEntry nextEntry(int page, bool nfoMode, const WizardOptions& o)
{
    switch (page) {
    case 0:
        if (o.nfo)
            return WizardEntry::Nfo;
        if (o.diz)
            return WizardEntry::Diz;
        if (o.rar)
            return WizardEntry::Rar;
        if (o.zip)
            return WizardEntry::Zip;
        return WizardEntry::None;
    case 1:
        if (nfoMode && o.diz)
            return WizardEntry::Diz;
        if (o.rar)
            return WizardEntry::Rar;
        if (o.zip)
            return WizardEntry::Zip;
        return WizardEntry::None;
    case 2:
        return o.zip ? WizardEntry::Zip : WizardEntry::None;
    default:
        return WizardEntry::None;
    }
}

WizardEntry previousEntry(int page, bool nfoMode, const WizardOptions& o)
{
    switch (page) {
    case 1:
        if (nfoMode)
            return WizardEntry::Intro;
        return o.nfo ? WizardEntry::Nfo : WizardEntry::Intro;
    case 2:
        if (o.diz)
            return WizardEntry::Diz;
        if (o.nfo)
            return WizardEntry::Nfo;
        return WizardEntry::Intro;
    case 3:
        if (o.rar)
            return WizardEntry::Rar;
        if (o.diz)
            return WizardEntry::Diz;
        if (o.nfo)
            return WizardEntry::Nfo;
        return WizardEntry::Intro;
    default:
        return WizardEntry::None;
    }
}

EntryState entryState(WizardEntry entry, const WizardOptions& o)
{
    switch (entry) {
    case WizardEntry::Intro:
        return {"Intro", o.any(), false, false};
    case WizardEntry::Nfo:
        return {"NfoDiz", o.diz || o.rar || o.zip, true, true};
    case WizardEntry::Diz:
        return {"NfoDiz", o.rar || o.zip, true, true};
    case WizardEntry::Rar:
        return {"RarZip", o.zip, true, false};
    case WizardEntry::Zip:
        return {"RarZip", false, true, false};
    case WizardEntry::None:
        break;
    }
    return {"Intro", false, false, false};
}

} // namespace pkm
