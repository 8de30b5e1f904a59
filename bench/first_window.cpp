// first_window COMMAND [ARG ...]: starts the command and ends it as soon as the
// X server maps its first top-level window, so a whole-process timer measures
// start-up to the window. Run it against bare_window on the same X server
// (DISPLAY) for the comparison:
//   first_window build/bench/bare_window   vs   first_window /usr/bin/quorvel5
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_window COMMAND [ARG ...]\n");
        return 2;
    }
    int screen_number = 0;
    xcb_connection_t* x = xcb_connect(nullptr, &screen_number);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "first_window: no X server\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x));
    for (int i = 0; i < screen_number; ++i) xcb_screen_next(&screens);
    // Watch the root's children before the command starts, so no map is missed.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screens.data->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int result = 1;
    while (xcb_generic_event_t* event = xcb_wait_for_event(x)) {
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        std::free(event);
        if (mapped) {
            result = 0;
            break;
        }
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    xcb_disconnect(x);
    return result;
}
