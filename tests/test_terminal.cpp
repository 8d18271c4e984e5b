// The program at a real terminal: it must wait for one key after "FIN!" and
// give the terminal back exactly as it found it, whatever ends the wait.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
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
const auto kDelai = 20s; // generous: sanitizer builds start slowly

bool memes_reglages(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// The program on the slave side of a pseudo-terminal, as its controlling
// terminal. The test keeps the slave open to read its settings.
struct SousTerminal {
    SousTerminal()
    {
        if (openpty(&maitre, &esclave, nullptr, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "openpty: " << std::strerror(errno);
            return;
        }
        tcgetattr(esclave, &reglages_initiaux);
        pid = fork();
        if (pid == 0) {
            setsid();
            ioctl(esclave, TIOCSCTTY, 0);
            dup2(esclave, STDIN_FILENO);
            dup2(esclave, STDOUT_FILENO);
            dup2(esclave, STDERR_FILENO);
            close(maitre);
            close(esclave);
            execl(FUSION_EXE, FUSION_EXE, static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    ~SousTerminal()
    {
        if (pid > 0 && !termine) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(maitre);
        close(esclave);
    }

    SousTerminal(const SousTerminal&) = delete;
    SousTerminal& operator=(const SousTerminal&) = delete;

    // Reads what the program wrote until `fin` ends it or time runs out.
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
            }
        }
        return termine_par(fin);
    }

    bool en_vie()
    {
        return !termine && waitpid(pid, &statut, WNOHANG) == 0;
    }

    // Waits for the program to end; false if it is still running.
    bool attendre_fin()
    {
        const auto limite = std::chrono::steady_clock::now() + kDelai;
        while (std::chrono::steady_clock::now() < limite) {
            if (waitpid(pid, &statut, WNOHANG) == pid) {
                termine = true;
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
    pid_t pid = -1;
    int statut = 0;
    bool termine = false;
    std::string sortie;
    termios reglages_initiaux{};
};

// Brings the program to its prompt and checks what it must look like there.
void jusqua_l_invite(SousTerminal& st)
{
    ASSERT_TRUE(st.lire_jusqua("FIN!\r\n" + kInvite)) << "got:\n" << st.sortie;
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
                         [](const testing::TestParamInfo<Touche>& info) { return info.param.nom; });

// A signal from outside still ends the program as it asks, but not before the
// terminal is put back.
TEST(Pause, SignalExterieurRendLeTerminalPuisAgit)
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(sig));
        SousTerminal st;
        ASSERT_NO_FATAL_FAILURE(jusqua_l_invite(st));

        kill(st.pid, sig);
        ASSERT_TRUE(st.attendre_fin()) << "the signal did not end the program";
        EXPECT_TRUE(WIFSIGNALED(st.statut) && WTERMSIG(st.statut) == sig);
        EXPECT_TRUE(memes_reglages(st.reglages(), st.reglages_initiaux));
    }
}

} // namespace
