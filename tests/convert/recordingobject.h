#pragma once

#include "common/fakeapplications.h"

#include <QObject>
#include <QSaveFile>
#include <QVariant>

// An automation object with QAxObject's five calls and exception() signal, answering Excel's
// members from the described workbooks as Excel would, and logging every call made on it or on
// an object obtained through it, exactly as made: object.how("member", args…). Failures come as
// COM gives them: a message, no kind.
class RecordingObject : public QObject
{
    Q_OBJECT

public:
    RecordingObject(FakeWorkbooks& books, CallLog log) : books(&books), log(std::move(log)) {}

    bool setControl(const QString& progId)
    {
        const auto lock = Logged(QStringLiteral("setControl(\"%1\")").arg(progId));
        // As COM, when no application answers to the ProgID: null, without a word.
        if (books->starts)
            kind = Kind::Application;
        return books->starts;
    }

    RecordingObject* querySubObject(const char* member, const QVariant& first = QVariant(),
                                    const QVariant& second = QVariant())
    {
        const auto lock = Logged("querySubObject", member, {first, second});
        const QByteArray name(member);
        switch (kind) {
        case Kind::Application:
            return name == "WorkBooks" ? Child(Kind::Workbooks) : nullptr;
        case Kind::Workbooks:
            if (name != "Open(const QString&)")
                return nullptr;
            if (books->onOpen)
                books->onOpen(first.toString());
            if (!books->workbooks.contains(first.toString()) ||
                !books->workbooks[first.toString()].opens)
                return Failed("damaged");
            return Child(Kind::Workbook, first.toString());
        case Kind::Workbook:
            if (name == "Sheets")
                return Child(Kind::Sheets, path);
            if (name != "WorkSheets(int)")
                return nullptr;
            if (first.toInt() < 1 || first.toInt() > Sheets().size())
                return Failed("no such sheet");
            return Child(Kind::Worksheet, path, first.toInt());
        case Kind::Worksheet:
            if (name == "UsedRange")
                return Sheet().readable ? Child(Kind::Range, path, sheet) : Failed("unreadable");
            if (name == "Cells(int, int)")
                return Child(Kind::Cell, path, sheet);
            return name == "Shapes" ? Child(Kind::Shapes, path, sheet) : nullptr;
        case Kind::Range:
            return name == "Rows"      ? Child(Kind::Rows, path, sheet)
                   : name == "Columns" ? Child(Kind::Columns, path, sheet)
                                       : nullptr;
        default:
            return nullptr;
        }
    }

    QVariant dynamicCall(const char* member, const QVariant& first = QVariant(),
                         const QVariant& second = QVariant())
    {
        const auto lock = Logged("dynamicCall", member, {first, second});
        const QByteArray name(member);
        if (name == "ExportAsFixedFormat(QVariant,QVariant)" &&
            (kind == Kind::Workbook || kind == Kind::Worksheet)) {
            if (kind == Kind::Worksheet && !Sheet().prints) {
                Failed("the worksheet has nothing to print");
            } else if (books->exportsWrite) {
                QSaveFile pdf(second.toString());
                if (pdf.open(QIODevice::WriteOnly)) {
                    pdf.write("%PDF-1.4 stand-in");
                    pdf.commit();
                }
            }
        }
        return kind == Kind::Cell && name == "Value()" ? Sheet().value : QVariant();
    }

    QVariant property(const char* member)
    {
        const auto lock = Logged("property", member, {});
        const QByteArray name(member);
        switch (kind) {
        case Kind::Sheets:
            if (name != "Count")
                return QVariant();
            if (!books->workbooks[path].counted) {
                Failed("sheets unreadable");
                return QVariant();
            }
            return Sheets().size();
        case Kind::Worksheet:
            if (name == "Name")
                return Sheet().name;
            if (name != "Visible")
                return QVariant();
            if (!Sheet().loaded) {
                Failed("not loaded");
                return QVariant();
            }
            return Sheet().visibility;
        case Kind::Range:
            return name == "Row" || name == "Column" ? QVariant(1) : QVariant();
        case Kind::Rows:
            return name == "Count" ? QVariant(Sheet().rows) : QVariant();
        case Kind::Columns:
            return name == "Count" ? QVariant(Sheet().columns) : QVariant();
        case Kind::Shapes:
            return name == "Count" ? QVariant(Sheet().shapes) : QVariant();
        default:
            return QVariant();
        }
    }

    bool setProperty(const char* member, const QVariant& value)
    {
        const auto lock = Logged("setProperty", member, {value});
        return kind == Kind::Application;
    }

signals:
    void exception(int code, const QString& source, const QString& desc, const QString& help);

private:
    enum class Kind
    {
        Null,
        Application,
        Workbooks,
        Workbook,
        Sheets,
        Worksheet,
        Range,
        Rows,
        Columns,
        Cell,
        Shapes
    };

    static const char* NameOf(Kind kind)
    {
        static const char* const names[] = {"null",    "application", "workbooks", "workbook",
                                            "sheets",  "worksheet",   "range",     "rows",
                                            "columns", "cell",        "shapes"};
        return names[static_cast<int>(kind)];
    }
    static QString Described(const QVariant& value)
    {
        if (value.type() == QVariant::String)
            return '"' + value.toString() + '"';
        if (value.type() == QVariant::Bool)
            return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        return value.toString();
    }
    std::unique_lock<std::recursive_mutex> Logged(const QString& call)
    {
        std::unique_lock<std::recursive_mutex> lock(books->mutex);
        *log << call;
        return lock;
    }
    std::unique_lock<std::recursive_mutex> Logged(const char* how, const char* member,
                                                  const QVariantList& args)
    {
        QString call = QString::fromLatin1(NameOf(kind)) + '.' + how + "(\"" + member + '"';
        for (const QVariant& arg : args)
            if (arg.isValid())
                call += ", " + Described(arg);
        return Logged(call + ')');
    }
    RecordingObject* Child(Kind childKind, const QString& childPath = QString(), int childSheet = 0)
    {
        auto* child = new RecordingObject(*books, log);
        child->setParent(this);
        child->kind = childKind;
        child->path = childPath;
        child->sheet = childSheet;
        return child;
    }
    RecordingObject* Failed(const char* message)
    {
        emit exception(0, QStringLiteral("Excel.Application"), QString::fromLatin1(message),
                       QString());
        return nullptr;
    }
    const QList<FakeSheet>& Sheets() const { return books->workbooks[path].sheets; }
    const FakeSheet& Sheet() const { return Sheets()[sheet - 1]; }

    FakeWorkbooks* books;
    CallLog log;
    Kind kind = Kind::Null;
    QString path; // of its workbook
    int sheet = 0;
};
