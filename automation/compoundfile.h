#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An OLE compound file (the container of .xls workbooks and of encrypted packages) in memory:
// its sectors, its directory, and its mini stream, where streams below the cutoff live. Any input
// is safe: what is not such a file, or is damaged, has no streams, or streams cut short.

// Little-endian numbers at a place in some bytes; 0 past their end.
std::uint32_t Read16(const std::string& bytes, std::size_t at);
std::uint32_t Read32(const std::string& bytes, std::size_t at);

// Whether bytes begin as a compound file does.
bool HasCompoundFileSignature(const std::string& bytes);

class CompoundFile
{
public:
    explicit CompoundFile(const std::string& bytes);

    // Each stream of the directory with its name (ASCII; "?" for other characters).
    struct Stream
    {
        std::string name;
        std::uint32_t first;
        std::uint32_t size;
    };
    const std::vector<Stream>& streams() const { return streams_; }

    // A stream's first bytes, at most limit of them.
    std::string Read(const Stream& stream, std::size_t limit) const;

private:
    // Sectors of one size in some bytes, chained by an allocation table: the file's own (after
    // its header), or the mini stream's small ones.
    struct Sectors
    {
        const std::string* bytes = nullptr;
        std::size_t size = 0;
        std::size_t skipped = 0; // sectors before sector 0: the header
        std::vector<std::uint32_t> table;

        std::size_t Offset(std::uint32_t sector) const { return (sector + skipped) * size; }
        bool Readable(std::uint32_t sector) const;
        std::string Chain(std::uint32_t first, std::size_t limit) const;
    };

    void ReadAllocationTable(const std::string& bytes);

    Sectors regular_;
    Sectors mini_;
    std::string directory_;
    std::string miniStream_;
    std::uint32_t cutoff_ = 0;
    std::vector<Stream> streams_;
};
