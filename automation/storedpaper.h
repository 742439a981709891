#pragma once

#include "automation/partxmlreader.h"

// What a sheet of an Office Open XML workbook stores of its paper, as far as the office follows
// it.
struct StoredPaper
{
    enum class Size
    {
        None,   // no page setup: Excel prints on its printer's default paper
        Known,  // a size the office prints: a code it knows, a custom size, or no code at all,
                // which the schema and Excel (that omits it) take as Letter
        Unknown // a printer's own code: the office prints its default paper upright
    };
    enum class Orientation
    {
        Default, // the sheet's kind decides
        Portrait,
        Landscape
    };
    Size size = Size::None;
    Orientation orientation = Orientation::Default;
};

// Whether the office (7.4) has a size for this paper code of Excel's. It has none for 0 (a
// Macintosh printer's own), for 48 and 49 (Excel leaves them out), for the Japanese envelopes
// (71-74, 84-87) and for the codes from 91 on (Japanese and Chinese papers, printers' own).
bool OfficeKnowsPaperCode(int code);

// Reads the page setup of a sheet's part (xl/worksheets/sheetN.xml, xl/chartsheets/...),
// stopping at it. The page setup comes after the cells, so the whole part before it is read; one
// longer than the limit is left unread.
class StoredPaperReader final : public PartXmlReader
{
public:
    // Beyond what an office holds within its memory ceiling.
    static constexpr int MostBytes = 512 * 1024 * 1024;
    explicit StoredPaperReader(int mostBytes = MostBytes) : PartXmlReader(mostBytes) {}

    // Once Done.
    const StoredPaper& paper() const { return paper_; }

private:
    State Started(int depth, const QXmlStreamReader& xml) override;
    State Ended(int depth) override;
    State DocumentEnded() override;

    StoredPaper paper_;
};
