<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Cli</name>
    <message>
        <source>提取文件夹不存在!</source>
        <translation>The source folder does not exist!</translation>
    </message>
    <message>
        <source>保存文件夹是一个文件，不是文件夹：</source>
        <translation>The output folder is a file, not a folder: </translation>
    </message>
    <message>
        <source>无法保存更新状态：%1：%2</source>
        <translation>Cannot save the update state: %1: %2</translation>
    </message>
    <message>
        <source>报告无法写出：%1：%2</source>
        <translation>Cannot write the report: %1: %2</translation>
    </message>
    <message>
        <source>标准输出</source>
        <translation>standard output</translation>
    </message>
    <message>
        <source>全部失败：</source>
        <translation>All failures:</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>另一个运行正在使用同一更新状态，等它结束后再开始：%1</source>
        <translation>Another run is using the same update state; waiting for it to end: %1</translation>
    </message>
    <message>
        <source>更新状态无法锁定，同时进行的运行可能丢失它的记录：%1：%2</source>
        <translation>The update state cannot be locked, so a run at the same time may lose its record: %1: %2</translation>
    </message>
    <message>
        <source>没有沙箱，不转换（--require-sandbox）：%1</source>
        <translation>No sandbox, so nothing converted (--require-sandbox): %1</translation>
    </message>
    <message>
        <source>无法创建保存文件夹：%1：%2</source>
        <translation>Cannot create the output folder: %1: %2</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Converts every .xls, .xlsx and .xlsm below SOURCE to PDF: one PDF per non-blank
worksheet (or per workbook), below OUTPUT in the same sub-folders (OUTPUT is created when
missing), or beside each workbook. Exit code 0: everything converted; 1: something
failed; 2: bad arguments; 128 + the signal&apos;s number: stopped by SIGINT, SIGTERM or
SIGHUP.</source>
        <translation>Converts every .xls, .xlsx and .xlsm below SOURCE to PDF: one PDF per non-blank
