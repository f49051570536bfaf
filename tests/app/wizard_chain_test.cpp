#include "app/wizard_chain.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pkm;

namespace {

// The pages of the ticked options, in chain order, as (page, nfoMode) stops.
std::vector<WizardEntry> expectedChain(const WizardOptions& o)
{
    std::vector<WizardEntry> chain {WizardEntry::Intro};
    if (o.nfo)
        chain.push_back(WizardEntry::Nfo);
    if (o.diz)
        chain.push_back(WizardEntry::Diz);
    if (o.rar)
        chain.push_back(WizardEntry::Rar);
    if (o.zip)
        chain.push_back(WizardEntry::Zip);
    return chain;
}

WizardOptions optionsOf(int bits)
{
    return WizardOptions {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
}

} // namespace

TEST(WizardChain, NextAndPreviousWalkTheTickedPagesForAllSixteenCombinations)
{
    for (int bits = 0; bits < 16; ++bits) {
        const WizardOptions o = optionsOf(bits);
        const std::vector<WizardEntry> chain = expectedChain(o);
        SCOPED_TRACE(bits);

        // Forwards: each Next leads to the next stop; at the last stop Next goes nowhere.
        bool nfoMode = false;
        for (std::size_t i = 0; i < chain.size(); ++i) {
            const WizardEntry here = chain[i];
            if (here == WizardEntry::Nfo)
                nfoMode = true;
            if (here == WizardEntry::Diz)
                nfoMode = false;
            const WizardEntry next = nextEntry(pageOfEntry(here), nfoMode, o);
            const EntryState state = entryState(here, o);
            if (i + 1 < chain.size()) {
                EXPECT_EQ(next, chain[i + 1]);
                EXPECT_TRUE(state.nextEnabled);
            } else {
                EXPECT_EQ(next, WizardEntry::None);
                // Next enabled means a later page exists; on page 0 it only needs a tick.
                EXPECT_EQ(state.nextEnabled, here == WizardEntry::Intro && o.any());
            }
            EXPECT_EQ(state.previousEnabled, here != WizardEntry::Intro);
            EXPECT_EQ(state.previewVisible, here == WizardEntry::Nfo || here == WizardEntry::Diz);
        }

        // Backwards from each stop.
        for (std::size_t i = 1; i < chain.size(); ++i) {
            const WizardEntry here = chain[i];
            const bool mode = here == WizardEntry::Nfo;
            EXPECT_EQ(previousEntry(pageOfEntry(here), mode, o), chain[i - 1]);
        }
        EXPECT_EQ(previousEntry(0, false, o), WizardEntry::None);
    }
}

TEST(WizardChain, PicturesPerPage)
{
    const WizardOptions all {true, true, true, true};
    EXPECT_STREQ(entryState(WizardEntry::Intro, all).picture, "Intro");
    EXPECT_STREQ(entryState(WizardEntry::Nfo, all).picture, "NfoDiz");
    EXPECT_STREQ(entryState(WizardEntry::Diz, all).picture, "NfoDiz");
    EXPECT_STREQ(entryState(WizardEntry::Rar, all).picture, "RarZip");
    EXPECT_STREQ(entryState(WizardEntry::Zip, all).picture, "RarZip");
}

TEST(WizardChain, ZipPageIsAlwaysTheEnd)
{
    for (int bits = 0; bits < 16; ++bits)
        EXPECT_EQ(nextEntry(3, false, optionsOf(bits)), WizardEntry::None);
}
