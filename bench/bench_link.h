#pragma once

#include <QObject>

#include "link/comm_log.h"
#include "link/device_data.h"
#include "link/dispatcher.h"
#include "link/frame.h"
#include "link/link_view.h"
#include "link/poll_cycle.h"
#include "link/port.h"
#include "platform/clock.h"
#include "platform/ftd2xx.h"
#include "platform/language_table.h"
#include "platform/null_dialogs.h"
#include "platform/settings.h"
#include "platform/waiter.h"

// The whole device link without a window, on the converter, clock and waits the
// benchmark chooses: replies go through the receiver into the dispatcher.
struct BenchLink {
    BenchLink(Ftd2xx& ft, const Clock& clock, Waiter& waiter)
        : port_state{&ft, 0},
          log(clock),
          frames(link, port_state, log, dialogs, clock),
          port(port_state, log, dialogs, texts),
          dispatcher(geraet, poll_state.timeout_count, frames, dialogs, texts, clock),
          poll({poll_state, link, frames, port, geraet, settings, log, clock, waiter, view}) {
        QObject::connect(&frames, &FrameLink::reply_received, &dispatcher,
                         &ReplyDispatcher::dispatch_reply);
    }

    NullDialogs dialogs;
    NullLinkView view;
    LanguageTable texts;
    Settings settings;
    PortState port_state;
    CommLog log;
    LinkState link;
    PollState poll_state;
    Geraetedaten geraet;
    FrameLink frames;
    Port port;
    ReplyDispatcher dispatcher;
    PollCycle poll;
};
