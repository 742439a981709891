#pragma once

#include "convert/runrecord.h"
#include "convert/shard.h"
#include "support/exclusivefilelock.h"

#include <QHash>
#include <QList>
#include <QString>

// A file's size and modification time, the two things that tell a change without reading it.
struct FileVersion
{
    qint64 size = -1;    // -1: no such file
    qint64 modified = 0; // milliseconds since the epoch

    static FileVersion Of(const QString& path);
    bool operator==(const FileVersion& other) const
    {
        return size == other.size && modified == other.modified;
    }
    bool operator!=(const FileVersion& other) const { return !(*this == other); }
};

// What the last conversions of one kind of run wrote (one source folder, one output folder or
// "beside", per sheet or merged, PDF/A or not, one share of the tree), so that an update run
// leaves out each workbook that is unchanged since then and whose PDFs are all still there,
// unchanged. Kept in the user's cache folder, never in the user's folders; a missing or damaged
// file is an empty state.
class UpdateState
{
public:
    UpdateState(const QString& source, const QString& output, bool mergeSheets, bool pdfA,
                const Shard& shard = Shard());

    const QString& FilePath() const { return filePath; }
    // Holds the state for this object's life, so that runs of the same kind take turns with it
    // instead of losing each other's conversions: call before Load(). When another run holds it,
    // tells waiting() and waits. False, with the reason, when the state's folder is there but the
    // lock cannot be had; without the folder the state cannot be kept at all, and Save() says so.
    bool Lock(const std::function<void()>& waiting, QString& error);
    void Load();
    // True when the workbook, as it is now (version), is the one last converted and every PDF
    // of that conversion is still there as it was written.
    bool UpToDate(const QString& workbook, const FileVersion& version) const;
    // Removes each PDF that the last conversion of a workbook the run converted made and the
    // run did not write, where it is still as that conversion left it, naming it in the
    // workbook's removedPdfs; one that cannot be removed is a run failure. Nothing else is
    // touched: not a PDF changed since, not the PDFs of workbooks gone from the tree. Before
    // Update().
    void RemoveOutdatedPdfs(RunRecord& record) const;
    // Takes in what a run converted: each converted workbook at the version it had when the run
    // was planned (planned), with its PDFs as they are now. A failed workbook is forgotten, so
    // that the next run tries it again; workbooks that are gone are dropped.
    void Update(const RunRecord& record, const QHash<QString, FileVersion>& planned);
    // Writes the state atomically; false with error when it cannot.
    bool Save(QString& error) const;

private:
    struct Pdf
    {
        QString path;
        FileVersion version;
    };
    struct Conversion
    {
        FileVersion workbook;
        QList<Pdf> pdfs;
    };
    QString filePath;
    QHash<QString, Conversion> conversions; // by workbook path
    ExclusiveFileLock lock;
};
