# The suite's temporary folder, run by ctest before and after the tests:
#   cmake -DFOLDER=<folder> -DSTEP=prepare|check -P tempcheck.cmake
# prepare: the folder exists and is empty (what an interrupted run left goes).
# check: the folder is empty, or the names left in it are reported and the
# step fails; either way the folder goes.
file(GLOB left LIST_DIRECTORIES true RELATIVE "${FOLDER}" "${FOLDER}/*" "${FOLDER}/.*")
if(STEP STREQUAL "prepare")
  file(REMOVE_RECURSE "${FOLDER}")
  file(MAKE_DIRECTORY "${FOLDER}")
elseif(STEP STREQUAL "check")
  file(REMOVE_RECURSE "${FOLDER}")
  if(left)
    list(JOIN left "\n  " names)
    message(FATAL_ERROR "The tests left these behind in their temporary folder ${FOLDER}:\n  ${names}")
  endif()
else()
  message(FATAL_ERROR "STEP must be prepare or check, not '${STEP}'")
endif()
