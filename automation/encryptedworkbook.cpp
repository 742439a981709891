#include "automation/encryptedworkbook.h"

#include <QFile>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr char Signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::size_t HeaderSize = 512;
constexpr std::uint32_t LastRegularSector = 0xFFFFFFFA;
constexpr std::size_t DirectoryEntrySize = 128;
// Only the start of the workbook stream matters: FILEPASS follows its first BOF record.
constexpr std::size_t WorkbookBytesRead = 64 * 1024;
constexpr qint64 FileBytesRead = 64 * 1024 * 1024;
constexpr std::uint8_t StreamEntry = 2;
constexpr std::uint16_t BeginningOfFileRecord = 0x0809;
constexpr std::uint16_t FilePassRecord = 0x002F;
constexpr std::uint16_t EndOfGlobalsRecord = 0x000A;

std::uint32_t Read16(const std::string& bytes, std::size_t at)
{
    if (at > bytes.size() || bytes.size() - at < 2)
        return 0;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return b[0] | (b[1] << 8);
}

std::uint32_t Read32(const std::string& bytes, std::size_t at)
{
    return Read16(bytes, at) | (Read16(bytes, at + 2) << 16);
}

// Sectors of one size in some bytes, chained by an allocation table: the file's own (after its
// header), or the mini stream's small ones.
struct Sectors
{
    const std::string* bytes = nullptr;
    std::size_t size = 0;
    std::size_t skipped = 0; // sectors before sector 0: the header
    std::vector<std::uint32_t> table;

    std::size_t Offset(std::uint32_t sector) const { return (sector + skipped) * size; }

    // A file cut short keeps its last sector's first bytes: they are read as far as they go.
    bool Readable(std::uint32_t sector) const
    {
        return size != 0 && Offset(sector) < bytes->size();
    }

    // A chain's bytes, at most limit of them; a chain that loops or leaves the bytes ends there.
    std::string Chain(std::uint32_t first, std::size_t limit) const
    {
        std::string data;
        std::size_t steps = 0;
        for (std::uint32_t sector = first; sector <= LastRegularSector && data.size() < limit &&
                                           steps <= table.size() && Readable(sector);
             ++steps) {
            data.append(*bytes, Offset(sector), std::min(size, bytes->size() - Offset(sector)));
            sector = sector < table.size() ? table[sector] : LastRegularSector + 1;
        }
        data.resize(std::min(data.size(), limit));
        return data;
    }
};

void AppendTable(std::vector<std::uint32_t>& table, const std::string& bytes, std::size_t at,
                 std::size_t entries)
{
    for (std::size_t entry = 0; entry < entries; ++entry)
        table.push_back(Read32(bytes, at + 4 * entry));
}

// A compound file in memory: its sectors, its directory, and its mini stream, where streams
// below the cutoff live.
class CompoundFile
{
public:
    explicit CompoundFile(const std::string& bytes)
    {
        if (bytes.size() < HeaderSize || bytes.compare(0, 8, Signature) != 0)
            return;
        const std::uint32_t shift = Read16(bytes, 0x1E);
        if (shift != 9 && shift != 12)
            return;
        regular_ = {&bytes, std::size_t{1} << shift, 1, {}};
        ReadAllocationTable(bytes);
        directory_ = regular_.Chain(Read32(bytes, 0x30), bytes.size());
        cutoff_ = Read32(bytes, 0x38);
        // The mini stream is the root entry's, the first of the directory.
        miniStream_ = regular_.Chain(Read32(directory_, 0x74), bytes.size());
        const std::string miniTable = regular_.Chain(Read32(bytes, 0x3C), bytes.size());
        mini_ = {&miniStream_,
                 std::size_t{1} << std::min<std::uint32_t>(Read16(bytes, 0x20), 12),
                 0,
                 {}};
        AppendTable(mini_.table, miniTable, 0, miniTable.size() / 4);
    }

