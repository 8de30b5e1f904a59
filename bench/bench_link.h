#pragma once

#include "link/device_link.h"
#include "link/link_view.h"
#include "platform/language_table.h"
#include "platform/null_dialogs.h"
#include "platform/settings.h"

// The whole device link without a window, on the converter, clock and waits the
// benchmark chooses: replies go through the receiver into the dispatcher.
struct BenchLink {
    BenchLink(Ftd2xx& ft, const Clock& clock, Waiter& waiter)
        : link({ft, clock, waiter, dialogs, view, texts, settings}) {}

    NullDialogs dialogs;
    NullLinkView view;
    LanguageTable texts;
    Settings settings;
    DeviceLink link;
};
