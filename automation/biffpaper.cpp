#include "automation/biffpaper.h"

#include "automation/compoundfile.h"

#include <QFile>

#include <algorithm>
#include <vector>

namespace {

constexpr qint64 FileBytesRead = 64 * 1024 * 1024;
constexpr std::uint32_t BeginningOfFileRecord = 0x0809;
constexpr std::uint32_t EndOfFileRecord = 0x000A;
constexpr std::uint32_t BoundSheetRecord = 0x0085;
constexpr std::uint32_t SetupRecord = 0x00A1;
// SETUP's grbit.
constexpr std::uint32_t Portrait = 0x0002;
constexpr std::uint32_t NoPrinterSettings = 0x0004;
constexpr std::uint32_t NoOrientation = 0x0040;

struct BoundSheet
{
    QString name;
    std::uint32_t offset;
};

// BOUNDSHEET's name: BIFF8's 16-bit or compressed characters (a flag byte after the length),
// BIFF5's bytes, taken as Latin-1.
QString BoundSheetName(const std::string& stream, std::size_t body, std::size_t length)
{
    const std::size_t count = static_cast<unsigned char>(stream[body + 6]);
    const std::size_t flag = body + 7;
    if (length == 8 + count && flag < stream.size() && stream[flag] == 0)
        return QString::fromLatin1(stream.data() + flag + 1, static_cast<int>(count));
    if (length == 8 + 2 * count && flag < stream.size() && stream[flag] == 1) {
        QString name;
        for (std::size_t k = 0; k < count; ++k)
            name += QChar(static_cast<ushort>(Read16(stream, flag + 1 + 2 * k)));
        return name;
    }
    return QString::fromLatin1(stream.data() + flag, static_cast<int>(std::min(count, length - 7)));
}

// The records from at to the substream's end: calls each(type, body, length) until it says to
// stop. False when the stream ends first, cut short.
template <class Each> bool Records(const std::string& stream, std::size_t at, Each each)
{
    while (at + 4 <= stream.size()) {
        const std::uint32_t type = Read16(stream, at);
        const std::size_t length = Read16(stream, at + 2);
        if (at + 4 + length > stream.size())
            return false;
        if (type == EndOfFileRecord || !each(type, at + 4, length))
            return true;
        at += 4 + length;
    }
    return false;
}

StoredPaper PaperOfSetup(const std::string& stream, std::size_t body)
{
    StoredPaper paper;
    const std::uint32_t flags = Read16(stream, body + 10);
    if (flags & NoPrinterSettings)
        return paper;
    paper.size = OfficeKnowsPaperCode(static_cast<int>(Read16(stream, body)))
                     ? StoredPaper::Size::Known
                     : StoredPaper::Size::Unknown;
    if (!(flags & NoOrientation))
        paper.orientation = flags & Portrait ? StoredPaper::Orientation::Portrait
                                             : StoredPaper::Orientation::Landscape;
    return paper;
}

} // namespace

std::map<QString, StoredPaper> SheetPapersOfBiff(const std::string& stream)
{
    if (Read16(stream, 0) != BeginningOfFileRecord)
        return {};
    std::vector<BoundSheet> sheets;
    Records(stream, 0, [&](std::uint32_t type, std::size_t body, std::size_t length) {
        if (type == BoundSheetRecord && length >= 8)
            sheets.push_back({BoundSheetName(stream, body, length), Read32(stream, body)});
        return true;
    });
    std::map<QString, StoredPaper> papers;
    for (const BoundSheet& sheet : sheets) {
        if (Read16(stream, sheet.offset) != BeginningOfFileRecord)
            continue;
        StoredPaper paper;
        if (Records(stream, sheet.offset + 4 + Read16(stream, sheet.offset + 2),
                    [&](std::uint32_t type, std::size_t body, std::size_t length) {
                        if (type != SetupRecord || length < 12)
                            return true;
                        paper = PaperOfSetup(stream, body);
                        return false;
                    }))
            papers.emplace(sheet.name, paper);
    }
    return papers;
}

std::map<QString, StoredPaper> SheetPapersOfXlsFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !HasCompoundFileSignature(file.peek(8).toStdString()))
        return {};
    const std::string bytes = file.read(FileBytesRead).toStdString();
    const CompoundFile compound(bytes);
    for (const CompoundFile::Stream& stream : compound.streams())
        if (stream.name == "Workbook" || stream.name == "Book")
            return SheetPapersOfBiff(compound.Read(stream, bytes.size()));
    return {};
}
