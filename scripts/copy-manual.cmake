# Copies the user manual's pages and pictures into the folder the program
# shows them from (Help > Contents, F1): beside the program in a build tree,
# <prefix>/share/torqwell/manual once installed. A line
# "<!-- generated: NAME.md -->" of a page is replaced by the part the build
# wrote (GENERATED/NAME.md), as in the PDF.
#   cmake -DMANUAL_DIR=<docs/manual> -DGENERATED=<folder> -DOUTPUT=<folder> -P scripts/copy-manual.cmake
cmake_minimum_required(VERSION 3.25)
foreach(variable MANUAL_DIR GENERATED OUTPUT)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})
file(GLOB pages ${MANUAL_DIR}/*.md)
foreach(page ${pages})
  file(READ ${page} text)
  string(REGEX MATCHALL "<!-- generated: [A-Za-z0-9_.-]+\\.md -->" markers "${text}")
  foreach(marker ${markers})
    string(REGEX REPLACE "<!-- generated: ([A-Za-z0-9_.-]+\\.md) -->" "\\1" part "${marker}")
    if(NOT EXISTS ${GENERATED}/${part})
      message(FATAL_ERROR "${page} needs ${GENERATED}/${part}, which the build has not written")
    endif()
    file(READ ${GENERATED}/${part} generated)
    string(REPLACE "${marker}" "${generated}" text "${text}")
  endforeach()
  get_filename_component(name ${page} NAME)
  file(WRITE ${OUTPUT}/${name} "${text}")
endforeach()
file(COPY ${MANUAL_DIR}/images DESTINATION ${OUTPUT} FILES_MATCHING PATTERN "*.png")
