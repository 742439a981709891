#include "automation/scriptfallback.h"

#include "common/pdf.h"
#include "common/tempfolder.h"

#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <fstream>
#include <set>

namespace {

TEST(ScriptFallback, OnlyInstalledFacesAreListedInTheirOrder)
{
    const std::set<std::string> families = {"Noto Sans Thai", "Noto Sans Arabic"};
    EXPECT_EQ(ScriptFallbackFaces([&](const std::string& f) { return families.count(f) > 0; }),
              (std::vector<std::string>{"Noto Sans Arabic", "Noto Sans Thai"}));
    EXPECT_EQ(FontFallbackConfiguration("/etc/fonts/fonts.conf", {}), "");
}

// What fontconfig, reading the configuration made for this machine's faces, gives for a pattern
// as the office asks it ("family:lang=…:charset=…").
class ScriptFallbackMatch : public ::testing::Test
{
protected:
    TempFolder folder;
    std::string file = folder / "fonts.conf";

    void SetUp() override
    {
        // Asked of a configuration of our own: without one, fontconfig sets up the process's
        // for good.
        FcConfig* config = FcConfigCreate();
        FcChar8* system = FcConfigGetFilename(config, nullptr);
        std::ofstream(file) << FontFallbackConfiguration(
            reinterpret_cast<const char*>(system),
            {"Noto Sans Arabic", "Noto Sans Hebrew", "Noto Sans Thai"});
        FcStrFree(system);
        FcConfigDestroy(config);
    }

    std::string Matched(const std::string& pattern, bool ours = true) const
    {
        return CommandOutput((ours ? "FONTCONFIG_FILE=" + Quoted(file) + " " : std::string()) +
                             "fc-match -f '%{family[0]}' " + Quoted(pattern) + " 2>&1");
    }
};

TEST_F(ScriptFallbackMatch, ScriptsFallBackToNotoFacesAndEverythingElseAsBefore)
{
    // The office's fallback for Arabic and Hebrew a face lacks, with the language it guesses
    // wrong (Hindi, its default for complex scripts).
    EXPECT_EQ(Matched("Liberation Sans:lang=hi:charset=627 644"), "Noto Sans Arabic");
    EXPECT_EQ(Matched("Carlito:lang=hi:charset=5d0 5e9"), "Noto Sans Hebrew");
    // Faces asked for by name, and characters none of the faces has, as without it.
    for (const char* pattern : {"Carlito", "Segoe UI", "Liberation Serif:lang=ar",
                                "Carlito:charset=2713", "Carlito:lang=zh-cn:charset=4e2d"})
        EXPECT_EQ(Matched(pattern), Matched(pattern, false)) << pattern;
}

} // namespace
