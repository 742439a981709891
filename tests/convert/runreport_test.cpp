#include "convert/runreport.h"

#include "common/qtprint.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

namespace {

using Outcome = WorkbookRecord::Outcome;

WorkbookRecord Workbook(const char* path, Outcome outcome, bool opened = false)
{
    WorkbookRecord workbook;
    workbook.path = path;
    workbook.outcome = outcome;
    workbook.opened = opened;
    return workbook;
}

// A stopped per-sheet run, started at UTC+8, with a workbook of each outcome.
RunRecord StoppedRun()
{
    RunRecord run;
    run.source = "/srv/in";
    run.output = "/srv/pdf";
    run.jobs = 2;
    run.unsandboxedBecause = "无法建立沙箱：bwrap: No permissions to create new namespace";
    run.started = QDateTime({2026, 12, 9}, {6, 28, 6}, Qt::OffsetFromUTC, 8 * 3600);
    run.ended = run.started.addSecs(2);
    run.runFailures << "/srv/in/locked: 无法读取文件夹";
    run.unlisted = 1;
    run.stopped = true;
    run.removedTemporaryPdfs = 3;
    run.leftOutFolders = {{"/srv/in/shared", LeftOutFolder::Why::OutsideSource},
                          {"/srv/in/proc", LeftOutFolder::Why::VirtualFileSystem}};
    WorkbookRecord converted = Workbook("/srv/in/inventory.xlsx", Outcome::Converted, true);
    converted.pdfs = {{"Stock", "/srv/pdf/inventory(Stock).pdf"}};
    converted.skipped = {{"Notes", SkippedSheet::Why::Blank},
                         {"Old", SkippedSheet::Why::Hidden},
                         {"Comments", SkippedSheet::Why::NothingToPrint}};
    converted.seconds = 0.25;
    converted.removedPdfs = QStringList{"/srv/pdf/inventory(Gone).pdf"};
    WorkbookRecord unopened = Workbook("/srv/in/bad/password.xls", Outcome::Failed);
    unopened.failures = {{"", "无法打开", "cannot be opened"}};
    WorkbookRecord sheetFailed = Workbook("/srv/in/q1/sales.xlsx", Outcome::Failed, true);
    sheetFailed.pdfs = {{"East", "/srv/pdf/q1/sales(East).pdf"}};
    sheetFailed.failures = {{"West", "文件名太长", ""}, {"North", "磁盘已满", "0x507"}};
    run.workbooks = {converted, unopened, sheetFailed,
                     Workbook("/srv/in/zz.xlsx", Outcome::NotReached),
                     Workbook("/srv/in/old.xlsx", Outcome::UpToDate)};
    return run;
}

RunRecord MergedRunBesideTheSource()
{
    RunRecord run;
    run.source = "/srv/in";
    run.besideSource = true;
    run.mergeSheets = true;
    run.sandboxed = true;
    run.workbooks = {Workbook("/srv/in/a.xls", Outcome::Converted, true)};
    run.workbooks[0].pdfs = {{QString(), "/srv/in/a.pdf"}};
    return run;
}

QString Json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

TEST(RunReports, TheJsonReportHoldsTheWholeRecord)
{
    const QJsonObject expected = QJsonDocument::fromJson(R"({
        "settings": {"source": "/srv/in", "output": "/srv/pdf", "besideSource": false,
                     "mergeSheets": false, "jobs": 2, "sandboxed": false,
                     "unsandboxedBecause":
                         "无法建立沙箱：bwrap: No permissions to create new namespace"},
        "started": "2026-12-08T22:28:06Z", "ended": "2026-12-08T22:28:08Z", "stopped": true,
        "totals": {"workbooks": 6, "converted": 1, "failed": 3, "notConverted": 1, "upToDate": 1,
                   "opened": 2, "pdfs": 2, "failures": 4, "removedTemporaryPdfs": 3,
                   "removedPdfs": 1},
        "runFailures": ["/srv/in/locked: 无法读取文件夹"],
        "leftOutFolders": [{"path": "/srv/in/shared", "reason": "link outside source"},
                           {"path": "/srv/in/proc", "reason": "virtual file system"}],
        "workbooks": [
          {"path": "/srv/in/inventory.xlsx", "outcome": "converted", "reason": null, "seconds": 0.25,
           "pdfs": [{"sheet": "Stock", "path": "/srv/pdf/inventory(Stock).pdf", "skipped": null},
                    {"sheet": "Notes", "path": null, "skipped": "blank"},
                    {"sheet": "Old", "path": null, "skipped": "hidden"},
                    {"sheet": "Comments", "path": null, "skipped": "nothing to print"}],
           "failures": [], "removedPdfs": ["/srv/pdf/inventory(Gone).pdf"]},
          {"path": "/srv/in/bad/password.xls", "outcome": "failed", "reason": "无法打开", "seconds": 0,
           "pdfs": [],
           "failures": [{"sheet": null, "reason": "无法打开", "detail": "cannot be opened"}],
           "removedPdfs": []},
          {"path": "/srv/in/q1/sales.xlsx", "outcome": "failed", "reason": "文件名太长", "seconds": 0,
           "pdfs": [{"sheet": "East", "path": "/srv/pdf/q1/sales(East).pdf", "skipped": null}],
           "failures": [{"sheet": "West", "reason": "文件名太长", "detail": null},
                        {"sheet": "North", "reason": "磁盘已满", "detail": "0x507"}],
           "removedPdfs": []},
          {"path": "/srv/in/zz.xlsx", "outcome": "stopped", "reason": null, "seconds": 0,
           "pdfs": [], "failures": [], "removedPdfs": []},
          {"path": "/srv/in/old.xlsx", "outcome": "up to date", "reason": null, "seconds": 0,
           "pdfs": [], "failures": [], "removedPdfs": []}]})")
                                     .object();
    EXPECT_EQ(Json(JsonReport(StoppedRun())), Json(expected));

