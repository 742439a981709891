#include "automation/encryptedworkbook.h"

#include "automation/compoundfile.h"

#include <QFile>

namespace {

// Only the start of the workbook stream matters: FILEPASS follows its first BOF record.
constexpr std::size_t WorkbookBytesRead = 64 * 1024;
constexpr qint64 FileBytesRead = 64 * 1024 * 1024;
constexpr std::uint16_t BeginningOfFileRecord = 0x0809;
constexpr std::uint16_t FilePassRecord = 0x002F;
constexpr std::uint16_t EndOfGlobalsRecord = 0x000A;

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
    for (const CompoundFile::Stream& stream : file.streams()) {
        if (stream.name == "EncryptionInfo" || stream.name == "EncryptedPackage")
            return true;
        if ((stream.name == "Workbook" || stream.name == "Book") &&
            GlobalsHoldFilePass(file.Read(stream, WorkbookBytesRead)))
            return true;
    }
    return false;
}

bool IsEncryptedWorkbookFile(const QString& path)
{
    QFile file(path);
    // Only a compound file is read further: a zip or a text file ends here.
    if (!file.open(QIODevice::ReadOnly) || !HasCompoundFileSignature(file.peek(8).toStdString()))
        return false;
    return IsEncryptedWorkbook(file.read(FileBytesRead).toStdString());
}