worksheet (or per workbook), below OUTPUT in the same sub-folders (OUTPUT is created when
missing), or beside each workbook. Exit code 0: everything converted; 1: something
failed; 2: bad arguments; 128 + the signal&apos;s number: stopped by SIGINT, SIGTERM or
SIGHUP.</translation>
    </message>
    <message>
        <source>One PDF per workbook instead of per sheet.</source>
        <translation>One PDF per workbook instead of per sheet.</translation>
    </message>
    <message>
        <source>Put each PDF beside its workbook.</source>
        <translation>Put each PDF beside its workbook.</translation>
    </message>
    <message>
        <source>Seconds that one call to the spreadsheet application may take, from 1 to 86400 (120).</source>
        <translation>Seconds that one call to the spreadsheet application may take, from 1 to 86400 (120).</translation>
    </message>
    <message>
        <source>Write a JSON report of the run to FILE (&quot;-&quot;: to standard output, instead of the status texts).</source>
        <translation>Write a JSON report of the run to FILE (&quot;-&quot;: to standard output, instead of the status texts).</translation>
    </message>
    <message>
        <source>Convert only share K of N of the workbooks, so that N machines can share one tree; same-base-name workbooks of a folder stay in one share.</source>
        <translation>Convert only share K of N of the workbooks, so that N machines can share one tree; same-base-name workbooks of a folder stay in one share.</translation>
    </message>
    <message>
        <source>Leave out each workbook that is unchanged since its last conversion into the same place, as long as every PDF of that conversion is still there, unchanged.</source>
        <translation>Leave out each workbook that is unchanged since its last conversion into the same place, as long as every PDF of that conversion is still there, unchanged.</translation>
    </message>
    <message>
        <source>Write archival PDF (PDF/A-2b, every font embedded).</source>
        <translation>Write archival PDF (PDF/A-2b, every font embedded).</translation>
    </message>
    <message>
        <source>After a first run as with --update, keep watching SOURCE with one spreadsheet application and convert each workbook that appears or changes, 0.3 seconds after it is closed or moved in (2 seconds after its last change where SOURCE is listed), until a stop signal.</source>
        <translation>After a first run as with --update, keep watching SOURCE with one spreadsheet application and convert each workbook that appears or changes, 0.3 seconds after it is closed or moved in (2 seconds after its last change where SOURCE is listed), until a stop signal.</translation>
    </message>
    <message>
        <source>Seconds that one workbook&apos;s whole conversion may take, from 1 to 86400 (10 times --timeout); past them its application is stopped and the workbook fails.</source>
        <translation>Seconds that one workbook&apos;s whole conversion may take, from 1 to 86400 (10 times --timeout); past them its application is stopped and the workbook fails.</translation>
    </message>
    <message>
        <source>Memory that one spreadsheet application may take for a workbook, from 0.1 to 1024 GB (the machine&apos;s memory shared among the applications and one more, at most 4); past it the application is stopped and the workbook fails.</source>
        <translation>Memory that one spreadsheet application may take for a workbook, from 0.1 to 1024 GB (the machine&apos;s memory shared among the applications and one more, at most 4); past it the application is stopped and the workbook fails.</translation>
    </message>
    <message>
        <source>Run the spreadsheet applications without their sandbox, which keeps them from the network and from files outside SOURCE and OUTPUT.</source>
        <translation>Run the spreadsheet applications without their sandbox, which keeps them from the network and from files outside SOURCE and OUTPUT.</translation>
    </message>
    <message>
        <source>The folder that holds the workbooks.</source>
        <translation>The folder that holds the workbooks.</translation>
    </message>
    <message>
        <source>The folder for the PDFs (not with --beside-source).</source>
        <translation>The folder for the PDFs (not with --beside-source).</translation>
    </message>
    <message>
        <source>usage: quillsheet-cli [OPTIONS] SOURCE OUTPUT, or --beside-source SOURCE; see --help</source>
        <translation>usage: quillsheet-cli [OPTIONS] SOURCE OUTPUT, or --beside-source SOURCE; see --help</translation>
    </message>
    <message>
        <source>--timeout takes a number of seconds from 1 to 86400 (e.g. 30 or 2.5), not &quot;%1&quot;</source>
        <translation>--timeout takes a number of seconds from 1 to 86400 (e.g. 30 or 2.5), not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--workbook-timeout takes a number of seconds from 1 to 86400 (e.g. 600), not &quot;%1&quot;</source>
        <translation>--workbook-timeout takes a number of seconds from 1 to 86400 (e.g. 600), not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--max-memory takes a number of GB from %1 to %2 (e.g. 2 or 1.5), not &quot;%3&quot;</source>
        <translation>--max-memory takes a number of GB from %1 to %2 (e.g. 2 or 1.5), not &quot;%3&quot;</translation>
    </message>
    <message>
        <source>--jobs takes a whole number from 1 to %1, not &quot;%2&quot;</source>
        <translation>--jobs takes a whole number from 1 to %1, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>--watch keeps one spreadsheet application; it does not take --jobs</source>
        <translation>--watch keeps one spreadsheet application; it does not take --jobs</translation>
    </message>
    <message>
        <source>--pdfa: Excel cannot write PDF/A when driven through automation; nothing was converted</source>
        <translation>--pdfa: Excel cannot write PDF/A when driven through automation; nothing was converted</translation>
    </message>
    <message>
        <source>--shard takes K/N with 1 &lt;= K &lt;= N, e.g. 2/3, not &quot;%1&quot;</source>
        <translation>--shard takes K/N with 1 &lt;= K &lt;= N, e.g. 2/3, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Spreadsheet applications working at once, from 1 to %1 (here %2: the CPUs this process may use, by its affinity and CPU quota, at most %3).</source>
        <translation>Spreadsheet applications working at once, from 1 to %1 (here %2: the CPUs this process may use, by its affinity and CPU quota, at most %3).</translation>
    </message>
    <message>
        <source>Print only the summaries (with --watch, each batch&apos;s) and the failures, not the line of each workbook.</source>
        <translation>Print only the summaries (with --watch, each batch&apos;s) and the failures, not the line of each workbook.</translation>
    </message>
    <message>
        <source>Seconds that a stop signal waits for the workbooks in work, from 0 to %1 (%2); then their spreadsheet applications are stopped and they count as not converted.</source>
        <translation>Seconds that a stop signal waits for the workbooks in work, from 0 to %1 (%2); then their spreadsheet applications are stopped and they count as not converted.</translation>
    </message>
    <message>
        <source>--stop-grace takes a number of seconds from 0 to %1 (e.g. 5 or 0.5), not &quot;%2&quot;</source>
        <translation>--stop-grace takes a number of seconds from 0 to %1 (e.g. 5 or 0.5), not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>Also convert the workbooks in folders that links below SOURCE lead to outside it (left out by default); the spreadsheet applications may read those folders. With --beside-source, those workbooks fail: no PDF is written outside SOURCE.</source>
        <translation>Also convert the workbooks in folders that links below SOURCE lead to outside it (left out by default); the spreadsheet applications may read those folders. With --beside-source, those workbooks fail: no PDF is written outside SOURCE.</translation>
    </message>
    <message>
        <source>Convert nothing (exit code 2) where the spreadsheet applications cannot run in their sandbox, instead of running them without it.</source>
        <translation>Convert nothing (exit code 2) where the spreadsheet applications cannot run in their sandbox, instead of running them without it.</translation>
    </message>
    <message>
        <source>--require-sandbox and --no-sandbox ask for opposite things</source>
        <translation>--require-sandbox and --no-sandbox ask for opposite things</translation>
    </message>
