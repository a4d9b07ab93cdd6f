# Turns one screenshot (PNG) into an EPS file for the guide: pngtopnm | pnmtops, at 96 dots
# per inch so that a screen pixel keeps its size; run with -P and PNGTOPNM, PNMTOPS, PNG, EPS.
execute_process(
    COMMAND ${PNGTOPNM} ${PNG}
    COMMAND ${PNMTOPS} -noturn -nocenter -rle -dpi 96
    OUTPUT_FILE ${EPS}
    RESULTS_VARIABLE results)
foreach(result IN LISTS results)
    if(NOT result EQUAL 0)
        file(REMOVE ${EPS})
        message(FATAL_ERROR "Could not turn ${PNG} into ${EPS}")
    endif()
endforeach()
