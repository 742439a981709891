#include "automation/scriptfallback.h"

namespace {

// Arial's and Tahoma's Hebrew are Arial-wide, as Noto Sans Hebrew is (15.48 em against
// Liberation Sans' 15.47 em over the same Hebrew line); over an Arabic line Noto Sans Arabic
// takes 13.55 em where DejaVu Sans takes 14.55 em. Windows' other fallbacks (Leelawadee UI,
// Nirmala UI, Ebrima, Sylfaen's successors) are sans faces too.
const char* const ScriptFaces[] = {
    "Noto Sans Arabic",    "Noto Sans Hebrew",   "Noto Sans Thai",     "Noto Sans Devanagari",
    "Noto Sans Bengali",   "Noto Sans Tamil",    "Noto Sans Telugu",   "Noto Sans Kannada",
    "Noto Sans Malayalam", "Noto Sans Gujarati", "Noto Sans Gurmukhi", "Noto Sans Oriya",
    "Noto Sans Sinhala",   "Noto Sans Armenian", "Noto Sans Georgian", "Noto Sans Ethiopic",
    "Noto Sans Khmer",     "Noto Sans Lao",      "Noto Sans Myanmar",
};

// Text as XML character data.
std::string Escaped(const std::string& text)
{
    std::string escaped;
    for (const char c : text)
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    return escaped;
}

} // namespace

std::vector<std::string>
ScriptFallbackFaces(const std::function<bool(const std::string& family)>& installed)
{
    std::vector<std::string> faces;
    for (const char* face : ScriptFaces)
        if (installed(face))
            faces.push_back(face);
    return faces;
}

std::string FontFallbackConfiguration(const std::string& systemConfiguration,
                                      const std::vector<std::string>& faces)
{
    if (faces.empty())
        return std::string();
    std::string text = "<?xml version=\"1.0\"?>\n"
                       "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                       "<fontconfig>\n";
    if (!systemConfiguration.empty())
        text +=
            "  <include ignore_missing=\"yes\">" + Escaped(systemConfiguration) + "</include>\n";
    // Only the office's fallback asks with the characters it lacks (a charset, which no charset
    // of one unassigned character equals); coverage of those characters ranks above the family
    // in fontconfig's matching, so each script gets the first of these faces that has it and
    // text that none of them covers falls back as before.
    text += "  <match target=\"pattern\">\n"
            "    <test name=\"charset\" compare=\"not_eq\"><charset><int>0x10FFFD</int></charset>"
            "</test>\n"
            "    <edit name=\"family\" mode=\"prepend\" binding=\"strong\">";
    for (const std::string& face : faces)
        text += "<string>" + Escaped(face) + "</string>";
    return text + "</edit>\n  </match>\n</fontconfig>\n";
}
