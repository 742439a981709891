#pragma once

#include <QByteArray>
#include <QString>

#include <map>

// The parts inside the package that the workbook part's relationships
// (xl/_rels/workbook.xml.rels, whole) lead to, by relationship id: "xl/worksheets/sheet1.xml".
// Links outside the package, and targets that would leave it, are left out; a text with a
// document type declaration, or that is no relationship part, gives none.
std::map<QString, QString> WorkbookRelationshipTargets(const QByteArray& relationships);
