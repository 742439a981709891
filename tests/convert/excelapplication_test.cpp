#include "excel/excelapplication.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QVariant>

namespace {

// An automation object with QAxObject's five calls that answers every member with a new object
// of its own, as COM does, and counts those still alive.
class CountedObject : public QObject
{
    Q_OBJECT

public:
    explicit CountedObject(QObject* parent = nullptr) : QObject(parent) { ++alive; }
    ~CountedObject() override { --alive; }
    CountedObject(const CountedObject&) = delete;
    CountedObject& operator=(const CountedObject&) = delete;

    static int alive;

    bool setControl(const QString&) { return true; }
    CountedObject* querySubObject(const char*, const QVariant& = QVariant(),
                                  const QVariant& = QVariant())
    {
        return new CountedObject(this);
    }
    QVariant dynamicCall(const char*, const QVariant& = QVariant(), const QVariant& = QVariant())
    {
        return QVariant();
    }
    QVariant property(const char*) { return 1; }
    bool setProperty(const char*, const QVariant&) { return true; }

signals:
    void exception(int code, const QString& source, const QString& desc, const QString& help);
};

int CountedObject::alive = 0;

// A workbook's objects go when it closes, so that a watch that converts workbook after workbook
// holds no more than the application and its workbooks collection; none outlives the adapter.
TEST(ExcelApplicationTest, AWorkbooksObjectsAreDeletedWhenItCloses)
{
    {
        ExcelApplication<CountedObject> excel;
        ASSERT_TRUE(excel.Bind().done);
        const int bound = CountedObject::alive;
        EXPECT_EQ(bound, 2);
        for (int round = 0; round < 3; ++round) {
            ASSERT_TRUE(excel.Open(QStringLiteral("book.xlsx")).done);
            EXPECT_TRUE(excel.SheetCount().done);
            for (int sheet : {1, 2}) {
                EXPECT_TRUE(excel.Hidden(sheet).done);
                EXPECT_TRUE(excel.Blank(sheet).done);
                EXPECT_TRUE(excel.Name(sheet).done);
                excel.ExportSheet(sheet, QStringLiteral("book.pdf"));
            }
            excel.ExportWorkbook(QStringLiteral("book.pdf"));
            EXPECT_GT(CountedObject::alive, bound);
            excel.Close();
            EXPECT_EQ(CountedObject::alive, bound);
        }
        // A workbook left open goes with the application.
        excel.Open(QStringLiteral("book.xlsx"));
        excel.Hidden(1);
    }
    EXPECT_EQ(CountedObject::alive, 0);
}

} // namespace

#include "excelapplication_test.moc"
