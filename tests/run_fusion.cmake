# Runs the program the way a script does: arguments it must ignore, standard
# input from /dev/null, no terminal. Used by CTest with -P.
#
#   PROGRAM    the executable
#   EMULATOR   optional command that runs it (wine for the Windows build)
#   MODE       "sortie": the output must equal EXPECTED byte for byte, with
#              nothing on standard error and status 0;
#              "disque_plein": standard output goes to /dev/full, and the run
#              must fail with status 1 and say so on standard error
#   EXPECTED   file holding the expected output (MODE sortie)
#   CRLF       if true, line ends of EXPECTED are turned into CR LF first
#   SUFFIX     text the host prints after the program's own output (the
#              prompt of the Windows "pause")

if(MODE STREQUAL "sortie")
    execute_process(
        COMMAND ${EMULATOR} ${PROGRAM} un deux "trois quatre"
        INPUT_FILE /dev/null
        OUTPUT_VARIABLE sortie
        ERROR_VARIABLE erreurs
        RESULT_VARIABLE statut)

    file(READ "${EXPECTED}" attendu)
    if(CRLF)
        string(REPLACE "\n" "\r\n" attendu "${attendu}")
    endif()
    string(APPEND attendu "${SUFFIX}")

    if(NOT sortie STREQUAL attendu)
        file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/sortie_obtenue.txt" "${sortie}")
        message(FATAL_ERROR "output differs from ${EXPECTED}; got (also in "
            "${CMAKE_CURRENT_BINARY_DIR}/sortie_obtenue.txt):\n${sortie}")
    endif()
    if(NOT erreurs STREQUAL "")
        message(FATAL_ERROR "unexpected standard error:\n${erreurs}")
    endif()
    if(NOT statut STREQUAL "0")
        message(FATAL_ERROR "exit status ${statut}, expected 0")
    endif()

elseif(MODE STREQUAL "disque_plein")
    execute_process(
        COMMAND ${EMULATOR} ${PROGRAM}
        INPUT_FILE /dev/null
        OUTPUT_FILE /dev/full
        ERROR_VARIABLE erreurs
        RESULT_VARIABLE statut)

    if(NOT statut STREQUAL "1")
        message(FATAL_ERROR "exit status ${statut} with a full output, expected 1")
    endif()
    if(NOT erreurs MATCHES "^fusion: [^\n]+\n$")
        message(FATAL_ERROR "expected one line naming the program on standard error, got:\n${erreurs}")
    endif()

else()
    message(FATAL_ERROR "unknown MODE '${MODE}'")
endif()
