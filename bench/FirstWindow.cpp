// Starts a program and prints the milliseconds from its start to the moment the X server maps
// its first top-level window (no window manager runs under Xvfb, so mapped is visible). Used by
// startup-x11.sh to time Kelvane and a peer program the same way. Never fails a build or a test.
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s program [arguments...]   (prints ms to its first window, or -1)\n", argv[0]);
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Checked, so the mask is in force before the program starts.
    if (xcb_generic_error_t* error = xcb_request_check(
            connection, xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask))) {
        std::fprintf(stderr, "cannot watch the root window\n");
        std::free(error);
        return 2;
    }

    const double start = NowMs();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    double mapped = -1;
    xcb_window_t window = 0;
    pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (mapped < 0 && NowMs() - start < 30000) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection))
                break;
            poll(&fd, 1, 100);
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child)
                break;  // ended without a window
            continue;
        }
        if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (!map->override_redirect) {  // not a tooltip or a menu
                mapped = NowMs() - start;
                window = map->window;
            }
        }
        std::free(event);
    }
    std::printf("%.1f\n", mapped);
    std::fflush(stdout);
    // The program ends as a user would end it: a killed JACK client stays in the server as a
    // zombie and slows every later client down for seconds.
    const auto waitForExit = [&](double ms) {
        const double until = NowMs() + ms;
        int status = 0;
        while (NowMs() < until) {
            if (waitpid(child, &status, WNOHANG) == child)
                return true;
            usleep(10000);
        }
        return false;
    };
    if (!waitForExit(1000) && window) {
        const auto atom = [&](const char* name) {
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
                connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
            const xcb_atom_t value = reply ? reply->atom : 0;
            std::free(reply);
            return value;
        };
        xcb_client_message_event_t close{};
        close.response_type = XCB_CLIENT_MESSAGE;
        close.format = 32;
        close.window = window;
        close.type = atom("WM_PROTOCOLS");
        close.data.data32[0] = atom("WM_DELETE_WINDOW");
        close.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&close));
        xcb_flush(connection);
    }
    if (!waitForExit(10000)) {
        kill(child, SIGTERM);
        if (!waitForExit(3000))
            kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
    }
    xcb_disconnect(connection);
    return 0;
}
