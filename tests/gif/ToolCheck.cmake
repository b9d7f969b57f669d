# Runs tindra-gif on a small animation: info lists frames and extensions, decode writes one PGM and
# one palette a frame with the right sizes, recode gives a file that decodes to the same planes, and
# a refused file exits non-zero with the codec's text on stderr. A recode that cannot be written (a
# pixel beyond the colour table, a full device) exits non-zero and leaves an existing target as it was;
# usage errors exit 2.
# Called with -DTOOL=<tindra-gif> -DGIF=<file> -DWORK=<scratch dir> -DBAD=<refused file>
# -DUNWRITABLE=<file that reads but cannot be written>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/a ${WORK}/b)

execute_process(COMMAND ${TOOL} info ${GIF} OUTPUT_VARIABLE info RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT info MATCHES "frames: 2" OR NOT info MATCHES "looping \"NETSCAPE2.0\": loop count 0"
   OR NOT info MATCHES "delay 10" OR NOT info MATCHES "warnings: 0")
  message(FATAL_ERROR "info: rc ${rc}\n${info}")
endif()

execute_process(COMMAND ${TOOL} decode ${GIF} ${WORK}/a RESULT_VARIABLE rc)
file(READ ${WORK}/a/frame-000.pgm pgm HEX)
file(SIZE ${WORK}/a/frame-001.pal pal)
if(NOT rc EQUAL 0 OR NOT pgm MATCHES "^50350a3220320a3235350a" OR NOT pal EQUAL 6)
  message(FATAL_ERROR "decode: rc ${rc}, pgm ${pgm}, palette ${pal} bytes")
endif()

execute_process(COMMAND ${TOOL} recode ${GIF} ${WORK}/re.gif RESULT_VARIABLE rc)
execute_process(COMMAND ${TOOL} decode ${WORK}/re.gif ${WORK}/b RESULT_VARIABLE rc2)
file(READ ${WORK}/b/frame-000.pgm again HEX)
if(NOT rc EQUAL 0 OR NOT rc2 EQUAL 0 OR NOT again STREQUAL pgm)
  message(FATAL_ERROR "recode: rc ${rc}/${rc2}")
endif()

execute_process(COMMAND ${TOOL} info ${BAD} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "Unknown extension type")
  message(FATAL_ERROR "refused file: rc ${rc}, stderr ${err}")
endif()

# Usage errors go to stderr with exit status 2; --help and --version go to stdout with 0.
foreach(args "frobnicate;x" "info" "decode;${GIF}")
  execute_process(COMMAND ${TOOL} ${args} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR NOT err MATCHES "Usage: tindra-gif info FILE")
    message(FATAL_ERROR "usage error '${args}': rc ${rc}, stdout '${out}', stderr '${err}'")
  endif()
endforeach()
execute_process(COMMAND ${TOOL} --help RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT out MATCHES "recode IN OUT")
  message(FATAL_ERROR "--help: rc ${rc}, stdout '${out}', stderr '${err}'")
endif()
execute_process(COMMAND ${TOOL} --version RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "^tindra-gif [0-9]+\\.[0-9]+")
  message(FATAL_ERROR "--version: rc ${rc}, stdout '${out}'")
endif()

file(WRITE ${WORK}/kept.gif "keep")
execute_process(COMMAND ${TOOL} recode ${UNWRITABLE} ${WORK}/kept.gif RESULT_VARIABLE rc ERROR_VARIABLE err)
file(READ ${WORK}/kept.gif kept)
if(rc EQUAL 0 OR NOT err MATCHES "Color not in color table" OR NOT kept STREQUAL "keep")
  message(FATAL_ERROR "failed recode: rc ${rc}, stderr ${err}, target now '${kept}'")
endif()

if(EXISTS /dev/full)
  execute_process(COMMAND ${TOOL} recode ${GIF} /dev/full RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(rc EQUAL 0)
    message(FATAL_ERROR "recode to /dev/full exited 0")
  endif()
endif()
