# One deterministic libFuzzer run: seed 1, a fixed number of executions, new
# inputs kept in a fresh work folder (never in the seed corpus), and a crash
# saved beside it as crash-<hash>.
#   cmake -DFUZZER=exe -DWORK=dir -DSEEDS=dir -DDICT=file -DRUNS=n -DMAX_LEN=n -P RunFuzz.cmake
foreach(var FUZZER WORK SEEDS DICT RUNS MAX_LEN)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "RunFuzz.cmake needs -D${var}=...")
    endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
execute_process(
    COMMAND ${FUZZER} ${WORK}/corpus ${SEEDS} -seed=1 -runs=${RUNS} -max_len=${MAX_LEN} -dict=${DICT}
            -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=${WORK}/
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(GLOB artifacts ${WORK}/crash-* ${WORK}/leak-* ${WORK}/timeout-* ${WORK}/oom-*)
    message(FATAL_ERROR "fuzz run failed (${result}); input kept: ${artifacts}")
endif()
