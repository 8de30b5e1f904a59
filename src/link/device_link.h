#pragma once

#include "link/comm_log.h"
#include "link/device_data.h"
#include "link/dispatcher.h"
#include "link/frame.h"
#include "link/poll_cycle.h"
#include "link/port.h"
#include "link/port_state.h"

class Clock;
class Dialogs;
class Ftd2xx;
class LinkView;
class Waiter;
struct LanguageTable;
struct Settings;

// What the link takes from outside: the converter, time, the window as the
// link sees it, and the run's shared records.
struct LinkServices {
    Ftd2xx& ft;
    const Clock& clock;
    Waiter& waiter;
    Dialogs& dialogs;
    LinkView& view;
    const LanguageTable& texts;
    const Settings& settings;
};

// The whole device link: its records and its parts, wired to each other once
// here. The program and every rig build this one; what lies above the link
// (display, chart, status memory table) connects to the signals of `dispatcher`
// and `poll`.
class DeviceLink {
public:
    explicit DeviceLink(LinkServices services);
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    Geraetedaten geraet;
    LinkState link_state;
    PortState port_state;
    PollState poll_state;
    CommLog comm_log;
    FrameLink frames;
    Port port;
    ReplyDispatcher dispatcher;
    PollCycle poll;
};
