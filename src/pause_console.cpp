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

// While the terminal is raw, no signal may end or stop the process before the
// terminal is put back. Every signal whose default action does either is held
// back during the wait; once the terminal is restored it is let through and
// does exactly what it would have done (ignored and caught signals are the
// caller's business and are left to their dispositions). SIGKILL and SIGSTOP
// cannot be held back by anyone.
struct Signaux {
    sigset_t fins;   // those that end the process
    sigset_t arrets; // those that stop it until SIGCONT
};

// The signals whose default action neither ends nor stops the process, and
// the two that nothing can hold back.
const int kSansEffetOuImparables[] = {SIGCHLD, SIGCONT, SIGURG, SIGWINCH, SIGKILL, SIGSTOP};
const int kArrets[] = {SIGTSTP, SIGTTIN, SIGTTOU};

Signaux signaux_retenus()
{
    Signaux s{};
    sigfillset(&s.fins);
    sigemptyset(&s.arrets);
    for (int sig : kSansEffetOuImparables) {
        sigdelset(&s.fins, sig);
    }
    for (int sig : kArrets) {
        sigdelset(&s.fins, sig);
        sigaddset(&s.arrets, sig);
    }
    return s;
}

bool en_attente(const sigset_t& signaux)
{
    sigset_t en_attente;
    if (sigpending(&en_attente) != 0) {
        return false;
    }
    for (int sig = 1; sig < NSIG; sig++) {
        if (sigismember(&en_attente, sig) == 1 && sigismember(&signaux, sig) == 1) {
            return true;
        }
    }
    return false;
}

enum class Reveil { touche, arret, fin };

// Waits for one byte on standard input or for a held-back signal. A blocked
// signal does not interrupt poll() or read(), so the wait wakes up now and
// then to look.
Reveil attendre_touche(const Signaux& s)
{
    const int interval_ms = 100;
    for (;;) {
        pollfd pfd{STDIN_FILENO, POLLIN, 0};
        const int pret = poll(&pfd, 1, interval_ms);
        if (pret < 0 && errno != EINTR) {
            return Reveil::touche;
        }
        if (pret > 0) {
            char touche = 0;
            const ssize_t lu = read(STDIN_FILENO, &touche, 1);
            if (lu >= 0 || (errno != EINTR && errno != EAGAIN)) {
                return Reveil::touche;
            }
        }
        if (en_attente(s.fins)) {
            return Reveil::fin;
        }
        if (en_attente(s.arrets)) {
            return Reveil::arret;
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

    // One key, no Enter, no echo. ISIG is off so that Ctrl-C is read as the
    // key instead of killing the process with the terminal left raw; IXON is
    // off so that Ctrl-S and Ctrl-Q count as keys too.
    termios brut = avant;
    brut.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    brut.c_iflag &= ~static_cast<tcflag_t>(IXON);
    brut.c_cc[VMIN] = 1;
    brut.c_cc[VTIME] = 0;

    const Signaux s = signaux_retenus();
    sigset_t masque_avant;
    sigprocmask(SIG_BLOCK, &s.fins, &masque_avant);

    for (;;) {
        // The stop signals are still let through here, so that a background
        // job stops on SIGTTOU when it sets the terminal, as interactive
        // programs do, instead of taking the terminal from the foreground.
        if (tcsetattr(STDIN_FILENO, TCSANOW, &brut) != 0) {
            break;
        }
        sigprocmask(SIG_BLOCK, &s.arrets, nullptr);
        std::printf("Appuyez sur une touche pour continuer...");
        std::fflush(stdout);
        const Reveil reveil = attendre_touche(s);
        // TCSAFLUSH also drops the rest of a key that sends several bytes
        // (arrows, function keys), which would otherwise land in the shell.
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &avant);
        std::printf("\n");
        std::fflush(stdout);
        if (reveil != Reveil::arret) {
            break;
        }
        // The stop takes effect here, with the terminal as the shell expects
        // it; after SIGCONT the wait starts again, prompt and all.
        sigprocmask(SIG_UNBLOCK, &s.arrets, nullptr);
    }

    sigprocmask(SIG_SETMASK, &masque_avant, nullptr);
}

#endif