    const QJsonObject merged = JsonReport(MergedRunBesideTheSource());
    EXPECT_EQ(Json(merged["settings"].toObject()),
              R"({"besideSource":true,"jobs":1,"mergeSheets":true,"output":null,"sandboxed":true,)"
              R"("source":"/srv/in","unsandboxedBecause":null})");
    EXPECT_EQ(Json(merged["workbooks"][0]["pdfs"][0].toObject()),
              R"({"path":"/srv/in/a.pdf","sheet":null,"skipped":null})");
}

TEST(RunReports, TheTextReportNamesEveryFailureWithTheOfficesWords)
{
    const QString text = TextReport(StoppedRun());
    for (const char* part : {
             "转换后保存到该文件夹：/srv/pdf\n1个sheet对应1个pdf\n"
             "注意：转换未在沙箱中进行：无法建立沙箱：bwrap: No permissions to create new "
             "namespace\n\n"
             "成功将1个excel文件转换为2个pdf文件。\n"
             "另有1个excel文件未改动，已跳过。\n"
             "已删除1个不再生成的pdf文件。\n"
             "转换已中止：1个excel文件未转换。\n\n"
             "失败3个：\n/srv/in/locked: 无法读取文件夹\n/srv/in/bad/password.xls: 无法打开\n"
             "/srv/in/q1/sales.xlsx(West): 文件名太长\n/srv/in/q1/sales.xlsx(North): 磁盘已满\n\n"
             "未进入的文件夹：\n/srv/in/shared: 链接指向源文件夹之外\n"
             "/srv/in/proc: 虚拟文件系统，不列出\n\n各excel文件：\n",
             "\n[已转换] /srv/in/inventory.xlsx（0.25秒）\n"
             "    pdf：/srv/pdf/inventory(Stock).pdf\n"
             "    已删除不再生成的pdf：/srv/pdf/inventory(Gone).pdf\n"
             "    空白，未转换：Notes\n    隐藏，未转换：Old\n"
             "    没有可打印的内容，未转换：Comments\n",
             "    失败：无法打开\n        办公软件的原话：cannot be opened\n",
             "    失败：(West) 文件名太长\n    失败：(North) 磁盘已满\n"
             "        办公软件的原话：0x507\n",
             "\n[未转换（运行已中止）] /srv/in/zz.xlsx\n\n[未改动，已跳过] /srv/in/old.xlsx\n",
         })
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part << "\nnot in\n"
                                                            << text.toStdString();
    EXPECT_TRUE(TextReport(MergedRunBesideTheSource())
                    .contains("/srv/in\n转换后保存在原文件夹路径\n1个excel文件对应1个pdf\n"
                              "转换在沙箱中进行\n\n"));
}

} // namespace
