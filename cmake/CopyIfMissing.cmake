# Lays down a default file without overwriting what the user has changed since.
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
