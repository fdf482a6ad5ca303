# Two clean builds of the same commit, in any two folders and at any time,
# make the same release files byte for byte.
#
# SOURCE_DATE_EPOCH is the one date every generated file may carry: taken
# from the environment when set, else from the last commit. A new commit
# configures the build again (HEAD and the branch's ref file are configure
# dependencies); the commands that stamp a date have it on their command
# line, so a new date makes them run again.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE gitResult ERROR_QUIET)
    if(gitResult EQUAL 0)
      foreach(ref HEAD refs/heads packed-refs)
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path ${ref}
                        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                        OUTPUT_VARIABLE refPath OUTPUT_STRIP_TRAILING_WHITESPACE)
        get_filename_component(refPath "${refPath}" ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
        if(ref STREQUAL "refs/heads")
          execute_process(COMMAND ${GIT_EXECUTABLE} symbolic-ref -q HEAD
                          WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                          OUTPUT_VARIABLE branch OUTPUT_STRIP_TRAILING_WHITESPACE)
          # A detached HEAD (a tag or CI checkout) names its commit itself,
          # and HEAD is already a dependency.
          if(branch)
            string(REGEX REPLACE "^refs/heads" "${refPath}" refPath "${branch}")
          else()
            set(refPath "")
          endif()
        endif()
        if(refPath AND EXISTS "${refPath}" AND NOT IS_DIRECTORY "${refPath}")
          set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${refPath}")
        endif()
      endforeach()
    else()
      unset(SOURCE_DATE_EPOCH)
    endif()
  endif()
  # A source tree without its history: the date of its top-level list.
  if(NOT SOURCE_DATE_EPOCH)
    file(TIMESTAMP ${CMAKE_SOURCE_DIR}/CMakeLists.txt SOURCE_DATE_EPOCH "%s" UTC)
  endif()
endif()
if(NOT SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${SOURCE_DATE_EPOCH}\", not a number of seconds")
endif()

# The PE header's link time stays 0, and the paths of the source and build
# folders do not reach the binaries (the build folder is named last: it
# may lie inside the source folder, and GCC tries the last map first).
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")
add_link_options(-Wl,--no-insert-timestamp)
