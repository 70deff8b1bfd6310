# hxr_library(name [SHARED] [LIBS libs...] [SOURCES_FROM dirs...] [SUBFOLDERS dirs...])
# A folder's library: every .cpp of the folder, linked against the given targets. Static unless
# SHARED: a shared one is a single copy for every module of the process that uses it.
# SOURCES_FROM compiles the sources of those subfolders into this same target (for parts that
# must not exist twice in a process). SUBFOLDERS are the subfolders that are libraries of their
# own; each joins the build once it has its CMakeLists.txt.
function(hxr_library name)
  cmake_parse_arguments(ARG "SHARED" "" "LIBS;SOURCES_FROM;SUBFOLDERS" ${ARGN})
  set(globs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(dir ${ARG_SOURCES_FROM})
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${globs})
  if(ARG_SHARED)
    add_library(${name} SHARED ${sources})
  else()
    add_library(${name} STATIC ${sources})
  endif()
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  hxr_subfolders(${ARG_SUBFOLDERS})
endfunction()

# hxr_subfolders(dirs...): adds each subfolder of the calling folder that has a CMakeLists.txt.
function(hxr_subfolders)
  foreach(dir ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# hxr_test_executable(target source [LIBS libs...] [DEPENDS targets...])
# A test executable in build/tests that sees the tests folder's headers and knows where the
# program and the sources are; GTest::gmock comes with it.
function(hxr_test_executable target source)
  cmake_parse_arguments(ARG "" "" "LIBS;DEPENDS" ${ARGN})
  add_executable(${target} ${source})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gmock)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  if(ARG_DEPENDS)
    add_dependencies(${target} ${ARG_DEPENDS})
  endif()
  target_compile_definitions(${target} PRIVATE HXR_PROGRAM_DIR="${HXR_PROGRAM_DIR}"
                                               HXR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endfunction()

# hxr_add_tests(library [GUI] [LIBS extra...] [DEPENDS targets...] [COMMA_LOCALE stems...])
# One test executable per tests/<folder>/test_*.cpp, where <folder> mirrors the calling source folder.
# GUI tests get a QApplication on the offscreen platform, the others a QCoreApplication.
# The COMMA_LOCALE files (by name without .cpp) run in a comma-decimal locale: they wait for the
# fixture that makes it (tests/support/commalocale.h says how they switch to it).
function(hxr_add_tests library)
  if(NOT HXR_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "GUI" "" "LIBS;DEPENDS;COMMA_LOCALE" ${ARGN})
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/test_*.cpp)
  if(ARG_GUI)
    set(main hxr_testmain_gui)
  else()
    set(main hxr_testmain_core)
  endif()
  string(REPLACE "/" "_" prefix ${folder})
  foreach(test ${tests})
    get_filename_component(stem ${test} NAME_WE)
    set(target ${prefix}_${stem})
    hxr_test_executable(${target} ${test} LIBS ${library} ${ARG_LIBS} ${main}
                        DEPENDS ${ARG_DEPENDS})
    set(locale_properties)
    if(stem IN_LIST ARG_COMMA_LOCALE)
      target_compile_definitions(${target} PRIVATE HXR_TEST_LOCALE_DIR="${HXR_TEST_LOCALE_DIR}")
      set(locale_properties FIXTURES_REQUIRED comma_locale LABELS locale)
    endif()
    # One variable a property: a ";" inside would split the property list.
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                 ENVIRONMENT_MODIFICATION "HXR_FTDI=set:sim" TIMEOUT 120 ${locale_properties})
  endforeach()
endfunction()

# hxr_add_emulated_usb_tests(source [LIBS extra...] [DEPENDS targets...])
# An executable of its own for tests that see a USB bus emulated with umockdev: the whole process
# sees it. The file brings its own main, which runs the tests under umockdev's preload library.
function(hxr_add_emulated_usb_tests source)
  if(NOT HXR_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "LIBS;DEPENDS" ${ARGN})
  file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR}/tests ${source})
  get_filename_component(folder ${relative} DIRECTORY)
  get_filename_component(stem ${source} NAME_WE)
  string(REPLACE "/" "_" prefix ${folder})
  set(target ${prefix}_${stem})
  hxr_test_executable(${target} ${source} LIBS ${ARG_LIBS} hxr_usbemulation Qt6::Core
                      DEPENDS ${ARG_DEPENDS})
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               ENVIRONMENT_MODIFICATION "HXR_FTDI=set:usb" TIMEOUT 120)
endfunction()

# The comma-decimal locale of the COMMA_LOCALE tests, made at test time when the system lacks it.
set(HXR_TEST_LOCALE_DIR ${CMAKE_BINARY_DIR}/tests/locale)
if(HXR_BUILD_TESTS)
  add_test(NAME comma_locale
           COMMAND ${CMAKE_COMMAND} -DLOCALE_DIR=${HXR_TEST_LOCALE_DIR}
                   -P ${CMAKE_CURRENT_LIST_DIR}/commalocale.cmake)
  set_tests_properties(comma_locale PROPERTIES FIXTURES_SETUP comma_locale LABELS locale
                                               TIMEOUT 300)
endif()
