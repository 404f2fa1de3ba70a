# Checks that the layout's prefetch hints reach the machine code: the
# disassembly of CContainerUI::PrefetchAhead in the framework library must hold
# a prefetch instruction. GCC once removed them all without a word (it took a
# function that only prefetches for one without any effect), and the layout of
# a large tree waited for memory at every child.
# Arguments: -DOBJDUMP=<objdump> -DLIBRARY=<libfacet.a>
execute_process(COMMAND "${OBJDUMP}" -d --no-show-raw-insn "${LIBRARY}"
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${LIBRARY}")
endif()
# A function's listing runs from its label to the next blank line.
set(label "<_ZNK5Facet12CContainerUI13PrefetchAheadEi>:")
string(FIND "${listing}" "${label}" start)
if(start LESS 0)
    message(FATAL_ERROR "CContainerUI::PrefetchAhead not found in ${LIBRARY}")
endif()
string(SUBSTRING "${listing}" ${start} -1 body)
string(FIND "${body}" "\n\n" end)
string(SUBSTRING "${body}" 0 ${end} body)
if(NOT body MATCHES "prefetch")
    message(FATAL_ERROR "CContainerUI::PrefetchAhead holds no prefetch instruction:\n${body}")
endif()
message(STATUS "CContainerUI::PrefetchAhead prefetches")
