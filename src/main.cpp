#include "aff_tab.h"
#include "fusion.h"
#include "pause_console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{

// A table cut short by a full disk or a closed output must not look like a
// successful run: the buffered text is pushed out now and any failed write,
// earlier or now, is reported.
bool sortie_ecrite()
{
    errno = 0;
    const bool videe = std::fflush(stdout) == 0;
    const int erreur = errno;
    if (videe && std::ferror(stdout) == 0) {
        return true;
    }
    if (erreur != 0) {
        std::fprintf(stderr, "fusion: erreur sur la sortie standard: %s\n", std::strerror(erreur));
    } else {
        std::fprintf(stderr, "fusion: erreur sur la sortie standard\n");
    }
    return false;
}

} // namespace

int main()
{
    int t1[5] = {1, 5, 11, 20, 100};
    int t2[7] = {2, 7, 8, 20, 70, 150, 200};
    const int n1 = 5;
    const int n2 = 7;
    int t[12];
    const int nf = n2 + n1;

    std::printf("             FUSION DE 2 TABLEAUX\n\n\n");
    fusion(t1, n1, t2, n2, t);
    aff_tab(t1, t2, t, n1, n2, nf);
    std::printf("\nFIN!\n");

    // Checked before the pause, so that the message is on screen while the
    // console waits.
    const int statut = sortie_ecrite() ? 0 : 1;
    pause_console();
    return statut;
}
