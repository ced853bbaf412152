# Runs a fuzz target for a bounded time on a fresh scratch corpus, seeded read-only with sample
# files. Any crash, leak, hang or failed check ends it non-zero.
# Expects FUZZER, NAME, SEEDS (a folder), SEED_GLOB (file pattern inside it), MAX_LEN, WORK and
# SECONDS; DICT (a libFuzzer dictionary) is optional.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/seeds" "${WORK}/artifacts")
file(GLOB seeds "${SEEDS}/${SEED_GLOB}")
if(NOT seeds)
  message(FATAL_ERROR "${NAME}: no seed files ${SEED_GLOB} in ${SEEDS}")
endif()
file(COPY ${seeds} DESTINATION "${WORK}/seeds")
set(dictionary "")
if(DICT)
  set(dictionary "-dict=${DICT}")
endif()
execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -max_len=${MAX_LEN} -timeout=20 -rss_limit_mb=2560
          -print_final_stats=1 ${dictionary} "-artifact_prefix=${WORK}/artifacts/" "${WORK}/corpus" "${WORK}/seeds"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NAME} failed (${result}); the input is in ${WORK}/artifacts")
endif()
