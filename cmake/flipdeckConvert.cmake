# One conversion of flipdeck_add_animation, run as `cmake -P` by the build:
#   -DFLIPDECK= -DKIT= the programs; -DTAF= the animation; -DNAME= its name;
#   -DC= -DH= -DSYMBOLS= -DDEPFILE= the outputs; -DPREFIX= the symbols'
#   prefix; -DRESTAT=ON when the build (Ninja) sees that an output kept its
#   time, so that one whose bytes do not change is left as it is.
# flipdeck writes the C to a temporary name, which takes the real one only
# when everything else is in place: a failed run must leave nothing that
# looks up to date.
get_filename_component(taf_dir "${TAF}" DIRECTORY)
set(part "${C}.part")
set(kept_h "${H}.kept")
file(REMOVE "${part}" "${kept_h}")

function(fail why)
  file(REMOVE "${part}" "${kept_h}" "${C}" "${H}" "${SYMBOLS}")
  # check names the file and line at fault, as compilers do.
  execute_process(COMMAND "${KIT}" check --header "${H}" "${TAF}" WORKING_DIRECTORY "${taf_dir}")
  message(FATAL_ERROR "flipdeck: ${NAME}: ${why}")
endfunction()

# Puts `part` in the place of `file` when their bytes differ (or always,
# without RESTAT), and drops it otherwise: a file that does not change
# keeps its time, and nothing made from it is made again.
# Files of one size are compared here when small (a process costs more),
# by `cmake -E compare_files` when large.
function(replace_if_changed part file)
  if(RESTAT AND EXISTS "${file}")
    file(SIZE "${part}" new_size)
    file(SIZE "${file}" old_size)
    set(differ 1)
    if(new_size EQUAL old_size AND new_size LESS 65536)
      file(READ "${part}" new_text)
      file(READ "${file}" old_text)
      if(new_text STREQUAL old_text)
        set(differ 0)
      endif()
    elseif(new_size EQUAL old_size)
      execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${part}" "${file}"
                      RESULT_VARIABLE differ)
    endif()
    if(differ EQUAL 0)
      file(REMOVE "${part}")
      return()
    endif()
  endif()
  file(RENAME "${part}" "${file}")
endfunction()

# flipdeck writes the header under its own name, which the C includes: the
# one there is kept aside, to go back when the new one says the same.
if(RESTAT AND EXISTS "${H}")
  file(RENAME "${H}" "${kept_h}")
endif()
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
if(EXISTS "${kept_h}")
  file(RENAME "${H}" "${H}.part")
  file(RENAME "${kept_h}" "${H}")
  replace_if_changed("${H}.part" "${H}")
endif()
# CMake reads the dependency file itself, for Ninja as for make, and takes
# "\\:" for a backslash and a colon where make and Ninja take a colon: deps
# --cmake leaves a colon in a path bare.
execute_process(COMMAND "${KIT}" deps "${TAF}" -o "${C}" -e "${H}" --depfile "${DEPFILE}" --cmake
                WORKING_DIRECTORY "${taf_dir}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  fail("flipdeck-kit deps could not list the files ${TAF} reads")
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
replace_if_changed("${SYMBOLS}.part" "${SYMBOLS}")
replace_if_changed("${part}" "${C}")
