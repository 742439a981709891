#include "automation/officesettings.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

// Windows' CJK faces that workbooks name, by the installed face of the same kind (serif or sans)
// and script that prints them best.
const struct
{
    const char* replacement;
    std::vector<const char*> faces;
} Replacements[] = {
    {"Noto Serif CJK SC",
     {"SimSun", "宋体", "NSimSun", "新宋体", "FangSong", "仿宋", "KaiTi", "楷体", "方正书宋_GBK"}},
    {"Noto Sans CJK SC",
     {"SimHei", "黑体", "Microsoft YaHei", "微软雅黑", "Microsoft YaHei UI", "DengXian", "等线",
      "DengXian Light", "等线 Light"}},
    {"Noto Serif CJK TC", {"PMingLiU", "新細明體", "MingLiU", "細明體"}},
    {"Noto Sans CJK TC", {"Microsoft JhengHei", "微軟正黑體"}},
    {"Noto Serif CJK JP",
     {"MS Mincho", "ＭＳ 明朝", "MS PMincho", "ＭＳ Ｐ明朝", "Yu Mincho", "游明朝"}},
    {"Noto Sans CJK JP",
     {"MS Gothic", "ＭＳ ゴシック", "MS PGothic", "ＭＳ Ｐゴシック", "Meiryo", "メイリオ",
      "Yu Gothic", "游ゴシック"}},
    {"Noto Serif CJK KR", {"Batang", "바탕"}},
    {"Noto Sans CJK KR", {"Malgun Gothic", "맑은 고딕", "Gulim", "굴림", "Dotum", "돋움"}},
};

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

std::vector<FontReplacement>
FontReplacements(const std::function<bool(const std::string& family)>& installed)
{
    std::vector<FontReplacement> replacements;
    for (const auto& kind : Replacements) {
        if (!installed(kind.replacement))
            continue;
        for (const char* face : kind.faces)
            if (!installed(face))
                replacements.push_back({face, kind.replacement});
    }
    return replacements;
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
