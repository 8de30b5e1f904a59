#include "link/device_link.h"

#include "link/link_view.h"

DeviceLink::DeviceLink(LinkServices s)
    : port_state{&s.ft, 0},
      comm_log(s.clock),
      frames(link_state, port_state, comm_log, s.dialogs, s.clock),
      port(port_state, comm_log, s.dialogs, s.texts),
      dispatcher(geraet, poll_state.timeout_count, frames, s.dialogs, s.texts, s.clock),
      poll({poll_state, link_state, frames, port, geraet, s.settings, comm_log, s.clock, s.waiter,
            s.view}) {
    QObject::connect(&frames, &FrameLink::reply_received, &dispatcher,
                     &ReplyDispatcher::dispatch_reply);
    QObject::connect(&frames, &FrameLink::reply_received, &poll, &PollCycle::reply_arrived);
    QObject::connect(&frames, &FrameLink::queue_overflow, &poll, &PollCycle::reset_and_reopen);
    // The first status record ends the start-up wait.
    LinkView& view = s.view;
    QObject::connect(&dispatcher, &ReplyDispatcher::status_record_received, &poll, [&view] {
        view.set_busy_cursor(false);
        view.set_tabs_enabled(true);
    });
}
