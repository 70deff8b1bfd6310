# hxr_layer_check(MODEL targets... FILES files... CONTROL target)
# A test that fails when a model layer needs Qt Gui or Widgets (or OpenGL). Each static target is
# linked into a probe library of its own without --as-needed, so that the probe's needed
# libraries are exactly what the target drags into whoever links it; FILES are built libraries
# checked as they are. The CONTROL target must need Qt Widgets: a check that reads nothing fails.
function(hxr_layer_check)
  cmake_parse_arguments(ARG "" "CONTROL" "MODEL;FILES" ${ARGN})
  set(probe_source ${CMAKE_BINARY_DIR}/layerprobes/probe.cpp)
  file(WRITE ${probe_source} "// Links one library and adds nothing.\n")
  set(model_files ${ARG_FILES})
  foreach(target ${ARG_MODEL} ${ARG_CONTROL})
    set(probe hxr_layerprobe_${target})
    add_library(${probe} SHARED ${probe_source})
    target_link_libraries(${probe} PRIVATE ${target})
    target_link_options(${probe} PRIVATE -Wl,--no-as-needed)
    set_target_properties(${probe} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layerprobes)
    if(target STREQUAL ARG_CONTROL)
      set(control_file $<TARGET_FILE:${probe}>)
    else()
      list(APPEND model_files $<TARGET_FILE:${probe}>)
    endif()
  endforeach()
  find_program(HXR_READELF NAMES readelf ${CMAKE_READELF} REQUIRED)
  string(REPLACE ";" "|" model_list "${model_files}")
  add_test(NAME layers_link_check
    COMMAND ${CMAKE_COMMAND} -DREADELF=${HXR_READELF} "-DMODEL=${model_list}"
            -DCONTROL=${control_file} -P ${CMAKE_SOURCE_DIR}/cmake/checklayers.cmake)
endfunction()

# hxr_link_tree_check(): stops the configuration when our libraries link each other in a circle.
# Static libraries that need each other build either way, so nothing else would notice; a
# circle means two folders are one layer in two halves.
function(hxr_link_tree_check)
  hxr_collect_targets(${CMAKE_SOURCE_DIR} targets)
  set(libraries)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC|SHARED|MODULE)_LIBRARY$")
      list(APPEND libraries ${target})
    endif()
  endforeach()
  foreach(start ${libraries})
    # Every library `start` reaches through its links; reaching itself is a circle.
    set(queue ${start})
    set(seen)
    while(queue)
      list(POP_FRONT queue current)
      get_target_property(links ${current} LINK_LIBRARIES)
      foreach(link ${links})
        if(link STREQUAL start)
          message(FATAL_ERROR "${start} is linked again through ${current}: our libraries "
                              "must not link each other in a circle")
        endif()
        if(link IN_LIST libraries AND NOT link IN_LIST seen)
          list(APPEND seen ${link})
          list(APPEND queue ${link})
        endif()
      endforeach()
    endwhile()
  endforeach()
endfunction()

# hxr_collect_targets(dir out): the targets of dir and of every folder below it.
function(hxr_collect_targets dir out)
  get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    hxr_collect_targets(${sub} below)
    list(APPEND found ${below})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()
