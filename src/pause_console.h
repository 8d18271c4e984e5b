#ifndef FUSION_PAUSE_CONSOLE_H
#define FUSION_PAUSE_CONSOLE_H

// Holds the console until the user presses a key, so that a window opened
// just for this program stays readable. Standard output is flushed first.
//
// On Windows this is the command interpreter's own "pause". Elsewhere the
// shell has no such command, so the same wait is done here, and only when
// both standard input and standard output are terminals: a script, a pipe or
// a file never waits.
void pause_console();

#endif
