#pragma once

#include <string>
#include <vector>

// The office's own temporary files ("lu*.tmp") in a folder that an export writes into. The office
// writes a PDF through one there and removes it when done, but one killed during the export (a
// limit, a forced stop, a crash) leaves it behind. Nothing in such a file tells whose it is, so
// only those made since this note was taken are ever removed.
class OfficeTemporaryFiles
{
public:
    // Notes the ones already there.
    explicit OfficeTemporaryFiles(const std::string& folder);

    // Removes those made since the note, once no process holds them open (another office may be
    // writing into the same folder).
    void RemoveNew() const;

private:
    std::string folder_;
    std::vector<std::string> before_;
};
