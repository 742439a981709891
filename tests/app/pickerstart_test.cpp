#include "app/pickerstart.h"

#include "common/tempfolder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The picker opens where the field points, or as near to it as still exists, never in whatever
// folder the program was started from.
TEST(PickerStartFolder, OpensAtTheFieldsFolderOrItsNearestExistingParent)
{
    TempFolder folder;
    const QString root = QString::fromStdString(folder.path().string());
    fs::create_directories(folder.path() / "报表/2024");
    std::ofstream(folder.path() / "报表/a file");
    const struct
    {
        QString field;
        QString opensAt;
    } cases[] = {
        {root + "/报表/2024", root + "/报表/2024"},
        {root + "/报表/2024/", root + "/报表/2024"},
        {root + "/报表/gone/deeper/", root + "/报表"},
        {root + "/报表/a file", root + "/报表"},
        {root + "/报表/a file/below", root + "/报表"},
        {"", QDir::homePath()},
        {"   ", QDir::homePath()},
        {"/no such folder/at all", "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PickerStartFolder(c.field).toStdString(), c.opensAt.toStdString())
            << "field: " << c.field.toStdString();
}

} // namespace
