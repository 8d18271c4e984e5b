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
#   SUFFIX_FILE  file holding what the host prints after the program's own
#              output (the prompt of the Windows "pause")
#   ANY_SUFFIX if true, anything may follow the expected output (the prompt
#              of a real Windows, which speaks the language of the system)

if(CMAKE_HOST_WIN32)
    set(entree_vide NUL)
else()
    set(entree_vide /dev/null)
endif()

if(MODE STREQUAL "sortie")
    set(fichier_sortie "${CMAKE_CURRENT_BINARY_DIR}/sortie_obtenue.txt")
    set(fichier_erreurs "${CMAKE_CURRENT_BINARY_DIR}/erreurs_obtenues.txt")
    execute_process(
        COMMAND ${EMULATOR} ${PROGRAM} un deux "trois quatre"
        INPUT_FILE ${entree_vide}
        OUTPUT_FILE "${fichier_sortie}"
        ERROR_FILE "${fichier_erreurs}"
        RESULT_VARIABLE statut)
    file(READ "${fichier_erreurs}" erreurs)

    # Compared as hexadecimal, since CMake strings lose the CR of CR LF.
    file(READ "${EXPECTED}" attendu)
    if(CRLF)
        string(REPLACE "\n" "\r\n" attendu "${attendu}")
    endif()
    if(SUFFIX_FILE)
        file(READ "${SUFFIX_FILE}" suffixe)
        string(APPEND attendu "${suffixe}")
    endif()
    set(fichier_attendu "${CMAKE_CURRENT_BINARY_DIR}/sortie_attendue_ici.txt")
    file(WRITE "${fichier_attendu}" "${attendu}")

    file(READ "${fichier_attendu}" attendu_hex HEX)
    file(READ "${fichier_sortie}" sortie_hex HEX)
    set(conforme FALSE)
    if(sortie_hex STREQUAL attendu_hex)
        set(conforme TRUE)
    elseif(ANY_SUFFIX)
        string(FIND "${sortie_hex}" "${attendu_hex}" position)
        if(position EQUAL 0)
            set(conforme TRUE)
        endif()
    endif()
    if(NOT conforme)
        file(READ "${fichier_sortie}" sortie)
        message(FATAL_ERROR "output differs from ${fichier_attendu}; got (kept in "
            "${fichier_sortie}):\n${sortie}")
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
        INPUT_FILE ${entree_vide}
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
