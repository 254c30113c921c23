# Writes a manual page from a program's --help text, so the page never drifts from the program.
# cmake -DPROGRAM=path -DNAME=qdx -DSUMMARY="..." -DVERSION=6.5 -DOUTPUT=qdx.1 -P ManPage.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE result
                ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed (${result}): ${errors}")
endif()
# roff: a backslash is written \e, a line starting with a dot or quote is protected by \&.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TOUPPER "${NAME}" upper)
file(WRITE ${OUTPUT}
".TH ${upper} 1 \"\" \"SetupQDX ${VERSION}\" \"User Commands\"\n"
".SH NAME\n${NAME} \\- ${SUMMARY}\n"
".SH DESCRIPTION\n.nf\n${help}.fi\n"
".SH SEE ALSO\nsetupqdx, qdx, qdx-emulator; serial devices need membership of the group dialout.\n")
