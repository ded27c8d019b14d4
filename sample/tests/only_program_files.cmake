# Fails when the sample program directory holds anything but the program, its
# library, the code table, the price files and the settings file: a save dialog
# opened there should show the user's files only.
file(GLOB entries RELATIVE "${DIR}" "${DIR}/*")
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "^(Dyadmark|libTicvane\\.so|Code\\.txt|Dyadmark\\.ini|[0-9][0-9][0-9][0-9]\\.txt)$")
    message(FATAL_ERROR "unexpected entry in the sample directory: ${entry}")
  endif()
endforeach()
