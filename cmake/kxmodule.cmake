# kx_add_module(TARGET SOURCES file...): a .krx module of the CAD host, a
# shared library named TARGET.krx. Used for the product's modules and for
# extension modules built against the installed MWCommonModule package.
include_guard(GLOBAL)

function(kx_add_module target)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".krx")
  # A module binds the names it defines to its own definitions, as a DLL
  # does: two modules that both carry the module frame (and export the same
  # entry functions) never reach into each other.
  target_link_options(${target} PRIVATE LINKER:-Bsymbolic)
endfunction()
