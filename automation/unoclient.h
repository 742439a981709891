#pragma once

#include <com/sun/star/uno/XComponentContext.hpp>

// The client side of UNO, made once per process: what connections to our offices start from.
css::uno::Reference<css::uno::XComponentContext> LocalContext();
