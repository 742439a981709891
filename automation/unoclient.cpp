#include "automation/unoclient.h"

#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <csignal>

using css::uno::Reference;

// The office's bootstrap file must be named before the first context is made, or the client
// crashes on its first remote call.
Reference<css::uno::XComponentContext> LocalContext()
{
    static const Reference<css::uno::XComponentContext>* context = [] {
        // An office that dies while a call writes to it must fail that call, not end the
        // program: the write then gets EPIPE instead of the signal.
        std::signal(SIGPIPE, SIG_IGN);
        rtl::Bootstrap::set("URE_BOOTSTRAP",
                            "vnd.sun.star.pathname:" LO_PROGRAM_DIR "/fundamentalrc");
        return new Reference<css::uno::XComponentContext>(
            cppu::defaultBootstrap_InitialComponentContext());
    }();
    return *context;
}
