# Release programs (every build type but Debug) ship without debug
# information: it would be mapped with the program and stay resident.
# facet_split_debug_info(<target>) moves it, with the symbols, into
# <program>.debug beside the program after each link, and leaves a debug link
# in the program by which a debugger finds that file when a crash is analysed.
function(facet_split_debug_info target)
    if(NOT CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel|RelWithDebInfo)$" OR NOT CMAKE_OBJCOPY)
        return()
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND "${CMAKE_OBJCOPY}" --only-keep-debug "$<TARGET_FILE:${target}>" "$<TARGET_FILE:${target}>.debug"
        COMMAND "${CMAKE_OBJCOPY}" --strip-all "--add-gnu-debuglink=$<TARGET_FILE:${target}>.debug"
                "$<TARGET_FILE:${target}>"
        WORKING_DIRECTORY "$<TARGET_FILE_DIR:${target}>"
        COMMENT "Moving the debug information of ${target} into a .debug file beside it"
        VERBATIM)
endfunction()
