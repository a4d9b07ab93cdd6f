// The platform edge of interrupts. The paths are copied into a fixed table while the
// interrupts are held back, before the handler can need them: a POSIX signal handler may
// only call async-signal-safe functions, so it reads the table, unlinks and re-raises,
// and nothing else.
#include "interrupt_cleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// Room for the temporary files that exist at once: export writes a header and a source.
constexpr std::size_t SLOTS = 4;
constexpr std::size_t PATH_BYTES = 4096;

struct PendingFile {
    char path[PATH_BYTES];
    volatile std::sig_atomic_t used; // set only after path holds the whole name
};

// The one state a handler can reach: a process has one set of signal handlers.
PendingFile pending[SLOTS];

void Remember(const std::string& path) {
    for (PendingFile& slot : pending) {
        if (slot.used == 0) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            std::atomic_signal_fence(std::memory_order_seq_cst);
            slot.used = 1;
            return;
        }
    }
}

void Forget(const std::string& path) {
    for (PendingFile& slot : pending) {
        if (slot.used != 0 && path == slot.path) {
            slot.used = 0;
            return;
        }
    }
}

#ifndef _WIN32

// Interrupts are held back while a file comes or goes, so that the handler never runs
// between the file system's change and the table's.
sigset_t heldSignals;
sigset_t savedMask;
bool holding = false;

void HoldInterrupts() {
    if (!holding) {
        holding = sigprocmask(SIG_BLOCK, &heldSignals, &savedMask) == 0;
    }
}

void ReleaseInterrupts() {
    if (holding) {
        sigprocmask(SIG_SETMASK, &savedMask, nullptr);
        holding = false;
    }
}

#else

void HoldInterrupts() {}
void ReleaseInterrupts() {}

#endif

void Note(const std::string& path, TemporaryFileEvent event) {
    switch (event) {
    case TemporaryFileEvent::Creating:
    case TemporaryFileEvent::Ending:
        HoldInterrupts();
        return;
    case TemporaryFileEvent::Created:
        if (!path.empty() && path.size() < PATH_BYTES) {
            Remember(path);
        }
        break;
    case TemporaryFileEvent::Gone:
        Forget(path);
        break;
    case TemporaryFileEvent::NotCreated:
        break;
    }
    ReleaseInterrupts();
}

#ifdef _WIN32

std::atomic<bool> interrupted{false};

// Runs on a thread of its own. The first Ctrl-C or Ctrl-Break asks the work to stop
// cleanly (the files are open, so they cannot be removed from here); a second one ends
// the process at once, as the console would.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    return interrupted.exchange(true) ? FALSE : TRUE;
}

#else

void OnSignal(int signal) {
    for (const PendingFile& slot : pending) {
        if (slot.used != 0) {
            unlink(slot.path);
        }
    }
    // The handler was reset to the default on entry (SA_RESETHAND): the process ends by
    // the signal, and its parent sees that it was interrupted.
    raise(signal);
}

#endif

} // namespace

void InstallInterruptCleanup() {
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigemptyset(&heldSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&heldSignals, signal);
    }
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        // A signal ignored when ztr started (nohup, a background job) stays ignored.
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
            sigaction(signal, &action, nullptr);
        }
    }
#endif
}

TemporaryFileNotice InterruptCleanupNotice() {
    return Note;
}

bool Interrupted() {
#ifdef _WIN32
    return interrupted.load();
#else
    return false;
#endif
}

int InterruptedExitStatus() {
#ifdef _WIN32
    return static_cast<int>(0xC000013AL); // STATUS_CONTROL_C_EXIT, as the console ends it
#else
    return 128 + SIGINT;
#endif
}