</context>
<context>
    <name>ConversionRun</name>
    <message>
        <source>excel OK!</source>
        <translation>excel OK!</translation>
    </message>
    <message>
        <source>WorkBooks OK!</source>
        <translation>WorkBooks OK!</translation>
    </message>
</context>
<context>
    <name>DesktopNotification</name>
    <message>
        <source>显示窗口</source>
        <translation>Show the window</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>查看报告</source>
        <translation>View report</translation>
    </message>
</context>
<context>
    <name>FailureReasons</name>
    <message>
        <source>办公软件报告了错误</source>
        <translation>the spreadsheet application reported an error</translation>
    </message>
    <message>
        <source>文件名太长，文件系统不允许</source>
        <translation>file name too long for the file system</translation>
    </message>
    <message>
        <source>路径太长</source>
        <translation>path too long</translation>
    </message>
    <message>
        <source>文件夹无法写入</source>
        <translation>the folder cannot be written</translation>
    </message>
    <message>
        <source>磁盘已满</source>
        <translation>disk full</translation>
    </message>
    <message>
        <source>磁盘已满（文件数已达上限）</source>
        <translation>disk full (no room for more files)</translation>
    </message>
    <message>
        <source>文件被占用</source>
        <translation>file in use</translation>
    </message>
    <message>
        <source>文件是空的</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>没有读取权限</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>已加密，需要密码</source>
        <translation>encrypted, needs a password</translation>
    </message>
    <message>
        <source>不是工作簿（只能作为文本导入）</source>
        <translation>not a workbook (only a text import reads it)</translation>
    </message>
    <message>
        <source>无法打开（文件已损坏、已加密或不是工作簿）</source>
        <translation>cannot open (damaged, encrypted or not a workbook)</translation>
    </message>
    <message>
        <source>工作表已隐藏</source>
        <translation>the worksheet is hidden</translation>
    </message>
    <message>
        <source>没有可打印的内容</source>
        <translation>nothing to print</translation>
    </message>
    <message>
        <source>没有写出pdf文件</source>
        <translation>no pdf file written</translation>
    </message>
    <message>
        <source>办公软件%1秒内没有响应，已被停止</source>
        <translation>the spreadsheet application did not answer within %1 s and was stopped</translation>
    </message>
    <message>
        <source>工作簿的转换超过%1秒，已停止</source>
        <translation>the workbook took more than %1 s to convert and was stopped</translation>
    </message>
    <message>
        <source>工作簿需要的内存超过%1 GB，已停止</source>
        <translation>the workbook needed more than %1 GB of memory and was stopped</translation>
    </message>
    <message>
        <source>办公软件意外退出</source>
        <translation>the spreadsheet application ended unexpectedly</translation>
    </message>
    <message>
        <source>办公软件已被停止，此工作簿未能继续转换</source>
        <translation>the spreadsheet application was stopped before this workbook was done</translation>
    </message>
    <message>
        <source>办公软件无法启动</source>
        <translation>the spreadsheet application cannot start</translation>
    </message>
    <message>
        <source>临时文件夹已满或不可用，办公软件无法启动</source>
        <translation>the temporary folder is full or unusable, so the spreadsheet application cannot start</translation>
    </message>
    <message>
        <source>无法读取工作表</source>
        <translation>cannot read the worksheet</translation>
    </message>
    <message>
        <source>无法读取工作表的已用区域</source>
        <translation>cannot read the worksheet&apos;s used range</translation>
    </message>
    <message>
        <source>没有可用的办公软件</source>
        <translation>no spreadsheet application available</translation>
    </message>
    <message>
        <source>无法读取其中的工作表</source>
        <translation>cannot read its worksheets</translation>
    </message>
    <message>
        <source>无法打开</source>
        <translation>cannot open</translation>
    </message>
    <message>
        <source>无法读取文件夹</source>
        <translation>cannot read the folder</translation>
    </message>
    <message>
        <source>名称不是有效的UTF-8文本，无法处理</source>
        <translation>the name is not valid UTF-8 text and cannot be handled</translation>
    </message>
    <message>
        <source>工作表名称无效，无法读取</source>
        <translation>the sheet&apos;s name is not valid, so the sheet cannot be read</translation>
    </message>
    <message>
        <source>在源文件夹之外（经链接），PDF不写在其旁</source>
        <translation>outside the source folder (through a link): no PDF is written beside it</translation>
    </message>
    <message>
        <source>虚拟文件系统，不列出</source>
        <translation>a virtual file system, not listed</translation>
    </message>
    <message>
        <source>链接指向源文件夹之外</source>
        <translation>the link leads outside the source folder</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>软件设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>需电脑中装有并激活的微软office2007以上办公软件,或金山WPS专业版(office与wps转换效果可能有差异)</source>
        <translation>Needs activated Microsoft Office 2007 or later, or WPS Office Professional, on this computer (Office and WPS may convert differently)</translation>
    </message>
    <message>
        <source>转换后保存在原文件夹路径</source>
        <translation>Save the PDFs in the workbooks&apos; own folders</translation>
    </message>
    <message>
        <source>转换</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>  选好两个文件夹后点“转换”：每个工作表（或每个工作簿）生成一个pdf文件。</source>
        <translation>  Choose both folders, then click “Convert”: each worksheet (or each workbook) becomes a pdf file.</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>%v/%m</source>
        <translation>%v/%m</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>选择文件夹</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>提取文件夹不存在!</source>
        <translation>The source folder does not exist!</translation>
    </message>
    <message>
        <source>保存文件夹不存在!</source>
        <translation>The output folder does not exist!</translation>
    </message>
    <message>
        <source>正在停止：正在转换的工作簿完成后结束，最多等待%1秒……</source>
        <translation>Stopping: the run ends once the workbooks in work are done, in %1 s at most…</translation>
    </message>
    <message>
        <source>没有用户的数据文件夹</source>
        <translation>the user has no data folder</translation>
    </message>
    <message>
        <source>转换报告无法写出：%1：%2</source>
        <translation>The run report could not be written: %1: %2</translation>
    </message>
    <message>
        <source>完整的失败列表见（点击打开）：</source>
        <translation>Every failure is listed in (click to open): </translation>
    </message>
    <message>
        <source>excel文件批量转pdf%1</source>
        <translation>Batch Excel to PDF %1</translation>
    </message>
    <message>
        <source>Excel文件所在文件夹(&amp;S)：</source>
        <translation>Folder of the &amp;Excel files:</translation>
    </message>
    <message>
        <source>1个excel文件对应1个pdf(默认是1个sheet对应1个pdf)(&amp;M)</source>
        <translation>&amp;One pdf per excel file (default: one pdf per sheet)</translation>
    </message>
    <message>
        <source>转换后保存到该文件夹(&amp;D)：</source>
        <translation>Save the PDFs to this fol&amp;der:</translation>
    </message>
    <message>
        <source>转换后保存在原文件夹路径(&amp;B)</source>
        <translation>Save the PDFs in the &amp;workbooks&apos; own folders</translation>
    </message>
    <message>
        <source>转换(&amp;C)</source>
        <translation>&amp;Convert</translation>
    </message>
    <message>
        <source>停止(&amp;T)</source>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <source>Excel文件所在文件夹</source>
        <translation>Folder of the Excel files</translation>
    </message>
    <message>
        <source>要转换的工作簿所在的文件夹</source>
        <translation>The folder of the workbooks to convert</translation>
    </message>
    <message>
        <source>选择Excel文件所在文件夹</source>
        <translation>Choose the folder of the Excel files</translation>
    </message>
    <message>
        <source>打开选择文件夹的对话框</source>
        <translation>Opens a dialog to choose a folder</translation>
    </message>
    <message>
        <source>1个excel文件对应1个pdf</source>
        <translation>One pdf per excel file</translation>
    </message>
    <message>
        <source>选中时每个工作簿生成一个pdf文件，否则每个工作表生成一个</source>
        <translation>When checked, each workbook makes one pdf file; otherwise each sheet makes one</translation>
    </message>
    <message>
        <source>转换后保存到该文件夹</source>
        <translation>Save the PDFs to this folder</translation>
    </message>
    <message>
        <source>pdf文件保存到的文件夹</source>
        <translation>The folder the pdf files are saved to</translation>
    </message>
    <message>
        <source>选择保存文件夹</source>
        <translation>Choose the folder to save to</translation>
    </message>
    <message>
        <source>选中时每个pdf文件保存在其工作簿所在的文件夹</source>
        <translation>When checked, each pdf file is saved in its workbook&apos;s folder</translation>
    </message>
    <message>
        <source>开始转换文件夹中的工作簿</source>
        <translation>Starts converting the workbooks in the folder</translation>
    </message>
    <message>
        <source>正在转换的工作簿完成后停止转换</source>
        <translation>Stops the run once the workbooks in work are done</translation>
    </message>
    <message>
        <source>转换进度</source>
        <translation>Conversion progress</translation>
    </message>
    <message>
        <source>已完成的工作簿数和工作簿总数</source>
        <translation>The workbooks done and the workbooks in all</translation>
    </message>
    <message>
        <source>打开文件夹(&amp;O)</source>
        <translation>Open &amp;folder</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>打开这次转换的pdf文件所在的文件夹</source>
        <translation>Opens the folder of this run&apos;s pdf files</translation>
    </message>
    <message>
        <source>查看报告(&amp;R)</source>
        <translation>View &amp;report</translation>
    </message>
    <message>
        <source>查看报告</source>
        <translation>View report</translation>
    </message>
    <message>
        <source>打开这次转换的完整报告</source>
        <translation>Opens this run&apos;s full report</translation>
    </message>
