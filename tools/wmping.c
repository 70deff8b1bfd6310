/* Pings a window as a window manager does (_NET_WM_PING) every INTERVAL_MS for SECONDS and
 * prints the longest time it took to answer. It only listens on the root window and manages
 * nothing, so the program's own message windows still appear without a window manager.
 * Usage: wmping WINDOW_ID SECONDS INTERVAL_MS  (scripts/soak builds and runs it) */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static void pause_ms(long ms)
{
    struct timespec s = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&s, NULL);
}

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    Display *display = XOpenDisplay(NULL);
    if (!display)
        return 1;
    const Window window = strtoul(argv[1], NULL, 0);
    const double seconds = atof(argv[2]);
    const long interval = atol(argv[3]);
    /* Answers go to the root window for the window manager (SubstructureRedirect) and for
     * listeners of StructureNotify or SubstructureNotify, depending on the toolkit; listening
     * for the notify masks hears them without managing any window. */
    XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask | SubstructureNotifyMask);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    double longest = 0;
    int pings = 0, late = 0, lost = 0;
    const double start = now();
    for (unsigned long stamp = 1; now() - start < seconds; ++stamp) {
        XEvent event;
        memset(&event, 0, sizeof event);
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = (long)ping;
        event.xclient.data.l[1] = (long)stamp;
        event.xclient.data.l[2] = (long)window;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
        const double sent = now();
        int answered = 0;
        while (!answered && now() - sent < 30) {
            while (XPending(display)) {
                XEvent reply;
                XNextEvent(display, &reply);
                if (reply.type == ClientMessage && (Atom)reply.xclient.data.l[0] == ping &&
                    (unsigned long)reply.xclient.data.l[1] == stamp)
                    answered = 1;
            }
            if (!answered)
                pause_ms(2);
        }
        const double latency = now() - sent;
        ++pings;
        if (!answered)
            ++lost;
        if (latency > longest)
            longest = latency;
        if (latency > 0.25) {
            ++late;
            printf("t=%.1fs latency %.3fs\n", sent - start, latency);
            fflush(stdout);
        }
        pause_ms(interval);
    }
    printf("pings %d, longest %.3fs, over 250 ms %d, unanswered %d\n", pings, longest, late, lost);
    return 0;
}
