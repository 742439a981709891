#include "automation/officesettings.h"

#include "automation/scriptfallback.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>

namespace {

// Whether text is all characters from first to last (ASCII, whatever the locale).
bool AllIn(const std::string& text, char first, char last)
{
    return std::all_of(text.begin(), text.end(), [=](char c) { return c >= first && c <= last; });
}

// "zh_CN.UTF-8", "de_DE@euro", "fr" as the office names them: "zh-CN", "de-DE", "fr".
std::string OfficeLocaleName(const std::string& name)
{
    const std::string plain = name.substr(0, name.find_first_of(".@"));
    const std::size_t underscore = plain.find('_');
    const std::string language = plain.substr(0, underscore);
    const std::string region =
        underscore == std::string::npos ? std::string() : plain.substr(underscore + 1);
    if (language.size() < 2 || language.size() > 3 || !AllIn(language, 'a', 'z'))
        return std::string();
    if (underscore == std::string::npos)
        return language;
    if (!((region.size() == 2 && AllIn(region, 'A', 'Z')) ||
          (region.size() == 3 && AllIn(region, '0', '9'))))
        return std::string();
    return language + '-' + region;
}

// The office's default language for Chinese, Japanese and Korean text, which picks the forms of
// the characters those scripts share: the user's own where it is one of them, else Chinese, the
// language this program speaks.
std::string CjkLocale(const std::string& locale)
{
    const std::string language = locale.substr(0, locale.find('-'));
    if (language == "ja")
        return locale == language ? "ja-JP" : locale;
    if (language == "ko")
        return locale == language ? "ko-KR" : locale;
    if (language == "zh" && locale != language)
        return locale;
    return "zh-CN";
}

std::string Setting(const std::string& path, const std::string& name, const std::string& value)
{
    return "<item oor:path=\"" + path + "\"><prop oor:name=\"" + name +
           "\" oor:op=\"fuse\"><value>" + value + "</value></prop></item>\n";
}

// Which font families this machine has, as fontconfig lists them (its aliases left out).
class InstalledFamilies
{
public:
    // A configuration of our own, not the process's, so that it goes whole with us.
    InstalledFamilies() : config(FcInitLoadConfigAndFonts()) {}
    ~InstalledFamilies()
    {
        if (config)
            FcConfigDestroy(config);
    }
    InstalledFamilies(const InstalledFamilies&) = delete;
    InstalledFamilies& operator=(const InstalledFamilies&) = delete;

    bool operator()(const std::string& family) const
    {
        if (!config)
            return false;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
        FcFontSet* fonts = FcFontList(config, pattern, objects);
        const bool installed = fonts && fonts->nfont > 0;
        if (fonts)
            FcFontSetDestroy(fonts);
        FcObjectSetDestroy(objects);
        FcPatternDestroy(pattern);
        return installed;
    }

    // The file fontconfig reads by default, the caller's FONTCONFIG_FILE included; asked of our
    // own configuration, as without one fontconfig would set up the process's for good.
    std::string ConfigurationFile() const
    {
        if (!config)
            return std::string();
        FcChar8* file = FcConfigGetFilename(config, nullptr);
        const std::string name = file ? reinterpret_cast<const char*>(file) : std::string();
        FcStrFree(file);
        return name;
    }

private:
    FcConfig* config;
};

} // namespace

std::string FormatLocale(const char* lcAll, const char* lcTime, const char* lcNumeric,
                         const char* lang)
{
    for (const char* setting : {lcAll, lcTime, lcNumeric, lang})
        if (setting && *setting)
            return OfficeLocaleName(setting);
    return std::string();
}

std::string OfficeSettingsText(const std::string& locale,
                               const std::vector<FontReplacement>& replacements)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                       "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                       "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n";
    // Marks the profile as set up for this version: the office then skips its first-start work
    // (about 3 s) and starts small.
    text += Setting("/org.openoffice.Setup/Product", "ooSetupLastVersion", "7.4");
    text += Setting("/org.openoffice.Setup/Office", "FirstStartWizardCompleted", "true");
    text += Setting("/org.openoffice.Office.Common/Misc", "UseLocking", "false");
    if (!locale.empty())
        text += Setting("/org.openoffice.Setup/L10N", "ooSetupSystemLocale", locale);
    text += Setting("/org.openoffice.Office.Linguistic/General", "DefaultLocale_CJK",
                    CjkLocale(locale));
    if (!replacements.empty())
        text += Setting("/org.openoffice.Office.Common/Font/Substitution", "Replacement", "true");
    // Always: a face that is missing would otherwise get the system's fallback first.
    int number = 0;
    for (const FontReplacement& pair : replacements) {
        text += "<item oor:path=\"/org.openoffice.Office.Common/Font/Substitution/FontPairs\">"
                "<node oor:name=\"_" +
                std::to_string(number++) + "\" oor:op=\"replace\">";
        for (const auto& [name, value] : {std::pair<const char*, std::string>{"Always", "true"},
                                          {"OnScreenOnly", "false"},
                                          {"ReplaceFont", pair.face},
                                          {"SubstituteFont", pair.replacement}})
            text += std::string("<prop oor:name=\"") + name + "\" oor:op=\"fuse\"><value>" + value +
                    "</value></prop>";
        text += "</node></item>\n";
    }
    return text + "</oor:items>\n";
}

const std::string& OfficeSettings()
{
    static const std::string settings = [] {
        const InstalledFamilies installed;
        return OfficeSettingsText(FormatLocale(std::getenv("LC_ALL"), std::getenv("LC_TIME"),
                                               std::getenv("LC_NUMERIC"), std::getenv("LANG")),
                                  FontReplacements(std::cref(installed)));
    }();
    return settings;
}

const std::string& OfficeFontConfiguration()
{
    static const std::string configuration = [] {
        const InstalledFamilies installed;
        return FontFallbackConfiguration(installed.ConfigurationFile(),
                                         ScriptFallbackFaces(std::cref(installed)));
    }();
    return configuration;
}
