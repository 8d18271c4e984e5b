#include "pause_console.h"

#include <cstdio>

#ifdef _WIN32

#include <cstdlib>

void pause_console()
{
    std::fflush(stdout);
    // The result is of no use: a missing or failing "pause" only means that
    // the window does not wait.
    (void)std::system("pause");
}

#else

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace
{

// Signals that would end the process while the terminal is raw. They are held
// back during the wait and let through once the terminal is restored, so they
// still do what they would have done.
const int kSignauxRetenus[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

sigset_t signaux_retenus()
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : kSignauxRetenus) {
        sigaddset(&set, sig);
    }
    return set;
}

bool signal_en_attente()
{
    sigset_t en_attente;
    if (sigpending(&en_attente) != 0) {
        return false;
    }
    for (int sig : kSignauxRetenus) {
        if (sigismember(&en_attente, sig) == 1) {
            return true;
        }
    }
    return false;
}

// Waits for one byte on standard input, or for a held-back signal. A blocked
// signal does not interrupt read(), so the wait wakes up now and then to look.
void attendre_touche()
{
    const int interval_ms = 100;
    for (;;) {
        pollfd pfd{STDIN_FILENO, POLLIN, 0};
        const int pret = poll(&pfd, 1, interval_ms);
        if (pret < 0 && errno != EINTR) {
            return;
        }
        if (pret > 0) {
            char touche = 0;
            const ssize_t lu = read(STDIN_FILENO, &touche, 1);
            if (lu >= 0 || (errno != EINTR && errno != EAGAIN)) {
                return;
            }
        }
        if (signal_en_attente()) {
            return;
        }
    }
}

} // namespace

void pause_console()
{
    std::fflush(stdout);
    if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) {
        return;
    }

    termios avant{};
    if (tcgetattr(STDIN_FILENO, &avant) != 0) {
        return;
    }

    const sigset_t retenus = signaux_retenus();
    sigset_t masque_avant;
    sigprocmask(SIG_BLOCK, &retenus, &masque_avant);

    // One key, no Enter, no echo. ISIG is off so that Ctrl-C is read as the
    // key instead of killing the process with the terminal left raw; IXON is
    // off so that Ctrl-S and Ctrl-Q count as keys too.
    termios brut = avant;
    brut.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    brut.c_iflag &= ~static_cast<tcflag_t>(IXON);
    brut.c_cc[VMIN] = 1;
    brut.c_cc[VTIME] = 0;

    if (tcsetattr(STDIN_FILENO, TCSANOW, &brut) == 0) {
        std::printf("Appuyez sur une touche pour continuer...");
        std::fflush(stdout);
        attendre_touche();
        // TCSAFLUSH also drops the rest of a key that sends several bytes
        // (arrows, function keys), which would otherwise land in the shell.
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &avant);
        std::printf("\n");
        std::fflush(stdout);
    }

    sigprocmask(SIG_SETMASK, &masque_avant, nullptr);
}

#endif
