#include "automation/officefixture.h"
#include "common/strictskips.h"

#include <QElapsedTimer>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct ManifestEntry
{
    std::string path;
    std::string officeResult; // what the office's own converter made of it
};

std::vector<ManifestEntry> ReadManifest(const std::string& corpus)
{
    std::vector<ManifestEntry> entries;
    std::ifstream manifest(corpus + "/MANIFEST.tsv");
    std::string line;
    std::getline(manifest, line);
    while (std::getline(manifest, line)) {
        std::vector<std::string> fields;
        std::istringstream columns(line);
        for (std::string field; std::getline(columns, field, '\t');)
            fields.push_back(field);
        if (fields.size() >= 8)
            entries.push_back({fields[0], fields[7]});
    }
    return entries;
}

using CorpusTest = OfficeTest;

// Every workbook of the corpus through the server, as a run in merged mode does: open, count
// the sheets, export the whole workbook, close. Nothing may hang or crash; the figures and every
// difference from the office's own converter are reported.
TEST_F(CorpusTest, EveryWorkbookOpensAndExportsOrFailsWithAReason)
{
    const std::string corpus = QUILLSHEET_CORPUS_DIR;
    if (corpus.empty())
        OPTIONAL_SKIP("no corpus");
    const std::vector<ManifestEntry> entries = ReadManifest(corpus);
    ASSERT_FALSE(entries.empty());
    Bind(std::chrono::seconds(30));
    TempFolder out;
    QElapsedTimer timer;
    timer.start();
    int opened = 0, pdfs = 0, sheets = 0;
    std::map<std::string, int> reasons;
    std::ofstream report("corpus-report.tsv");
    report << "path\toffice converter\tquillsheet\treason\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ManifestEntry& entry = entries[i];
        Forget();
        std::string result = "failed";
        if (Open(corpus + "/" + entry.path)) {
            ++opened;
            sheets += Noted(application->SheetCount()).value;
            const std::string pdf = out / (std::to_string(i) + ".pdf");
            ExportWorkbook(pdf);
            if (fs::exists(pdf)) {
                ++pdfs;
                result = "converted";
            }
            application->Close();
        }
        const std::string reason = errors.join("; ").toStdString();
        if (result != "converted") {
            EXPECT_FALSE(reason.empty()) << entry.path << " failed without a reason";
            ++reasons[reason.substr(0, reason.find(':'))];
        }
        report << entry.path << '\t' << entry.officeResult << '\t' << result << '\t' << reason
               << '\n';
        if (result != "converted" && entry.officeResult == "converted")
            std::printf("converted by the office's converter, not by us: %s: %s\n",
                        entry.path.c_str(), reason.c_str());
    }
    std::printf("%zu workbooks, %d opened (%d sheets), %d PDFs written, %.1f s\n", entries.size(),
                opened, sheets, pdfs, timer.elapsed() / 1000.0);
    for (const auto& [reason, count] : reasons)
        std::printf("%4d failed: %s\n", count, reason.c_str());
    EXPECT_GT(pdfs, static_cast<int>(entries.size()) * 8 / 10);
}

} // namespace
