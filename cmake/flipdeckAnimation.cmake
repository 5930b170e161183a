# flipdeck_add_animation(<name> TAF <file> [OUTPUT_DIR <dir>] [PREFIX <prefix>])
#
# Converts <file> into <name>.c and <name>.h in <dir> (default: the current
# binary directory) at build time, and makes an object library <name> of the
# C file. flipdeck runs in the TAF's directory, where the TAF's relative
# paths resolve; the dependency file from `flipdeck-kit deps` then names
# every project, image and palette it read, and the art (PNG pictures, a
# sheet) its projects record, so editing any of them converts that
# animation again and no other.
#
# Two steps: `flipdeck-kit sync` first makes the pictures whose art changed
# again (<name>.sync.d, the list of what it read, marks it done), then the
# conversion runs. Every file
# sync writes is in place before the conversion starts, which is what tells
# Ninja the conversion's inputs are older than its outputs afterwards. The
# conversion replaces the C, the header and <name>_symbols.h only when
# their bytes change, and Ninja (restat) then rebuilds nothing that
# includes or compiles them. make has no restat: a C it did not see change
# would convert again at every build, so with make the conversion writes
# its outputs every time it runs, as it always did, and they compile again.
#
# flipdeck's C defines gAnimeCmd, gCamMatrix, gCamXSize and gCamYSize in
# every file, so two animations in one program clash. PREFIX renames the
# four for this file by compile definitions (flipdeck's text stays as it
# is); <name>_symbols.h, written beside the C file, declares them extern
# under the names they get, with the previewer's types. The generated C
# includes <plinth.h> and "flipdeck.h": give the target <name> the include
# directories where they are, e.g. target_include_directories(<name> PRIVATE sdk).
#
# A conversion that fails leaves no output behind, so the next build runs it
# again; its messages are followed by those of `flipdeck-kit check`, which
# name the file and line at fault.

# The depfile's paths are absolute; CMake makes Ninja read them as paths
# of the build only when it transforms the depfile (policy CMP0116). A
# function keeps the policies in force where it is defined.
cmake_policy(SET CMP0116 NEW)

set(_flipdeck_convert_script "${CMAKE_CURRENT_LIST_DIR}/flipdeckConvert.cmake")

# Stops the configuration at an argument the build could not carry, naming
# it; the arguments are the arg_* variables of flipdeck_add_animation. The
# name becomes a target and file names, PREFIX the beginning of C names, and
# the paths go into command lines and build files, where CMake reads ';' as
# a list separator and '$<' as a generator expression.
function(_flipdeck_check_arguments name)
  set(call "flipdeck_add_animation(${name})")
  if(NOT name MATCHES "^[A-Za-z0-9_.+-]+$")
    message(FATAL_ERROR "${call}: the name '${name}' cannot name a library and its files: "
                        "use letters, digits, '_', '.', '+' and '-'")
  endif()
  set(usage "flipdeck_add_animation(<name> TAF <file> [OUTPUT_DIR <dir>] [PREFIX <prefix>])")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${call}: unexpected arguments '${arg_UNPARSED_ARGUMENTS}': ${usage}")
  endif()
  if(arg_KEYWORDS_MISSING_VALUES)
    message(FATAL_ERROR "${call}: no value after ${arg_KEYWORDS_MISSING_VALUES}: ${usage}")
  endif()
  if(NOT DEFINED arg_TAF)
    message(FATAL_ERROR "${call}: no TAF: ${usage}")
  endif()
  # A value such as "N" or "off" is false to if(): only DEFINED tells.
  if(DEFINED arg_PREFIX AND NOT arg_PREFIX MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "${call}: PREFIX '${arg_PREFIX}' cannot begin a C name: "
                        "use letters, digits and '_', and no digit first")
  endif()
  foreach(keyword TAF OUTPUT_DIR)
    set(path "${arg_${keyword}}")
    if(path MATCHES ";")
      set(why "';', which CMake reads as a list separator")
    elseif(path MATCHES "\\$<")
      set(why "'$<', which CMake reads as a generator expression")
    elseif(path MATCHES "[\r\n]")
      set(why "a line end, which no command line of the build can carry")
    else()
      continue()
    endif()
    message(FATAL_ERROR "${call}: ${keyword} '${path}' holds ${why}")
  endforeach()
endfunction()

function(flipdeck_add_animation name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TAF;OUTPUT_DIR;PREFIX" "")
  _flipdeck_check_arguments("${name}")
  get_filename_component(taf "${arg_TAF}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  set(dir "${CMAKE_CURRENT_BINARY_DIR}")
  if(DEFINED arg_OUTPUT_DIR)
    get_filename_component(dir "${arg_OUTPUT_DIR}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  endif()
  set(c "${dir}/${name}.c")
  set(h "${dir}/${name}.h")
  set(symbols "${dir}/${name}_symbols.h")
  file(MAKE_DIRECTORY "${dir}")

  # The sync step's mark is the list of what it read, which deps writes for
  # it once the sync is done: one process, and no file besides.
  set(synced "${dir}/${name}.sync.d")
  get_filename_component(taf_dir "${taf}" DIRECTORY)
  add_custom_command(
    OUTPUT "${synced}"
    COMMAND "$<TARGET_FILE:flipdeck::flipdeck-kit>" sync "${taf}" --depfile "${synced}" --cmake
    WORKING_DIRECTORY "${taf_dir}"
    DEPENDS "${taf}" "$<TARGET_FILE:flipdeck::flipdeck-kit>"
    DEPFILE "${synced}"
    COMMENT "flipdeck-kit: syncing the art of ${name}"
    VERBATIM)
  set(restat OFF)
  if(CMAKE_GENERATOR MATCHES "Ninja")
    set(restat ON)
  endif()
  add_custom_command(
    OUTPUT "${c}" "${h}" "${symbols}"
    COMMAND "${CMAKE_COMMAND}"
            "-DFLIPDECK=$<TARGET_FILE:flipdeck::flipdeck>"
            "-DKIT=$<TARGET_FILE:flipdeck::flipdeck-kit>"
            "-DNAME=${name}" "-DTAF=${taf}" "-DC=${c}" "-DH=${h}" "-DSYMBOLS=${symbols}"
            "-DDEPFILE=${dir}/${name}.d" "-DPREFIX=${arg_PREFIX}" "-DRESTAT=${restat}"
            -P "${_flipdeck_convert_script}"
    DEPENDS "${taf}" "${synced}" "${_flipdeck_convert_script}"
            "$<TARGET_FILE:flipdeck::flipdeck>" "$<TARGET_FILE:flipdeck::flipdeck-kit>"
    DEPFILE "${dir}/${name}.d"
    COMMENT "flipdeck: converting ${name} (${arg_TAF})"
    VERBATIM)

  add_library(${name} OBJECT "${c}")
  target_include_directories(${name} PUBLIC "${dir}")
  if(DEFINED arg_PREFIX)
    foreach(symbol gAnimeCmd gCamMatrix gCamXSize gCamYSize)
      list(APPEND renames "${symbol}=${arg_PREFIX}${symbol}")
    endforeach()
    set_source_files_properties("${c}" PROPERTIES COMPILE_DEFINITIONS "${renames}")
  endif()
endfunction()
