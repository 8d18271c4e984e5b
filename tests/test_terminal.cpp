// The program at a real terminal: it must wait for one key after "FIN!" and
// give the terminal back exactly as it found it, whatever ends the wait.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace
{

using namespace std::chrono_literals;

const std::string kInvite = "Appuyez sur une touche pour continuer...";

// The program, behind the emulator that runs it when it is built for another
// processor than this one.
#ifndef FUSION_EMULATEUR
#define FUSION_EMULATEUR ""
#endif
const char* const kCommande[] = {
    FUSION_EMULATEUR[0] != '\0' ? FUSION_EMULATEUR : FUSION_EXE,
    FUSION_EMULATEUR[0] != '\0' ? FUSION_EXE : nullptr,
    nullptr,
};
const auto kDelai = 20s; // generous: sanitizer builds start slowly

bool memes_reglages(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// The program on the slave side of a pseudo-terminal, run the way a shell
// with job control runs it: a session leader (standing in for the shell)
// holds the terminal and starts the program as a job of its own, in the
// foreground. The job must not be an orphaned process group, or the kernel
// would drop the stop signals that the tests send. The leader ends as the
// program ended. The test keeps the slave open to read its settings.
struct SousTerminal {
    SousTerminal()
    {
        if (openpty(&maitre, &esclave, nullptr, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "openpty: " << std::strerror(errno);
            return;
        }
        tcgetattr(esclave, &reglages_initiaux);
        int tube[2];
        if (pipe(tube) != 0) {
            ADD_FAILURE() << "pipe: " << std::strerror(errno);
            return;
        }
        meneur = fork();
        if (meneur == 0) {
            close(tube[0]);
            lancer_comme_un_shell(tube[1]);
        }
        close(tube[1]);
        Lancement l{};
        if (read(tube[0], &l, sizeof l) != static_cast<ssize_t>(sizeof l)) {
            ADD_FAILURE() << "the session leader died before starting the program";
        } else if (l.erreur != 0) {
            ADD_FAILURE() << "could not start " << kCommande[0] << ": " << std::strerror(l.erreur);
        } else {
            pid = l.pid;
        }
        close(tube[0]);
    }

    // What the session leader tells the test: the program's pid, or why it
    // could not be started (an errno), so that a test fails at once instead
    // of waiting for a prompt that cannot come.
    struct Lancement {
        pid_t pid;
        int erreur;
    };

    // In the session leader; never returns.
    [[noreturn]] void lancer_comme_un_shell(int tube) const
    {
        setsid();
        ioctl(esclave, TIOCSCTTY, 0);
        dup2(esclave, STDIN_FILENO);
        dup2(esclave, STDOUT_FILENO);
        dup2(esclave, STDERR_FILENO);
        close(maitre);
        close(esclave);
        // Closed by a successful exec, written to by a failed one.
        int exec_tube[2];
        if (pipe2(exec_tube, O_CLOEXEC) != 0) {
            const Lancement l{-1, errno};
            (void)write(tube, &l, sizeof l);
            _exit(126);
        }
        const pid_t programme = fork();
        if (programme == 0) {
            close(exec_tube[0]);
            setpgid(0, 0);
            signal(SIGTTOU, SIG_IGN);
            tcsetpgrp(STDIN_FILENO, getpid());
            signal(SIGTTOU, SIG_DFL);
            execv(kCommande[0], const_cast<char* const*>(kCommande));
            const int erreur = errno;
            (void)write(exec_tube[1], &erreur, sizeof erreur);
            _exit(127);
        }
        close(exec_tube[1]);
        setpgid(programme, programme);
        Lancement l{programme, 0};
        if (read(exec_tube[0], &l.erreur, sizeof l.erreur) <= 0) {
            l.erreur = 0;
        }
        close(exec_tube[0]);
        (void)write(tube, &l, sizeof l);
        int fin = 0;
        while (waitpid(programme, &fin, 0) < 0 && errno == EINTR) {
        }
        if (WIFSIGNALED(fin)) {
            signal(WTERMSIG(fin), SIG_DFL);
            raise(WTERMSIG(fin));
        }
        _exit(WIFEXITED(fin) ? WEXITSTATUS(fin) : 126);
    }

    ~SousTerminal()
    {
        if (meneur > 0 && !termine) {
            if (pid > 0) {
                kill(pid, SIGKILL);
            }
            kill(meneur, SIGKILL);
            waitpid(meneur, nullptr, 0);
        }
        close(maitre);
        close(esclave);
    }

    SousTerminal(const SousTerminal&) = delete;
    SousTerminal& operator=(const SousTerminal&) = delete;

    // Reads what the program wrote until `fin` ends it, the program ends or
    // time runs out.
    bool lire_jusqua(const std::string& fin)
    {
        const auto limite = std::chrono::steady_clock::now() + kDelai;
        while (!termine_par(fin) && std::chrono::steady_clock::now() < limite) {
            pollfd pfd{maitre, POLLIN, 0};
            if (poll(&pfd, 1, 50) > 0) {
                char tampon[512];
                const ssize_t n = read(maitre, tampon, sizeof tampon);
                if (n > 0) {
                    sortie.append(tampon, static_cast<std::size_t>(n));
                }
            } else if (!en_vie()) {
                break; // all it wrote has been read
            }
        }
        return termine_par(fin);
    }

    bool en_vie()
    {
        if (!termine && waitpid(meneur, &statut, WNOHANG) == meneur) {
            termine = true;
        }
        return !termine;
    }

    // Waits for the program to end; false if it is still running.
    bool attendre_fin()
    {
        const auto limite = std::chrono::steady_clock::now() + kDelai;
        while (std::chrono::steady_clock::now() < limite) {
            if (!en_vie()) {
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    void taper(const std::string& touches) const
    {
        ASSERT_EQ(write(maitre, touches.data(), touches.size()),
                  static_cast<ssize_t>(touches.size()));
    }

    termios reglages() const
    {
        termios t{};
        tcgetattr(esclave, &t);
        return t;
    }

    // Bytes left unread in the terminal's input, taken without waiting.
    std::string reste_a_lire() const
    {
        termios t = reglages();
        t.c_lflag &= ~static_cast<tcflag_t>(ICANON);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        tcsetattr(esclave, TCSANOW, &t);
        char tampon[64];
        const ssize_t n = read(esclave, tampon, sizeof tampon);
        return n > 0 ? std::string(tampon, static_cast<std::size_t>(n)) : std::string();
    }

    bool termine_par(const std::string& fin) const
    {
        return sortie.size() >= fin.size() &&
               sortie.compare(sortie.size() - fin.size(), fin.size(), fin) == 0;
    }

    int maitre = -1;
    int esclave = -1;
    pid_t meneur = -1; // the session leader, whose end mirrors the program's
    pid_t pid = -1;    // the program itself, which the signals are sent to
    int statut = 0;
    bool termine = false;
    std::string sortie;
    termios reglages_initiaux{};
};

// Brings the program to its prompt, which follows `avant`, and checks what it
// must look like there.
void jusqua_l_invite(SousTerminal& st, const std::string& avant = "FIN!\r\n")
{
    ASSERT_GT(st.pid, 0) << "the program did not start";
    ASSERT_TRUE(st.lire_jusqua(avant + kInvite)) << "got:\n" << st.sortie;
    EXPECT_EQ(st.sortie.find(kInvite), st.sortie.size() - kInvite.size())
        << "the prompt came before the end of the table";

    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(st.en_vie()) << "the program did not wait for a key";
    const termios pendant = st.reglages();
    EXPECT_EQ(pendant.c_lflag & (ICANON | ECHO), 0U) << "a key would need Enter or be echoed";
}

struct Touche {
    const char* nom;
    const char* octets;
};

// Names the case instead of dumping its bytes in test listings.
void PrintTo(const Touche& c, std::ostream* os)
{
    *os << c.nom;
}

class PauseTouche : public testing::TestWithParam<Touche>
{
};

// Any single key ends the wait; keys that send several bytes leave nothing
// behind for the shell, and Ctrl-C is a key like any other.
TEST_P(PauseTouche, UneToucheTermineEtRendLeTerminal)
{
    SousTerminal st;
    ASSERT_NO_FATAL_FAILURE(jusqua_l_invite(st));

    st.taper(GetParam().octets);
    ASSERT_TRUE(st.attendre_fin()) << "one key did not end the program";
    EXPECT_TRUE(WIFEXITED(st.statut) && WEXITSTATUS(st.statut) == 0);
    EXPECT_TRUE(st.lire_jusqua(kInvite + "\r\n")) << "the key was echoed or the line not ended";
    EXPECT_TRUE(memes_reglages(st.reglages(), st.reglages_initiaux));
    EXPECT_EQ(st.reste_a_lire(), "");
}

const Touche kTouches[] = {
    {"lettre", "x"},
    {"entree", "\r"},
    {"ctrl_c", "\x03"},
    {"fleche_haut", "\x1b[A"},
};

INSTANTIATE_TEST_SUITE_P(Pause, PauseTouche, testing::ValuesIn(kTouches),
                         [](const testing::TestParamInfo<Touche>& cas) { return cas.param.nom; });

// A signal from outside still ends the program as it asks, but not before the
// terminal is put back.
TEST(Pause, SignalExterieurRendLeTerminalPuisAgit)
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGALRM}) {
        SCOPED_TRACE(strsignal(sig));
        SousTerminal st;
        ASSERT_NO_FATAL_FAILURE(jusqua_l_invite(st));

        kill(st.pid, sig);
        ASSERT_TRUE(st.attendre_fin()) << "the signal did not end the program";
        EXPECT_TRUE(WIFSIGNALED(st.statut) && WTERMSIG(st.statut) == sig);
        EXPECT_TRUE(memes_reglages(st.reglages(), st.reglages_initiaux));
    }
}

// Whether the program is stopped, as the kernel reports it.
bool arrete(pid_t pid)
{
    char chemin[64];
    std::snprintf(chemin, sizeof chemin, "/proc/%d/stat", static_cast<int>(pid));
    std::FILE* f = std::fopen(chemin, "r");
    if (f == nullptr) {
        return false;
    }
    char etat = '?';
    const int lus = std::fscanf(f, "%*d (%*[^)]) %c", &etat);
    std::fclose(f);
    return lus == 1 && etat == 'T';
}

template <typename Condition> bool finit_par(Condition condition)
{
    const auto limite = std::chrono::steady_clock::now() + kDelai;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= limite) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// A stop hands the terminal back as it was, for the shell; the continue takes
// it raw again and the wait goes on, still for a single key.
TEST(Pause, ArretPuisReprise)
{
    for (int sig : {SIGTSTP, SIGTTIN}) {
        SCOPED_TRACE(strsignal(sig));
        SousTerminal st;
        ASSERT_NO_FATAL_FAILURE(jusqua_l_invite(st));

        kill(st.pid, sig);
        ASSERT_TRUE(finit_par([&] { return arrete(st.pid); })) << "the program did not stop";
        EXPECT_TRUE(memes_reglages(st.reglages(), st.reglages_initiaux))
            << "stopped with the terminal raw";

        st.sortie.clear();
        kill(st.pid, SIGCONT);
        ASSERT_NO_FATAL_FAILURE(jusqua_l_invite(st, "\r\n"));
        st.taper("x");
        ASSERT_TRUE(st.attendre_fin()) << "one key did not end the program after the continue";
        EXPECT_TRUE(WIFEXITED(st.statut) && WEXITSTATUS(st.statut) == 0);
        EXPECT_TRUE(memes_reglages(st.reglages(), st.reglages_initiaux));
    }
}

} // namespace