</context>
<context>
    <name>OfficeSandbox</name>
    <message>
        <source>注意：办公软件在沙箱之外运行（%1）：转换中的工作簿能读取本机的文件，也能访问网络。</source>
        <translation>Note: the spreadsheet applications run outside their sandbox (%1): the workbooks being converted can read this computer&apos;s files and reach the network.</translation>
    </message>
</context>
<context>
    <name>PlatformTexts</name>
    <message>
        <source>需电脑中装有并激活的微软office2007以上办公软件,或金山WPS专业版(office与wps转换效果可能有差异)</source>
        <translation>Needs activated Microsoft Office 2007 or later, or WPS Office Professional, on this computer (Office and WPS may convert differently)</translation>
    </message>
    <message>
        <source>需电脑中装有LibreOffice Calc办公软件(转换效果可能与微软office有差异)</source>
        <translation>Needs LibreOffice Calc on this computer (it may convert differently from Microsoft Office)</translation>
    </message>
    <message>
        <source>本功能需要电脑中装有微软office或金山wps专业版(注意是专业版,不是个人版)!</source>
        <translation>This needs Microsoft Office or WPS Office Professional (Professional, not Personal) on this computer!</translation>
    </message>
    <message>
        <source>本功能需要电脑中装有LibreOffice Calc!</source>
        <translation>This needs LibreOffice Calc on this computer!</translation>
    </message>
