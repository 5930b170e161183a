# One conversion of flipdeck_add_animation, run as `cmake -P` by the build:
#   -DFLIPDECK= -DKIT= the programs; -DTAF= the animation; -DNAME= its name;
#   -DC= -DH= -DSYMBOLS= -DDEPFILE= the outputs; -DPREFIX= the symbols' prefix.
# flipdeck writes the C to a temporary name, which takes the real one only
# when everything else is in place: a failed run must leave nothing that
# looks up to date.
get_filename_component(taf_dir "${TAF}" DIRECTORY)
set(part "${C}.part")
file(REMOVE "${part}")

function(fail why)
  file(REMOVE "${part}" "${C}" "${H}" "${SYMBOLS}")
  # check names the file and line at fault, as compilers do.
  execute_process(COMMAND "${KIT}" check --header "${H}" "${TAF}" WORKING_DIRECTORY "${taf_dir}")
  message(FATAL_ERROR "flipdeck: ${NAME}: ${why}")
endfunction()

execute_process(COMMAND "${FLIPDECK}" "-o${part}" "-e${H}" "${TAF}"
                WORKING_DIRECTORY "${taf_dir}" RESULT_VARIABLE status
                OUTPUT_VARIABLE console ERROR_VARIABLE boxes)
if(NOT status EQUAL 0)
  fail("${TAF} did not convert:\n${console}${boxes}")
endif()
# flipdeck writes the header only with the frame sequence on.
if(NOT EXISTS "${H}")
  fail("${TAF} has no frame sequence (FRAME_ANIM), so flipdeck wrote no ${H}, which its C includes")
endif()
execute_process(COMMAND "${KIT}" deps "${TAF}" -o "${C}" -e "${H}" --depfile "${DEPFILE}"
                WORKING_DIRECTORY "${taf_dir}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  fail("flipdeck-kit deps could not list the files ${TAF} reads")
endif()
# CMake reads the dependency file itself, for Ninja as for make, and takes
# deps' "\\:" for a backslash and a colon where make and Ninja take a colon;
# a bare colon inside a path it reads as it is. deps writes a backslash
# before a colon only to escape it.
file(READ "${DEPFILE}" rules)
string(REPLACE "\\:" ":" cmake_rules "${rules}")
if(NOT cmake_rules STREQUAL rules)
  file(WRITE "${DEPFILE}.part" "${cmake_rules}")
  file(RENAME "${DEPFILE}.part" "${DEPFILE}")
endif()

# The symbols the C defines, under the names PREFIX gives them; the camera
# table's size comes from the C itself.
file(STRINGS "${part}" matrix REGEX "^CAnmCtrlTxture\\* gCamMatrix\\[")
string(REGEX MATCH "\\[[0-9]+\\]\\[[0-9]+\\]" size "${matrix}")
string(MAKE_C_IDENTIFIER "FLIPDECK_${NAME}_SYMBOLS_H" guard)
string(TOUPPER "${guard}" guard)
# The TAF by its file name alone: "*/" in a path, as in a folder "y*",
# would end the comment.
get_filename_component(taf_name "${TAF}" NAME)
set(text "/* The symbols of animation ${NAME}, converted from ${taf_name}. */\n")
string(APPEND text "/* Written by flipdeck_add_animation: do not edit. */\n")
string(APPEND text "#ifndef ${guard}\n#define ${guard}\n\n#include <plinth.h>\n#include \"flipdeck.h\"\n\n")
string(APPEND text "extern CAnmCtrlHeader* ${PREFIX}gAnimeCmd[];\n")
string(APPEND text "extern CAnmCtrlTxture* ${PREFIX}gCamMatrix${size};\n")
string(APPEND text "extern u32 ${PREFIX}gCamXSize;\nextern u32 ${PREFIX}gCamYSize;\n\n#endif\n")
file(WRITE "${SYMBOLS}.part" "${text}")
file(RENAME "${SYMBOLS}.part" "${SYMBOLS}")
file(RENAME "${part}" "${C}")
