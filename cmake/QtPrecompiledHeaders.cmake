# SPDX-License-Identifier: GPL-3.0-or-later
# Precompiled Qt headers. Compiling a file here costs as much in parsing the
# Qt headers it includes, the same ones in every file, as in compiling the
# file itself; a precompiled header parses them once per build. There are
# two, each made by a small target of its own and reused by the targets of
# its layer, so that code of the Qt Core layer does not see the widgets:
#
#   fizzgrid_pch_core     Qt Core: settings, comm, flow
#   fizzgrid_pch_widgets  Qt Core, Gui, Widgets and Network: the windows,
#                         the program, the tools, the benchmarks and the tests
#
# GCC takes a precompiled header only where the compiler options and the
# macros the headers look at are the same as when it was made (CMake adds
# -Winvalid-pch, which FIZZGRID_WERROR turns into an error): every Qt target
# is built with the same options, and the QT_*_LIB macros that differ from
# target to target are looked at only by the QtTest headers. Those stay out,
# as they also read each test folder's own QT_TESTCASE_BUILDDIR.

set(pch_core_headers
  <QByteArray> <QCoreApplication> <QDir> <QElapsedTimer> <QFile> <QList>
  <QObject> <QPointer> <QSettings> <QString> <QStringList> <QTimer>)
set(pch_widgets_headers ${pch_core_headers}
  <QEventLoop> <QProcess> <QTemporaryDir>
  <QTcpServer> <QTcpSocket>
  <QImage> <QKeyEvent> <QPainter> <QPixmap>
  <QAction> <QApplication> <QCheckBox> <QDialog> <QFrame> <QGridLayout>
  <QGroupBox> <QHBoxLayout> <QLabel> <QMessageBox> <QPlainTextEdit>
  <QPushButton> <QRadioButton> <QVBoxLayout> <QWidget>)

# A target needs a source to exist; the precompiled header is all it makes.
set(pch_source ${CMAKE_BINARY_DIR}/generated/precompiled.cpp)
file(CONFIGURE OUTPUT ${pch_source} CONTENT "// Only the precompiled header is made here.\n")
foreach(layer core widgets)
  add_library(fizzgrid_pch_${layer} OBJECT ${pch_source})
  set_target_properties(fizzgrid_pch_${layer} PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
  target_precompile_headers(fizzgrid_pch_${layer} PRIVATE ${pch_${layer}_headers})
endforeach()
# GCC also refuses a precompiled header made with a macro that the file
# compiled lacks. Linking Qt6::Widgets would define QT_WIDGETS_LIB, which
# the Core-only tests lack; so both link only Qt6::Core (its options and
# QT_CORE_LIB, which every Qt target has) and take the other modules'
# headers from their folders.
target_link_libraries(fizzgrid_pch_core PRIVATE Qt6::Core)
target_link_libraries(fizzgrid_pch_widgets PRIVATE Qt6::Core)
foreach(module Gui Widgets Network)
  target_include_directories(fizzgrid_pch_widgets SYSTEM PRIVATE
    $<TARGET_PROPERTY:Qt6::${module},INTERFACE_INCLUDE_DIRECTORIES>)
endforeach()

# fizzgrid_use_qt_pch(<target> core|widgets)
# Compiles <target>'s files with the layer's precompiled header.
function(fizzgrid_use_qt_pch target layer)
  target_precompile_headers(${target} REUSE_FROM fizzgrid_pch_${layer})
endfunction()
