# Makes the comma-decimal locale that the locale tests run in, de_DE.UTF-8, into LOCALE_DIR when
# the system lacks it (build machines carry almost no locales; `locales` brings localedef and
# its sources). Run by the test fixture comma_locale: cmake -DLOCALE_DIR=<dir> -P <this file>.
# Fails under CI=true when the locale cannot be had, so that the tests cannot pass unswitched.
set(name de_DE.UTF-8)

function(give_up why)
  if("$ENV{CI}" STREQUAL "true")
    message(FATAL_ERROR "${why}")
  endif()
  message(WARNING "${why}; the locale tests will skip")
endfunction()

execute_process(COMMAND locale -a OUTPUT_VARIABLE installed ERROR_QUIET)
string(REGEX MATCH "(^|\n)de_DE\\.(utf8|UTF-8)(\n|$)" system_has_it "${installed}")
if(system_has_it OR EXISTS ${LOCALE_DIR}/${name}/LC_NUMERIC)
  return()
endif()

find_program(localedef localedef)
if(NOT localedef)
  give_up("localedef is missing: install locales (scripts/setup)")
  return()
endif()
# Made beside and renamed, so that a test never sees half a locale.
set(partial ${LOCALE_DIR}/${name}.partial)
file(REMOVE_RECURSE ${partial})
file(MAKE_DIRECTORY ${LOCALE_DIR})
# localedef exits with 1 on mere warnings; what counts is the numeric category it wrote.
execute_process(COMMAND ${localedef} -i de_DE -f UTF-8 ${partial}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT EXISTS ${partial}/LC_NUMERIC)
  file(REMOVE_RECURSE ${partial})
  give_up("localedef could not make ${name} (${result}): ${output}")
  return()
endif()
file(REMOVE_RECURSE ${LOCALE_DIR}/${name})
file(RENAME ${partial} ${LOCALE_DIR}/${name})
