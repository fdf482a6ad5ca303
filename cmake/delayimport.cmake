# Delay-import libraries for the DLLs that are not Known DLLs on every
# Windows. A DLL imported the ordinary way is loaded before the program
# runs, from the program's folder if one lies there. Through a
# delay-import library the DLL loads at the first call into it, through
# the program's delay-load hook, which takes System32's copy.
#
# mingw-w64 ships no .def files, so each library is made from the export
# names of its import library (the __imp_ symbols). An imported target
# named as the library takes the place of -l<name> wherever a layer or a
# test links it.
#
# dlltool puts the address table that the delay-load helper fills in, and
# the name table beside it, into .idata, which binutils 2.44 and later
# link read-only: the first call into the DLL would crash. So both tables
# move to .data, where every binutils links them writable, in sections
# whose names keep them in the order the helper needs: per DLL, the
# head's entry, the functions', then the closing one. The functions'
# entries share one name, and the linker keeps those of both tables in the
# same order.
function(delay_import name dll)
  find_library(import_library_${name} NAMES ${name} REQUIRED)
  set(folder ${CMAKE_BINARY_DIR}/delayimp)
  set(def ${folder}/${name}.def)
  set(library ${folder}/lib${name}_delay.a)
  file(MAKE_DIRECTORY ${folder})
  execute_process(COMMAND ${CMAKE_NM} -g ${import_library_${name}}
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
  set(exports "")
  foreach(import ${imports})
    string(REPLACE " I __imp_" "" export "${import}")
    string(APPEND exports "${export}\n")
  endforeach()
  file(WRITE ${def} "LIBRARY ${dll}\nEXPORTS\n${exports}")
  file(REMOVE ${library})
  execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll} --output-delaylib ${library}
                  COMMAND_ERROR_IS_FATAL ANY)

  set(members ${folder}/${name})
  file(REMOVE_RECURSE ${members})
  file(MAKE_DIRECTORY ${members})
  execute_process(COMMAND ${CMAKE_AR} t ${library} OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "[^\n]*_h\\.o" head "${listing}")
  string(REGEX MATCH "[^\n]*_t\\.o" tail "${listing}")
  set(data "alloc,load,contents,data")
  execute_process(COMMAND ${CMAKE_OBJCOPY} --rename-section .idata$4=.data$didat_${name}_4b,${data}
                                           --rename-section .idata$5=.data$didat_${name}_5b,${data} ${library}
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_AR} x ${library} ${head} ${tail} WORKING_DIRECTORY ${members}
                  COMMAND_ERROR_IS_FATAL ANY)
  foreach(part head tail)
    if(part STREQUAL "head")
      set(place a)
    else()
      set(place c)
    endif()
    execute_process(COMMAND ${CMAKE_OBJCOPY}
                            --rename-section .data$didat_${name}_4b=.data$didat_${name}_4${place}
                            --rename-section .data$didat_${name}_5b=.data$didat_${name}_5${place} ${${part}}
                    WORKING_DIRECTORY ${members} COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  execute_process(COMMAND ${CMAKE_AR} r ${library} ${head} ${tail} WORKING_DIRECTORY ${members}
                  COMMAND_ERROR_IS_FATAL ANY)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${library})
endfunction()

delay_import(winmm WINMM.dll)
delay_import(comctl32 COMCTL32.dll)
delay_import(comdlg32 comdlg32.dll)
delay_import(gdiplus gdiplus.dll)
set(DELAY_LOADED WINMM.dll COMCTL32.dll comdlg32.dll gdiplus.dll)

# check_delay_imports(TARGET [--delay-loaded]): after each link, the
# program's delay imports are checked as the loader and the helper will
# meet them (tools/check_imports.py); a program that fails is removed.
# With --delay-loaded every one of the DLLs above must be delay-loaded.
function(check_delay_imports target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${PYTHON} ${CMAKE_SOURCE_DIR}/tools/check_imports.py ${CMAKE_NM} $<TARGET_FILE:${target}> ${ARGN}
            ${DELAY_LOADED}
    VERBATIM)
endfunction()
