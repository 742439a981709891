#!/usr/bin/python3
"""Checks a quillsheet-cli JSON report against docs/report-schema.json and prints its facts, one
per line, with paths relative to the source folder: "stopped BOOL", "workbook PATH OUTCOME REASON",
"pdf PATH SHEET SKIPPED" ("-" for none), "leftout PATH REASON"."""
import json
import os
import sys

import jsonschema

report_path, schema_path = sys.argv[1], sys.argv[2]
with open(report_path, encoding="utf-8") as report_file:
    report = json.load(report_file)
with open(schema_path, encoding="utf-8") as schema_file:
    jsonschema.validate(report, json.load(schema_file))
source = report["settings"]["source"]
print("stopped", str(report["stopped"]).lower())
for workbook in report["workbooks"]:
    path = os.path.relpath(workbook["path"], source)
    print("workbook", path, workbook["outcome"], workbook["reason"] or "-")
    for pdf in workbook["pdfs"]:
        print("pdf", path, pdf["sheet"] or "-", pdf["skipped"] or "-")
for folder in report["leftOutFolders"]:
    print("leftout", os.path.relpath(folder["path"], source), folder["reason"])
