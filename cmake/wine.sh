#!/bin/sh
# Runs a Windows program under wine, as the tests need it:
#
#   cmake/wine.sh LOADER PREFIX PROGRAM [ARGUMENT...]
#
# LOADER is the wine that runs it (/usr/bin/wine, or wine64 named), PREFIX a
# wine prefix of the caller's own. Wine's debug channels are silenced and the
# locale is C, so that the program's output is exact.
#
# Wine leaves its server, and the services of a booted prefix, running after
# the program. Started by the program, they would inherit its standard output
# and error and hold the reader's pipe open until they exit: every CTest
# test would wait some 3 s for them. So a server that stays a minute after
# its last client is started first, and the prefix booted with it, both with
# their output sent to a log beside the prefix. The lock keeps tests run side
# by side from booting the prefix twice.
set -eu
loader=$1
prefix=$2
shift 2

export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C
mkdir -p "$prefix"
(
    flock 9
    # Status 0: a new server, whose session has no services yet; 2: the
    # prefix already has a server, which is left as it is.
    # Neither keeps the lock's descriptor, or it would hold the lock as
    # long as it lives.
    if wineserver -p60 </dev/null >>"$prefix.log" 2>&1 9>&-; then
        "$loader" wineboot --init </dev/null >>"$prefix.log" 2>&1 9>&-
        # A new prefix may still be settling when wineboot returns: once,
        # the first program run after it ended at once with status 66 and
        # no output. A trivial program that runs through is the sign that
        # the prefix is ready.
        essais=0
        until "$loader" cmd /c exit 0 </dev/null >>"$prefix.log" 2>&1 9>&-; do
            essais=$((essais + 1))
            if [ "$essais" -ge 20 ]; then
                echo "wine.sh: the prefix $prefix does not start programs" >&2
                exit 1
            fi
            sleep 1
        done
    fi
) 9>"$prefix.lock"
exec "$loader" "$@"
