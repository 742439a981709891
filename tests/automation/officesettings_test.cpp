#include "automation/officesettings.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(OfficeSettings, TheFormatLocaleComesFromTheEnvironmentAsPosixOrdersIt)
{
    const struct
    {
        const char* lcAll;
        const char* lcTime;
        const char* lcNumeric;
        const char* lang;
        const char* locale;
    } cases[] = {
        {nullptr, nullptr, nullptr, "zh_CN.UTF-8", "zh-CN"},
        {"", "", nullptr, "zh_TW.UTF-8", "zh-TW"},
        {"en_US.UTF-8", "de_DE.UTF-8", nullptr, "zh_CN.UTF-8", "en-US"},
        {nullptr, "de_DE@euro", "fr_FR.UTF-8", "zh_CN.UTF-8", "de-DE"},
        {nullptr, nullptr, "fr_FR.UTF-8", "zh_CN.UTF-8", "fr-FR"},
        {nullptr, nullptr, nullptr, "es_419.UTF-8", "es-419"},
        {nullptr, nullptr, nullptr, "fr", "fr"},
        {nullptr, nullptr, nullptr, "C.UTF-8", ""},
        {nullptr, nullptr, nullptr, "POSIX", ""},
        {nullptr, nullptr, nullptr, nullptr, ""},
        // Whatever is not a plain locale name never reaches the office's settings.
        {nullptr, nullptr, nullptr, "zh_CN\"/><item", ""},
        {nullptr, nullptr, nullptr, "ZH_cn", ""},
        {nullptr, nullptr, nullptr, "english_United States.1252", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatLocale(c.lcAll, c.lcTime, c.lcNumeric, c.lang), c.locale)
            << (c.lang ? c.lang : "(none)");
}

TEST(OfficeSettings, OnlyMissingFacesAreReplacedAndOnlyByInstalledOnes)
{
    // SimSun is installed here; of the replacements only the Chinese sans face is.
    const std::set<std::string> installed = {"SimSun", "Noto Sans CJK SC"};
    const std::vector<FontReplacement> replacements =
        FontReplacements([&](const std::string& family) { return installed.count(family) > 0; });
    std::set<std::string> replaced;
    for (const FontReplacement& pair : replacements) {
        EXPECT_EQ(pair.replacement, "Noto Sans CJK SC") << pair.face;
        replaced.insert(pair.face);
    }
    for (const char* face : {"SimHei", "黑体", "微软雅黑", "DengXian", "等线"})
        EXPECT_EQ(replaced.count(face), 1u) << face;
    EXPECT_EQ(replaced.count("SimSun"), 0u);
    EXPECT_EQ(replaced.count("宋体"), 0u);
}

TEST(OfficeSettings, TheProfileNamesTheLocaleTheChineseFormsAndTheReplacements)
{
    const std::string zh = OfficeSettingsText("zh-CN", {{"宋体", "Noto Serif CJK SC"}});
    for (const char* part :
         {"<prop oor:name=\"ooSetupLastVersion\" oor:op=\"fuse\"><value>7.4</value>",
          "<prop oor:name=\"ooSetupSystemLocale\" oor:op=\"fuse\"><value>zh-CN</value>",
          "<prop oor:name=\"DefaultLocale_CJK\" oor:op=\"fuse\"><value>zh-CN</value>",
          "<prop oor:name=\"Replacement\" oor:op=\"fuse\"><value>true</value>",
          "<prop oor:name=\"ReplaceFont\" oor:op=\"fuse\"><value>宋体</value>",
          "<prop oor:name=\"SubstituteFont\" oor:op=\"fuse\"><value>Noto Serif CJK SC</value>"})
        EXPECT_NE(zh.find(part), std::string::npos) << part;
    // Without a locale the office keeps its own; Chinese forms stay unless the user's language
    // is Japanese or Korean.
    const std::string plain = OfficeSettingsText("", {});
    EXPECT_EQ(plain.find("ooSetupSystemLocale"), std::string::npos);
    EXPECT_EQ(plain.find("Replacement"), std::string::npos);
    const struct
    {
        const char* locale;
        const char* forms;
    } cjk[] = {{"", "zh-CN"},      {"en-US", "zh-CN"}, {"zh", "zh-CN"},
               {"zh-TW", "zh-TW"}, {"ja", "ja-JP"},    {"ko-KR", "ko-KR"}};
    for (const auto& [locale, forms] : cjk)
        EXPECT_NE(
            OfficeSettingsText(locale, {})
                .find(std::string("DefaultLocale_CJK\" oor:op=\"fuse\"><value>") + forms + '<'),
            std::string::npos)
            << locale;
}

} // namespace
