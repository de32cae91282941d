# Compiles every Qt translation file that matches Pattern (a new language is picked up by the next
# build) and builds the results into Target as resources under ":/translations".
function(kestrave_add_translations target resource pattern)
  find_program(KESTRAVE_LRELEASE lrelease HINTS /usr/lib/qt6/bin NO_CACHE)
  if(NOT KESTRAVE_LRELEASE)
    message(FATAL_ERROR "lrelease (Qt 6's translation compiler) is missing: run "
                        "scripts/install-deps or install qt6-l10n-tools")
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${pattern})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${resource})
  set(compiled_files)
  foreach(source IN LISTS sources)
    get_filename_component(name ${source} NAME_WE)
    set(compiled ${dir}/${name}.qm)
    add_custom_command(OUTPUT ${compiled}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                       COMMAND ${KESTRAVE_LRELEASE} -silent ${source} -qm ${compiled}
                       DEPENDS ${source}
                       COMMENT "Compiling the translation ${name}")
    list(APPEND compiled_files ${compiled})
  endforeach()
  qt_add_resources(${target} ${resource} PREFIX "/translations" BASE ${dir}
                   FILES ${compiled_files})
endfunction()
