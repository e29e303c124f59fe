# kv_add_folder_library(name folder...): a static library of every source in the given folders
# (a folder's main.cpp belongs to its executable, not to the library). A folder without sources yet
# still gets a library, so later work only adds files.
function(kv_add_folder_library name)
  set(sources "")
  foreach(folder IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    list(FILTER found EXCLUDE REGEX "/main\\.cpp$")
    list(APPEND sources ${found})
  endforeach()
  set(stub ${CMAKE_BINARY_DIR}/empty/${name}.cpp)
  if(NOT EXISTS ${stub})
    file(WRITE ${stub} "// An empty unit, so that a library with no sources yet can be built.\n")
  endif()
  add_library(${name} STATIC ${sources} ${stub})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network)
endfunction()
