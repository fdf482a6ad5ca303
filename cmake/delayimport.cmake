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
  execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll} --output-delaylib ${library}
                  COMMAND_ERROR_IS_FATAL ANY)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${library})
endfunction()

delay_import(winmm WINMM.dll)
delay_import(comctl32 COMCTL32.dll)
delay_import(comdlg32 comdlg32.dll)
delay_import(gdiplus gdiplus.dll)
