# qb_delay_import_library(<var> <dll> <function>...): an import library for the named functions
# of dll that loads the DLL at the first call of one of them instead of at start-up, in <var>.
# Link it in the DLL's place, ahead of any plain import library of it. shell32 is the reason:
# under Wine it brings ole32, rpcrt4 and combase with it, for the one call of a tag jump.
function(qb_delay_import_library var dll)
    get_filename_component(compiler_dir ${CMAKE_CXX_COMPILER} DIRECTORY)
    string(REGEX REPLACE "-g\\+\\+(-posix|-win32)?(\\.exe)?$" "" triplet
           ${CMAKE_CXX_COMPILER})
    get_filename_component(triplet ${triplet} NAME)
    find_program(QB_DLLTOOL NAMES ${triplet}-dlltool dlltool HINTS ${compiler_dir} REQUIRED)
    set(def ${CMAKE_CURRENT_BINARY_DIR}/${dll}-delay.def)
    set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}-delay.a)
    list(JOIN ARGN "\n" exports)
    file(WRITE ${def}.in "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
    configure_file(${def}.in ${def} COPYONLY)
    add_custom_command(OUTPUT ${lib}
                       COMMAND ${QB_DLLTOOL} --input-def ${def} --output-delaylib ${lib}
                       DEPENDS ${def}
                       COMMENT "Delay-load import library for ${dll}")
    add_custom_target(${dll}_delay_import DEPENDS ${lib})
    add_library(qb_${dll}_delay STATIC IMPORTED GLOBAL)
    set_target_properties(qb_${dll}_delay PROPERTIES IMPORTED_LOCATION ${lib}
                          INTERFACE_LINK_LIBRARIES delayimp)
    add_dependencies(qb_${dll}_delay ${dll}_delay_import)
    set(${var} qb_${dll}_delay PARENT_SCOPE)
endfunction()
