# Runs the decoder fuzz target for a bounded time on a fresh scratch corpus, seeded read-only
# with the sample cartridge images. Any crash, leak, hang or failed check ends it non-zero.
# Expects FUZZER, SEEDS, WORK and SECONDS.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/seeds" "${WORK}/artifacts")
file(GLOB seeds "${SEEDS}/*.nes")
file(COPY ${seeds} DESTINATION "${WORK}/seeds")
# 262160 bytes is the large layout's length; a few more let the fuzzer cross it both ways.
execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -max_len=262176 -timeout=20 -rss_limit_mb=2560
          -print_final_stats=1 "-artifact_prefix=${WORK}/artifacts/" "${WORK}/corpus" "${WORK}/seeds"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "fuzz_decoder failed (${result}); the input is in ${WORK}/artifacts")
endif()
