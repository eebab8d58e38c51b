# SPDX-License-Identifier: GPL-3.0-or-later
# fizzgrid_install_gzipped(<template> <name> <destination> [@ONLY | COPYONLY])
#
# Configures <template> (relative to the current source folder) into the
# build folder as <name>, compresses it there when building, as Debian wants
# manual pages and changelogs compressed (gzip -9, without the name and time
# stamp, so the same text always gives the same bytes), and installs
# <name>.gz under <destination>.
function(fizzgrid_install_gzipped template name destination)
  set(plain ${CMAKE_CURRENT_BINARY_DIR}/${name})
  configure_file(${template} ${plain} ${ARGN})
  add_custom_command(OUTPUT ${plain}.gz
    COMMAND gzip -9nkf ${plain}
    DEPENDS ${plain}
    COMMENT "Compressing ${name}"
    VERBATIM)
  add_custom_target(gzip-${name} ALL DEPENDS ${plain}.gz)
  install(FILES ${plain}.gz DESTINATION ${destination})
endfunction()
