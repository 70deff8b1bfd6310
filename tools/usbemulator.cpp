// hxr-usb-emulator -- COMMAND [ARGS...]
// Runs COMMAND on a USB bus that holds one emulated FT232R for every simulated module of HXR_SIM
// (and follows HXR_SIM_CONTROL, HXR_SIM_LOG), so that a program on the libftdi1 road
// (HXR_FTDI=usb) talks to the simulated modules through the real libusb and libftdi1. Exits
// with COMMAND's status.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/usbemulator.h"

namespace {

volatile sig_atomic_t child = 0;

void passOn(int signal)
{
    if (child > 0)
        kill(child, signal);
}

int usage()
{
    std::fprintf(stderr, "usage: hxr-usb-emulator -- COMMAND [ARGS...]\n"
                         "Runs COMMAND on FTDI chips emulated from HXR_SIM.\n");
    return 2;
}

int run(char **command)
{
    testsupport::UsbEmulator emulator; // sets UMOCKDEV_DIR for the command
    std::signal(SIGINT, passOn);
    std::signal(SIGTERM, passOn);
    const pid_t started = fork();
    if (started < 0) {
        std::perror("hxr-usb-emulator: fork");
        return 127;
    }
    if (started == 0) {
        execvp(command[0], command);
        std::fprintf(stderr, "hxr-usb-emulator: cannot run %s: %s\n", command[0],
                     std::strerror(errno));
        _exit(127);
    }
    child = started;
    int status = 0;
    while (waitpid(started, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || std::strcmp(argv[1], "--") != 0)
        return usage();
    // Under umockdev's preload library, which COMMAND inherits, the emulator itself sees the bus
    // it makes too: its plug and unplug events can reach their devices only then.
    const char *preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "libumockdev-preload")) {
        setenv("LD_PRELOAD", testsupport::UsbEmulator::preloadList().c_str(), 1);
        execv("/proc/self/exe", argv);
        std::perror("hxr-usb-emulator: cannot run again under umockdev's preload library");
        return 127;
    }
    try {
        return run(argv + 2);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "hxr-usb-emulator: %s\n", error.what());
        return 127;
    }
}
