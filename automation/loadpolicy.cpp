#include "automation/loadpolicy.h"

#include "automation/encryptedworkbook.h"
#include "automation/unohelpers.h"

#include <com/sun/star/document/FilterOptionsRequest.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XInteractionFilterOptions.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/implbase1.hxx>

namespace {

// Answers the questions the office asks while loading, so that no load ever waits for a
// person: an import's options dialog (HTML tables, text) gets the filter's defaults, as Excel
// opens such files without asking; everything else (passwords, repairs) is aborted.
class UnattendedInteractionHandler : public cppu::WeakImplHelper1<css::task::XInteractionHandler>
{
public:
    void SAL_CALL handle(const Reference<css::task::XInteractionRequest>& request) override
    {
        const Sequence<Reference<css::task::XInteractionContinuation>> choices =
            request->getContinuations();
        css::document::FilterOptionsRequest options;
        if (request->getRequest() >>= options) {
            for (const auto& choice : choices) {
                Reference<css::document::XInteractionFilterOptions> defaults(choice, UNO_QUERY);
                if (defaults.is()) {
                    defaults->setFilterOptions(options.rProperties);
                    defaults->select();
                    return;
                }
            }
        }
        for (const auto& choice : choices) {
            Reference<css::task::XInteractionAbort> abort(choice, UNO_QUERY);
            if (abort.is()) {
                abort->select();
                return;
            }
        }
    }
};

Sequence<css::beans::PropertyValue> LoadProperties()
{
    return Properties({
        Property("Hidden", Any(true)),
        Property("ReadOnly", Any(true)),
        Property("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
        Property("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE)),
        Property("InteractionHandler",
                 Any(Reference<css::task::XInteractionHandler>(new UnattendedInteractionHandler))),
    });
}

// What only the office's plain-text import would read is no workbook: Excel refuses it.
bool IsTextImport(const Reference<css::frame::XModel>& model)
{
    const Sequence<css::beans::PropertyValue> args = model->getArgs();
    for (const auto& arg : args) {
        OUString filter;
        if (arg.Name == "FilterName" && (arg.Value >>= filter))
            return filter.startsWith("Text - txt - csv");
    }
    return false;
}

} // namespace

Reference<css::sheet::XSpreadsheetDocument>
LoadWorkbook(const Reference<css::frame::XDesktop2>& desktop, const QString& path,
             ReportedFailure& refusal)
{
    Reference<css::lang::XComponent> component;
    // What the office said when it could not load the file (an encrypted .xlsx, say).
    QString said;
    try {
        component = desktop->loadComponentFromURL(FileUrl(path), "_blank", 0, LoadProperties());
    } catch (const css::lang::IllegalArgumentException& e) {
        // What the office cannot even detect: refused below like any unreadable file.
        said = FromUno(e.Message);
    } catch (const css::io::IOException& e) {
        said = FromUno(e.Message);
    }
    const Reference<css::sheet::XSpreadsheetDocument> workbook(component, UNO_QUERY);
    const Reference<css::frame::XModel> model(component, UNO_QUERY);
    if (workbook.is() && model.is() && !IsTextImport(model))
        return workbook;
    // A locked workbook the office cannot decrypt may still be taken in as text: the lock is
    // the cause either way.
    if (IsEncryptedWorkbookFile(path)) {
        refusal = {FailureKind::Encrypted, QStringLiteral("encrypted: a password is needed")};
        if (!said.isEmpty())
            refusal.message += QStringLiteral(": ") + said;
    } else if (workbook.is()) {
        refusal = {FailureKind::TextImportOnly,
                   QStringLiteral("not a workbook (only a text import reads it)")};
    } else {
        refusal = {FailureKind::CannotOpen,
                   QStringLiteral("cannot be opened (damaged, encrypted or not a workbook)")};
        if (!said.isEmpty())
            refusal.message += QStringLiteral(": ") + said;
    }
    const Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
    if (closeable.is())
        closeable->close(true);
    return nullptr;
}
