# Runs in CPack before the package is made: strips the staged binary of its symbols and of the
# compiler's .comment and .note sections, as Debian's dh_strip does.
find_program(STRIP_PROGRAM strip REQUIRED)
file(GLOB_RECURSE binaries "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/usr/bin/*"
    "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
if(NOT binaries)
    message(FATAL_ERROR "No binary to strip below ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(binary IN LISTS binaries)
    execute_process(COMMAND ${STRIP_PROGRAM} --remove-section=.comment --remove-section=.note
        --strip-unneeded "${binary}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
