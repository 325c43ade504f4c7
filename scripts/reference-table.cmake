# Writes the reference engines' table of the user manual: the published
# peaks beside the model's, as "torqwell-cli reference --format markdown"
# prints them. Run by the build before the manual, so the page never shows
# figures of an older model:
#   cmake -DCLI=<torqwell-cli> -DLIBRARY=<examples/reference> -DOUTPUT=<file.md> -P scripts/reference-table.cmake
cmake_minimum_required(VERSION 3.25)
foreach(variable CLI LIBRARY OUTPUT)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()
execute_process(COMMAND ${CLI} reference --format markdown --library ${LIBRARY}
                OUTPUT_VARIABLE table ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "torqwell-cli reference failed (${status}): ${errors}")
endif()
file(WRITE ${OUTPUT}.tmp "${table}")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
