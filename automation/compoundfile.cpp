#include "automation/compoundfile.h"

#include <algorithm>

namespace {

constexpr char Signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::size_t HeaderSize = 512;
constexpr std::uint32_t LastRegularSector = 0xFFFFFFFA;
constexpr std::size_t DirectoryEntrySize = 128;
constexpr std::uint8_t StreamEntry = 2;

void AppendTable(std::vector<std::uint32_t>& table, const std::string& bytes, std::size_t at,
                 std::size_t entries)
{
    for (std::size_t entry = 0; entry < entries; ++entry)
        table.push_back(Read32(bytes, at + 4 * entry));
}

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

} // namespace

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

bool HasCompoundFileSignature(const std::string& bytes)
{
    return bytes.compare(0, 8, Signature) == 0;
}

// A file cut short keeps its last sector's first bytes: they are read as far as they go.
bool CompoundFile::Sectors::Readable(std::uint32_t sector) const
{
    return size != 0 && Offset(sector) < bytes->size();
}

// A chain's bytes, at most limit of them; a chain that loops or leaves the bytes ends there.
std::string CompoundFile::Sectors::Chain(std::uint32_t first, std::size_t limit) const
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

CompoundFile::CompoundFile(const std::string& bytes)
{
    if (bytes.size() < HeaderSize || !HasCompoundFileSignature(bytes))
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
    mini_ = {
        &miniStream_, std::size_t{1} << std::min<std::uint32_t>(Read16(bytes, 0x20), 12), 0, {}};
    AppendTable(mini_.table, miniTable, 0, miniTable.size() / 4);
    for (std::size_t entry = 0; entry + DirectoryEntrySize <= directory_.size();
         entry += DirectoryEntrySize)
        if (static_cast<unsigned char>(directory_[entry + 0x42]) == StreamEntry)
            streams_.push_back({EntryName(directory_, entry), Read32(directory_, entry + 0x74),
                                Read32(directory_, entry + 0x78)});
}

std::string CompoundFile::Read(const Stream& stream, std::size_t limit) const
{
    const std::size_t wanted = std::min<std::size_t>(stream.size, limit);
    return stream.size < cutoff_ ? mini_.Chain(stream.first, wanted)
                                 : regular_.Chain(stream.first, wanted);
}

// The table's sectors are listed in the header's 109 slots, then in a chain of sectors each ending
// with the next one's number.
void CompoundFile::ReadAllocationTable(const std::string& bytes)
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
