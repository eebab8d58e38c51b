# SPDX-License-Identifier: GPL-3.0-or-later
# `make package`: a Debian package of what the install rules install, made
# by CPack as a Debian packager would expect it: under /usr, stripped,
# section games, the library dependencies found by dpkg-shlibdeps.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fizzgrid)
set(CPACK_PACKAGE_VENDOR "The Fizzgrid developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Debian's extended description: lines under 80 columns, paragraphs apart.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Players take turns placing masses on a grid of 4 to 8 rows and columns;"
  "a full cell explodes into its neighbours, takes them over and can set off"
  "a chain reaction. Play against a deterministic computer opponent or"
  "against a friend running Fizzgrid on another computer, with a chat window"
  "beside the game. Every finished game goes into a high-score table."
  ""
  "The package also holds fizzgrid-engine, the board rules and the"
  "computer's move search on the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

if(NOT CPACK_DEBIAN_PACKAGE_MAINTAINER)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Fizzgrid developers <maintainers@fizzgrid.example.org>")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${FIZZGRID_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system plugins at run time, out of dpkg-shlibdeps'
# sight; without them the game cannot open a window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# Qt's own texts (the buttons of its boxes and dialogs) in the user's
# language come from Debian's Qt translations; the game's are built in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

include(CPack)
