# cmake -DNM=<nm> -DIMPORT_LIBRARY=<lib*.a> -DDLL=<name.dll> -DOUTPUT=<file.def> -P DelayLoadDef.cmake
# Writes the module-definition file of a system library from its MinGW import
# library: every name whose import pointer (__imp_<name>) the library defines.
execute_process(COMMAND ${NM} -g --defined-only ${IMPORT_LIBRARY}
    OUTPUT_VARIABLE symbols
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} cannot read ${IMPORT_LIBRARY}")
endif()
string(REGEX MATCHALL "[ \t]I __imp_[A-Za-z0-9_@?$]+" pointers "${symbols}")
set(exports)
foreach(pointer IN LISTS pointers)
    string(REGEX REPLACE "^[ \t]I __imp_" "" name "${pointer}")
    list(APPEND exports "${name}")
endforeach()
list(REMOVE_DUPLICATES exports)
list(SORT exports)
if(NOT exports)
    message(FATAL_ERROR "no exports found in ${IMPORT_LIBRARY}")
endif()
list(JOIN exports "\n" lines)
file(WRITE ${OUTPUT} "LIBRARY ${DLL}\nEXPORTS\n${lines}\n")
