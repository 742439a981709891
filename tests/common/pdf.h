#pragma once

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

// What a PDF holds, as poppler's pdfinfo and pdftotext tell it.

inline std::string CommandOutput(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
            output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

inline std::string Quoted(const std::string& path)
{
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline int PdfPages(const std::string& path)
{
    const std::string info = CommandOutput("pdfinfo " + Quoted(path) + " 2>/dev/null");
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

inline std::string PdfText(const std::string& path)
{
    return CommandOutput("pdftotext " + Quoted(path) + " - 2>/dev/null");
}

// Every PDF below folder, relative to it.
inline std::set<std::string> PdfsBelow(const std::filesystem::path& folder)
{
    std::set<std::string> pdfs;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.path().extension() == ".pdf")
            pdfs.insert(std::filesystem::relative(entry.path(), folder).string());
    return pdfs;
}

// The text of each page, in order.
inline std::vector<std::string> PdfPageTexts(const std::string& path)
{
    std::vector<std::string> pages;
    for (int page = 1, count = PdfPages(path); page <= count; ++page)
        pages.push_back(CommandOutput("pdftotext -f " + std::to_string(page) + " -l " +
                                      std::to_string(page) + " " + Quoted(path) +
                                      " - 2>/dev/null"));
    return pages;
}

// Each image's width, height, encoding and stored size, one line each, as pdfimages lists them.
inline std::string PdfImages(const std::string& path)
{
    return CommandOutput("pdfimages -list " + Quoted(path) +
                         " 2>/dev/null | tail -n +3 | awk '{print $4, $5, $9, $15}'");
}