    const std::string& directory() const { return directory_; }

    // A stream's first bytes, at most limit of them.
    std::string Stream(std::uint32_t first, std::uint32_t size, std::size_t limit) const
    {
        const std::size_t wanted = std::min<std::size_t>(size, limit);
        return size < cutoff_ ? mini_.Chain(first, wanted) : regular_.Chain(first, wanted);
    }

private:
    // The table's sectors are listed in the header's 109 slots, then in a chain of sectors each
    // ending with the next one's number.
    void ReadAllocationTable(const std::string& bytes)
    {
        std::vector<std::uint32_t> tableSectors;
        const std::size_t maxSectors = bytes.size() / regular_.size;
        AppendTable(tableSectors, bytes, 0x4C, 109);
        const std::size_t perSector = regular_.size / 4 - 1;
        std::uint32_t next = Read32(bytes, 0x44);
        for (std::size_t steps = 0;
             next <= LastRegularSector && regular_.Readable(next) && steps < maxSectors; ++steps) {
            AppendTable(tableSectors, bytes, regular_.Offset(next), perSector);
            next = Read32(bytes, regular_.Offset(next) + 4 * perSector);
        }
        for (const std::uint32_t sector : tableSectors)
            if (sector <= LastRegularSector && regular_.Readable(sector) &&
                regular_.table.size() < maxSectors)
                AppendTable(regular_.table, bytes, regular_.Offset(sector), regular_.size / 4);
    }

    Sectors regular_;
    Sectors mini_;
    std::string directory_;
    std::string miniStream_;
    std::uint32_t cutoff_ = 0;
};

std::string EntryName(const std::string& directory, std::size_t entry)
{
    const std::size_t length = std::min<std::size_t>(Read16(directory, entry + 0x40), 64);
    std::string name;
    for (std::size_t at = 0; at + 1 < length; at += 2) {
        const std::uint32_t c = Read16(directory, entry + at);
        if (c == 0)
            break;
        name.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return name;
}

// Whether a BIFF workbook stream's globals, from its first record to their end, hold FILEPASS.
bool GlobalsHoldFilePass(const std::string& stream)
{
    // The globals begin at the first BOF record; empty records before it (a damaged file's
    // padding) are passed over.
    std::size_t at = 0;
    while (at + 4 <= stream.size() && Read16(stream, at) == 0)
        at += 4 + Read16(stream, at + 2);
    if (Read16(stream, at) != BeginningOfFileRecord)
        return false;
    while (at + 4 <= stream.size()) {
        const std::uint32_t type = Read16(stream, at);
        if (type == FilePassRecord)
            return true;
        if (type == EndOfGlobalsRecord)
            return false;
        at += 4 + Read16(stream, at + 2);
    }
    return false;
}

} // namespace

bool IsEncryptedWorkbook(const std::string& bytes)
{
    const CompoundFile file(bytes);
    const std::string& directory = file.directory();
    for (std::size_t entry = 0; entry + DirectoryEntrySize <= directory.size();
         entry += DirectoryEntrySize) {
        if (static_cast<unsigned char>(directory[entry + 0x42]) != StreamEntry)
            continue;
        const std::string name = EntryName(directory, entry);
        if (name == "EncryptionInfo" || name == "EncryptedPackage")
            return true;
        if ((name == "Workbook" || name == "Book") &&
            GlobalsHoldFilePass(file.Stream(Read32(directory, entry + 0x74),
                                            Read32(directory, entry + 0x78), WorkbookBytesRead)))
            return true;
    }
    return false;
}

bool IsEncryptedWorkbookFile(const QString& path)
{
    QFile file(path);
    // Only a compound file is read further: a zip or a text file ends here.
    if (!file.open(QIODevice::ReadOnly) || file.peek(8) != QByteArray(Signature, 8))
        return false;
    return IsEncryptedWorkbook(file.read(FileBytesRead).toStdString());
}
