# mevra_delay_load(<target> <library>...)
# Makes the named system libraries (import-library names such as gdiplus)
# delay-load imports of the executable <target> instead of entries of its import
# table, so that Windows does not load them before the program's first line.
#   MSVC:  /DELAYLOAD with the platform's delayimp library.
#   MinGW: a delay-import library per system library, made with dlltool from the
#          toolchain's own import library (every name it exports). It goes onto
#          the link line right after the program's own libraries, so it takes
#          their imports before the ordinary import library further on can. Its
#          import descriptor is named __DELAY_IMPORT_DESCRIPTOR_lib<library>_delay_a.
# Either way the target's sources see MEVRA_DELAY_LOADED_LIBRARIES, which lists
# the libraries as MEVRA_DELAY_LOADED(<library>) MEVRA_DELAY_LOADED(<library>) ...
set(_MEVRA_DELAY_LOAD_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/DelayLoadDef.cmake)

function(mevra_delay_load target)
    set(names)
    foreach(library IN LISTS ARGN)
        string(APPEND names "MEVRA_DELAY_LOADED(${library}) ")
    endforeach()
    target_compile_definitions(${target} PRIVATE "MEVRA_DELAY_LOADED_LIBRARIES=${names}")
    if(MSVC)
        foreach(library IN LISTS ARGN)
            target_link_options(${target} PRIVATE /DELAYLOAD:${library}.dll)
        endforeach()
        target_link_libraries(${target} PRIVATE delayimp)
        return()
    endif()
    if(NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
        message(FATAL_ERROR "delay-load imports need dlltool and nm of the MinGW tool chain")
    endif()
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/delayload)
    file(MAKE_DIRECTORY ${folder})
    set(delayLibraries)
    foreach(library IN LISTS ARGN)
        find_library(MEVRA_IMPORT_LIBRARY_${library} NAMES lib${library}.a REQUIRED)
        set(importLibrary ${MEVRA_IMPORT_LIBRARY_${library}})
        set(definitions ${folder}/${library}.def)
        set(delayLibrary ${folder}/lib${library}_delay.a)
        # Made in its folder under a bare name: dlltool names the descriptor after it.
        add_custom_command(OUTPUT ${delayLibrary}
            COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DIMPORT_LIBRARY=${importLibrary}
                -DDLL=${library}.dll -DOUTPUT=${definitions} -P ${_MEVRA_DELAY_LOAD_SCRIPT}
            COMMAND ${CMAKE_DLLTOOL} --input-def ${library}.def --dllname ${library}.dll
                --output-delaylib lib${library}_delay.a
            WORKING_DIRECTORY ${folder}
            DEPENDS ${importLibrary} ${_MEVRA_DELAY_LOAD_SCRIPT}
            COMMENT "Delay-load import library for ${library}.dll"
            VERBATIM)
        list(APPEND delayLibraries ${delayLibrary})
    endforeach()
    add_custom_target(${target}_delay_imports DEPENDS ${delayLibraries})
    add_dependencies(${target} ${target}_delay_imports)
    target_link_libraries(${target} PRIVATE ${delayLibraries})
endfunction()