</context>
<context>
    <name>Run</name>
    <message>
        <source>成功将%1个excel文件转换为%2个pdf文件。</source>
        <translation>Converted %1 excel file(s) to %2 pdf file(s).</translation>
    </message>
    <message>
        <source>另有%1个失败未列出。</source>
        <translation>%1 more failure(s) not listed.</translation>
    </message>
    <message>
        <source>另有%1个excel文件未改动，已跳过。</source>
        <translation>%1 more excel file(s) unchanged, skipped.</translation>
    </message>
    <message>
        <source>失败%1个：</source>
        <translation>%1 failure(s):</translation>
    </message>
    <message>
        <source>转换已中止：%1个excel文件未转换。</source>
        <translation>Conversion stopped: %1 excel file(s) not converted.</translation>
    </message>
    <message>
        <source>已转换</source>
        <translation>converted</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>未改动，已跳过</source>
        <translation>unchanged, skipped</translation>
    </message>
    <message>
        <source>未转换（运行已中止）</source>
        <translation>not converted (run stopped)</translation>
    </message>
    <message>
        <source>空白</source>
        <translation>blank</translation>
    </message>
    <message>
        <source>隐藏</source>
        <translation>hidden</translation>
    </message>
    <message>
        <source>没有可打印的内容</source>
        <translation>nothing to print</translation>
    </message>
    <message>
        <source>excel文件批量转pdf：转换报告</source>
        <translation>Batch Excel to PDF: conversion report</translation>
    </message>
    <message>
        <source>开始：%1</source>
        <translation>Started: %1</translation>
    </message>
    <message>
        <source>结束：%1</source>
        <translation>Ended: %1</translation>
    </message>
    <message>
        <source>Excel文件所在文件夹：%1</source>
        <translation>Folder of the Excel files: %1</translation>
    </message>
    <message>
        <source>转换后保存在原文件夹路径</source>
        <translation>PDFs saved in the workbooks&apos; own folders</translation>
    </message>
    <message>
        <source>转换后保存到该文件夹：%1</source>
        <translation>PDFs saved to this folder: %1</translation>
    </message>
    <message>
        <source>1个excel文件对应1个pdf</source>
        <translation>One pdf per excel file</translation>
    </message>
    <message>
        <source>1个sheet对应1个pdf</source>
        <translation>One pdf per sheet</translation>
    </message>
    <message>
        <source>各excel文件：</source>
        <translation>Each excel file:</translation>
    </message>
    <message>
        <source>（%1秒）</source>
        <translation> (%1 s)</translation>
    </message>
    <message>
        <source>pdf：%1</source>
        <translation>pdf: %1</translation>
    </message>
    <message>
        <source>%1，未转换：%2</source>
        <translation>%1, not converted: %2</translation>
    </message>
    <message>
        <source>失败：</source>
        <translation>failed: </translation>
    </message>
    <message>
        <source>办公软件的原话：%1</source>
        <translation>The spreadsheet application said: %1</translation>
    </message>
    <message>
        <source>已删除%1个不再生成的pdf文件。</source>
        <translation>Removed %1 PDF file(s) that are no longer made.</translation>
    </message>
    <message>
        <source>已删除不再生成的pdf：%1</source>
        <translation>pdf removed, no longer made: %1</translation>
    </message>
    <message>
        <source>无法删除不再生成的pdf文件：%1：%2</source>
        <translation>Cannot remove a PDF file that is no longer made: %1: %2</translation>
    </message>
    <message>
        <source>未进入的文件夹：</source>
        <translation>Folders not entered:</translation>
    </message>
    <message>
        <source>Excel或WPS是桌面自己的应用程序，本程序不为它建立沙箱</source>
        <translation>Excel or WPS is the desktop&apos;s own application, which this program does not put in a sandbox</translation>
    </message>
    <message>
        <source>沙箱已按要求关闭（--no-sandbox）</source>
        <translation>the sandbox was turned off as asked (--no-sandbox)</translation>
    </message>
    <message>
        <source>无法建立沙箱：%1</source>
        <translation>no sandbox can be made here: %1</translation>
    </message>
    <message>
        <source>注意：转换未在沙箱中进行：%1</source>
        <translation>Note: the conversion ran outside the sandbox: %1</translation>
    </message>
    <message>
        <source>转换在沙箱中进行</source>
        <translation>The conversion ran in the sandbox</translation>
    </message>
