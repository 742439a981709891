#include "automation/encryptedworkbook.h"
#include "common/strictskips.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>

namespace {

constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::size_t SectorSize = 512;

void Put16(std::string& bytes, std::size_t at, std::uint32_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

std::string Record(std::uint16_t type, std::size_t length)
{
    std::string record(4 + length, '\0');
    Put16(record, 0, type);
    Put16(record, 2, static_cast<std::uint32_t>(length));
    return record;
}

const std::string Bof = Record(0x0809, 16);
const std::string FilePass = Record(0x002F, 6);
const std::string Eof = Record(0x000A, 0);
const std::string Font = Record(0x0031, 20);
// Enough records to fill the stream's first sector.
const std::string Fonts = [] {
    std::string fonts;
    for (int i = 0; i < 30; ++i)
        fonts += Font;
    return fonts;
}();

// A compound file of 512-byte sectors: the allocation table in sector 0, the directory (a root
// and one stream) in sector 1, the stream from sector 2 on. declaredSize, unless 0, is the size
// its entry gives; next overrides the table's entries.
using Links = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
std::string CompoundFile(const std::string& streamName, std::string stream,
                         std::uint32_t declaredSize = 0, const Links& next = {})
{
    stream.resize((stream.size() + SectorSize - 1) / SectorSize * SectorSize, '\0');
    const std::uint32_t streamSectors = static_cast<std::uint32_t>(stream.size() / SectorSize);
    std::string bytes(SectorSize * 3, '\0');
    bytes.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    Put16(bytes, 0x1A, 3);
    Put16(bytes, 0x1C, 0xFFFE);
    Put16(bytes, 0x1E, 9);
    Put16(bytes, 0x20, 6);
    Put32(bytes, 0x2C, 1);
    Put32(bytes, 0x30, 1);
    Put32(bytes, 0x38, 4096);
    Put32(bytes, 0x3C, EndOfChain);
    Put32(bytes, 0x44, EndOfChain);
    for (std::size_t slot = 0; slot < 109; ++slot)
        Put32(bytes, 0x4C + 4 * slot, slot == 0 ? 0 : 0xFFFFFFFF);
    std::string table(SectorSize, '\xFF');
    Put32(table, 0, 0xFFFFFFFD);
    Put32(table, 4, EndOfChain);
    for (std::uint32_t sector = 2; sector < 2 + streamSectors; ++sector)
        Put32(table, 4 * sector, sector + 1 < 2 + streamSectors ? sector + 1 : EndOfChain);
    for (const auto& [sector, link] : next)
        Put32(table, 4 * sector, link);
    std::string directory(SectorSize, '\0');
    const auto entry = [&](std::size_t at, const std::string& name, int type, std::uint32_t start,
                           std::uint32_t size) {
        for (std::size_t i = 0; i < name.size(); ++i)
            Put16(directory, at + 2 * i, static_cast<unsigned char>(name[i]));
        Put16(directory, at + 0x40, static_cast<std::uint32_t>(2 * (name.size() + 1)));
        directory[at + 0x42] = static_cast<char>(type);
        Put32(directory, at + 0x74, start);
        Put32(directory, at + 0x78, size);
    };
    entry(0, "Root Entry", 5, EndOfChain, 0);
    entry(128, streamName, 2, 2,
          declaredSize ? declaredSize : static_cast<std::uint32_t>(stream.size()));
    bytes.replace(SectorSize, SectorSize, table);
    bytes.replace(2 * SectorSize, SectorSize, directory);
    return bytes + stream;
}

std::string Padded(std::string stream)
{
    stream.resize(4096, '\0');
    return stream;
}

// The compound file's directory and chains are followed to the workbook's first records; what
// breaks the format (loops, sectors past the end, short files) is read as not encrypted.
TEST(EncryptedWorkbook, FoundInTheCompoundFilesStreams)
{
    const struct
    {
        const char* what;
        std::string bytes;
        bool encrypted;
    } cases[] = {
        {"xls with FILEPASS", CompoundFile("Workbook", Padded(Bof + FilePass + Font + Eof)), true},
        {"BIFF5 Book with FILEPASS", CompoundFile("Book", Padded(Bof + Font + FilePass + Eof)),
         true},
        {"xls without FILEPASS", CompoundFile("Workbook", Padded(Bof + Font + Eof)), false},
        {"FILEPASS past the globals", CompoundFile("Workbook", Padded(Bof + Eof + FilePass)),
         false},
        {"FILEPASS in the stream's second sector",
         CompoundFile("Workbook", Padded(Bof + Fonts + FilePass + Eof)), true},
        {"a stream not starting with BOF", CompoundFile("Workbook", Padded(FilePass + Eof)), false},
        {"empty records before BOF (a damaged file)",
         CompoundFile("Workbook", Padded(std::string(40, '\0') + Bof + FilePass + Eof)), true},
        {"a font before BOF", CompoundFile("Workbook", Padded(Font + Bof + FilePass + Eof)), false},
        {"encrypted xlsx", CompoundFile("EncryptionInfo", Padded("info")), true},
        {"encrypted package", CompoundFile("EncryptedPackage", Padded("package")), true},
        {"another stream", CompoundFile("WordDocument", Padded(Bof + FilePass)), false},
        {"a workbook stream below the cutoff, with no mini stream",
         CompoundFile("Workbook", Bof + FilePass + Eof, 100), false},
        {"a chain that loops on itself",
         CompoundFile("Workbook", Padded(Bof + Fonts + FilePass), 0, {{2, 2}}), false},
        {"a chain leaving the file",
         CompoundFile("Workbook", Padded(Bof + Fonts + FilePass), 0, {{2, 0x7FFFFFF0}}), false},
        {"a directory past the end",
         [] {
             std::string bytes = CompoundFile("EncryptionInfo", Padded("info"));
             Put32(bytes, 0x30, 0x00FFFFFF);
             return bytes;
         }(),
         false},
        {"a sector size that is none",
         [] {
             std::string bytes = CompoundFile("EncryptionInfo", Padded("info"));
             Put16(bytes, 0x1E, 30);
             return bytes;
         }(),
         false},
        {"a file cut short", CompoundFile("EncryptionInfo", Padded("info")).substr(0, 700), false},
        {"a header only", CompoundFile("EncryptionInfo", "info").substr(0, 512), false},
        {"a zip (plain xlsx)", std::string("PK\x03\x04") + std::string(600, '\0'), false},
        {"nothing", std::string(), false},
    };
    for (const auto& [what, bytes, encrypted] : cases)
        EXPECT_EQ(IsEncryptedWorkbook(bytes), encrypted) << what;
}

// Every password-protected workbook of the corpus is found, and no unprotected one is; the
// office's own verdict on each is in its manifest.
TEST(EncryptedWorkbook, EveryPasswordFileOfTheCorpus)
{
    const std::string corpus = QUILLSHEET_CORPUS_DIR;
    if (corpus.empty())
        OPTIONAL_SKIP("no corpus");
    std::ifstream manifest(corpus + "/MANIFEST.tsv");
    std::string line;
    std::getline(manifest, line);
    int encrypted = 0;
    while (std::getline(manifest, line)) {
        std::vector<std::string> fields;
        std::istringstream columns(line);
        for (std::string field; std::getline(columns, field, '\t');)
            fields.push_back(field);
        // The fuzzers' damaged files too: one of them is a locked workbook the office takes in
        // as text.
        if (fields.size() < 7)
            continue;
        const bool locked = fields[6].find("EncryptedPackage") != std::string::npos ||
                            fields[6].find("FILEPASS") != std::string::npos;
        encrypted += locked;
        EXPECT_EQ(IsEncryptedWorkbookFile(QString::fromStdString(corpus + "/" + fields[0])), locked)
            << fields[0] << ": " << fields[6];
    }
    EXPECT_GT(encrypted, 20);
}

} // namespace
