#include "automation/fontreplacements.h"

namespace {

// Windows' and Office's faces without a free metric-compatible clone, by the installed faces of
// the nearest widths (the first one installed is taken). Widths are the fonts' average character
// width (OS/2 xAvgCharWidth in 2048ths of an em, as Office for Mac's fonts publish them), compared
// with the face of the same era whose clone is known: Office's ClearType faces with Calibri's 1067
// (Carlito), the older ones with Arial's 904 (Liberation Sans), Arial Narrow's 741 (Liberation
// Sans Narrow) and Times New Roman's 821 (Liberation Serif); DejaVu Sans measures 1.14 times
// Liberation Sans over Latin text, Noto Sans 1.06 times.
const struct
{
    std::vector<const char*> replacements;
    std::vector<const char*> faces;
} Replacements[] = {
    // Excel's default since 2023 (Aptos Narrow 1063, Aptos 1148, Aptos Display its heading
    // face): columns measured in Aptos Narrow are Calibri's, and sheets laid out in Carlito
    // break where Excel breaks them. Calibri Light, Office's heading face before, is missing
    // from the office's own replacements.
    {{"Carlito"}, {"Aptos", "Aptos Narrow", "Aptos Display", "Aptos Light", "Calibri Light"}},
    {{"Caladea"}, {"Aptos Serif"}},        // Aptos' serif face; Cambria's clone
    {{"Liberation Mono"}, {"Aptos Mono"}}, // monospaced
    {{"Carlito"}, {"Candara", "Corbel"}},  // 1068, 1084
    {{"Caladea"}, {"Constantia"}},         // a serif of Cambria's family of faces, 1110
    // A humanist sans about 4% wider than Tahoma (Windows' dialog base units: 7 px for Segoe UI
    // 9 pt, 6 px for Tahoma 8 pt); no OS/2 figure of it is published with the others.
    {{"Noto Sans"}, {"Segoe UI", "Segoe UI Light", "Segoe UI Semibold"}},
    // 910, 863, 878, 834.
    {{"Liberation Sans"},
     {"Tahoma", "Franklin Gothic Book", "Franklin Gothic Medium", "Gill Sans MT"}},
    {{"DejaVu Sans"}, {"Verdana", "Lucida Sans"}}, // 1041, 1003
    {{"Liberation Sans Narrow"}, {"Tw Cen MT"}},   // 817
    // Century Gothic was drawn to ITC Avant Garde's widths, whose clone URW Gothic is (995).
    {{"URW Gothic", "DejaVu Sans"}, {"Century Gothic"}},
    {{"P052", "Liberation Serif"}, {"Book Antiqua", "Palatino Linotype"}}, // Palatino's widths
    {{"C059", "Liberation Serif"}, {"Century Schoolbook", "Century"}},     // 951
    {{"URW Bookman", "DejaVu Serif"}, {"Bookman Old Style"}},              // 1008
    {{"Liberation Serif"}, {"Garamond"}},                                  // 793
    // Windows' CJK faces, by the installed face of the same kind (serif or sans) and script.
    {{"Noto Serif CJK SC"},
     {"SimSun", "宋体", "NSimSun", "新宋体", "FangSong", "仿宋", "KaiTi", "楷体", "方正书宋_GBK"}},
    {{"Noto Sans CJK SC"},
     {"SimHei", "黑体", "Microsoft YaHei", "微软雅黑", "Microsoft YaHei UI", "DengXian", "等线",
      "DengXian Light", "等线 Light"}},
    {{"Noto Serif CJK TC"}, {"PMingLiU", "新細明體", "MingLiU", "細明體"}},
    {{"Noto Sans CJK TC"}, {"Microsoft JhengHei", "微軟正黑體"}},
    {{"Noto Serif CJK JP"},
     {"MS Mincho", "ＭＳ 明朝", "MS PMincho", "ＭＳ Ｐ明朝", "Yu Mincho", "游明朝"}},
    {{"Noto Sans CJK JP"},
     {"MS Gothic", "ＭＳ ゴシック", "MS PGothic", "ＭＳ Ｐゴシック", "Meiryo", "メイリオ",
      "Yu Gothic", "游ゴシック"}},
    {{"Noto Serif CJK KR"}, {"Batang", "바탕"}},
    {{"Noto Sans CJK KR"}, {"Malgun Gothic", "맑은 고딕", "Gulim", "굴림", "Dotum", "돋움"}},
};

// The faces of Office's themes, with the clone that prints them where they are missing.
const struct
{
    const char* face;
    const char* clone;
} ThemeFaces[] = {
    {"Calibri", "Carlito"}, {"Calibri Light", "Carlito"}, {"Cambria", "Caladea"},
    {"Aptos", "Carlito"},   {"Aptos Narrow", "Carlito"},  {"Aptos Display", "Carlito"},
};

// How Excel names a theme's body and heading fonts in its font list, in its languages; some
// writers store that name in the cell.
const char* const ThemeRoles[] = {
    "Body",          "Headings", "Corps",   "En-têtes", "Titres", "Textkörper",
    "Überschriften", "Cuerpo",   "Títulos", "Corpo",    "Titoli", "正文",
    "标题",          "本文",     "見出し",  "본문",     "제목",
};

// The theme's own names of its Latin body and heading fonts, as drawings and some writers store
// them. Every theme Office has made its default names Calibri or Aptos Narrow for the body and
// Calibri Light, Aptos Display or Cambria for headings: all but Cambria print as Calibri does.
const char* const ThemeReferences[] = {"+mn-lt", "+mj-lt"};

// The face that prints a theme face: itself where installed, else its clone; empty with neither.
std::string PrintedAs(const char* face, const char* clone,
                      const std::function<bool(const std::string& family)>& installed)
{
    return installed(face) ? face : installed(clone) ? clone : "";
}

} // namespace

std::vector<FontReplacement>
FontReplacements(const std::function<bool(const std::string& family)>& installed)
{
    std::vector<FontReplacement> replacements;
    for (const auto& kind : Replacements) {
        const char* replacement = nullptr;
        for (const char* candidate : kind.replacements)
            if (!replacement && installed(candidate))
                replacement = candidate;
        if (!replacement)
            continue;
        for (const char* face : kind.faces)
            if (!installed(face))
                replacements.push_back({face, replacement});
    }
    for (const auto& theme : ThemeFaces) {
        const std::string face = PrintedAs(theme.face, theme.clone, installed);
        if (face.empty())
            continue;
        for (const char* role : ThemeRoles)
            replacements.push_back({std::string(theme.face) + " (" + role + ')', face});
    }
    if (const std::string body = PrintedAs("Calibri", "Carlito", installed); !body.empty())
        for (const char* reference : ThemeReferences)
            replacements.push_back({reference, body});
    return replacements;
}