</context>
<context>
    <name>RunProgress</name>
    <message>
        <source>%1/%2个excel文件，%3个pdf，失败%4个，已用%5</source>
        <translation>%1/%2 workbooks, %3 PDF(s), %4 failed, %5 taken</translation>
    </message>
    <message>
        <source>，约剩%1</source>
        <translation>, about %1 left</translation>
    </message>
    <message>
        <source>，%1已等待%2秒</source>
        <translation>, %1 waited for %2 s</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Quillsheet 需要图形界面：DISPLAY 和 WAYLAND_DISPLAY 都没有设置。没有图形界面时请用 quillsheet-cli。</source>
        <translation>Quillsheet needs a graphical display: neither DISPLAY nor WAYLAND_DISPLAY is set. Without one, use quillsheet-cli.</translation>
    </message>
</context>
<context>
    <name>SystemTray</name>
    <message>
        <source>软件设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>excel文件批量转pdf</source>
        <translation>Batch Excel to PDF</translation>
    </message>
</context>
<context>
    <name>TemporaryFolder</name>
    <message>
        <source>是空的</source>
        <translation>is empty</translation>
    </message>
    <message>
        <source>不是绝对路径</source>
        <translation>is not an absolute path</translation>
    </message>
    <message>
        <source>不存在</source>
        <translation>does not exist</translation>
    </message>
    <message>
        <source>无法访问</source>
        <translation>cannot be reached</translation>
    </message>
    <message>
        <source>不是文件夹</source>
        <translation>is not a folder</translation>
    </message>
    <message>
        <source>无法写入</source>
        <translation>cannot be written</translation>
    </message>
    <message>
        <source>临时文件夹不可用：TMPDIR=&quot;%1&quot;：%2</source>
        <translation>Temporary folder unusable: TMPDIR=&quot;%1&quot; %2</translation>
    </message>
    <message>
        <source>临时文件夹不可用：%1（TMPDIR未设置）：%2</source>
        <translation>Temporary folder unusable: %1 (TMPDIR not set) %2</translation>
    </message>
</context>
<context>
    <name>WritableFolder</name>
    <message>
        <source>保存文件夹无法写入：%1：%2</source>
        <translation>The save folder cannot be written to: %1: %2</translation>
    </message>
</context>
</TS>
