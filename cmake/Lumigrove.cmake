# Helpers shared by every subsystem.
#
# lumigrove_library(<sub> [GUI] DEPS <targets...>)
#   Builds crd_<sub> from src/<sub>/*.cpp (GUI-free: Qt Core and Gui only) and, when
#   src/<sub>/ui/ holds sources, crd_<sub>_ui from them (Qt Widgets and PrintSupport).
#   DEPS are linked publicly into crd_<sub>; UI_DEPS into crd_<sub>_ui. A dependency on a
#   library that does not exist yet is written $<TARGET_NAME_IF_EXISTS:crd_x_ui>.
# lumigrove_tests(<sub> LIBS <targets...>)
#   Builds test_<sub> from tests/<sub>/*.cpp with the shared test main and registers
#   every test case with CTest under its stable GoogleTest name. Every test has CTest's
#   timeout LUMIGROVE_TEST_TIMEOUT: the last guard against a hang, above the tests' own
#   deadlock guard (tests/support/Deadlock_Guard.h, 15 minutes); neither judges speed.
# lumigrove_benchmark(<name> LIBS <targets...>)
#   Builds bench_<name> from bench/<name>.cpp (nothing while that file does not exist).

set(LUMIGROVE_WARNINGS -Wall -Wextra)

# Precompiled headers (opt-in): the Qt and standard headers most sources include are parsed
# once for all GUI-free libraries (made by crd_platform) and once for all widget libraries
# (made by crd_platform_ui); the other libraries reuse those two. Each source still includes
# what it uses. With -g each precompiled header is about 180 MB, and loading it costs every
# source as much system time as the parsing it saves: measured on a busy machine, a clean
# build took more CPU time with them than without, so they are off unless asked for.
option(LUMIGROVE_PCH "Precompile the common Qt headers" OFF)
set(LUMIGROVE_PCH_CORE
  <algorithm> <functional> <memory> <optional> <string> <string_view> <vector>
  <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList>
  <QObject> <QPointer> <QString> <QStringList> <QUrl> <QVariant>
  <QColor> <QFont> <QImage> <QPainter> <QPainterPath> <QPointF> <QRectF> <QSizeF>)
set(LUMIGROVE_PCH_UI ${LUMIGROVE_PCH_CORE}
  <QAction> <QApplication> <QButtonGroup> <QCheckBox> <QComboBox> <QDialog>
  <QDialogButtonBox> <QDoubleSpinBox> <QFormLayout> <QGridLayout> <QGroupBox> <QHBoxLayout>
  <QHeaderView> <QItemSelectionModel> <QLabel> <QLineEdit> <QListView> <QMenu> <QPixmap>
  <QPlainTextEdit> <QPushButton> <QRadioButton> <QScrollBar> <QSignalBlocker> <QSlider>
  <QSpinBox> <QTabWidget> <QTableView> <QTimer> <QToolBar> <QToolButton> <QVBoxLayout>
  <QWidget>)

# lumigrove_precompiled(<target> CORE|UI): the target makes (crd_platform, crd_platform_ui)
# or reuses the precompiled headers of its kind.
function(lumigrove_precompiled target kind)
  if(NOT LUMIGROVE_PCH)
    return()
  endif()
  if(kind STREQUAL "UI")
    set(maker crd_platform_ui)
  else()
    set(maker crd_platform)
  endif()
  if(target STREQUAL maker)
    target_precompile_headers(${target} PRIVATE ${LUMIGROVE_PCH_${kind}})
  else()
    target_precompile_headers(${target} REUSE_FROM ${maker})
  endif()
endfunction()

function(lumigrove_library sub)
  cmake_parse_arguments(ARG "" "" "DEPS;UI_DEPS" ${ARGN})
  file(GLOB core_sources CONFIGURE_DEPENDS
       "${CMAKE_SOURCE_DIR}/src/${sub}/*.cpp" "${CMAKE_SOURCE_DIR}/src/${sub}/*.h")
  list(FILTER core_sources INCLUDE REGEX "\\.cpp$")
  if(core_sources)
    file(GLOB core_all CONFIGURE_DEPENDS
         "${CMAKE_SOURCE_DIR}/src/${sub}/*.cpp" "${CMAKE_SOURCE_DIR}/src/${sub}/*.h")
    add_library(crd_${sub} STATIC ${core_all})
    target_include_directories(crd_${sub} PUBLIC "${CMAKE_SOURCE_DIR}/src")
    target_compile_options(crd_${sub} PRIVATE ${LUMIGROVE_WARNINGS})
    target_link_libraries(crd_${sub} PUBLIC Qt6::Core Qt6::Gui ${ARG_DEPS})
    lumigrove_precompiled(crd_${sub} CORE)
  else()
    # Nothing GUI-free here yet: an interface library keeps the link graph whole.
    add_library(crd_${sub} INTERFACE)
    target_include_directories(crd_${sub} INTERFACE "${CMAKE_SOURCE_DIR}/src")
    target_link_libraries(crd_${sub} INTERFACE Qt6::Core Qt6::Gui ${ARG_DEPS})
  endif()
  file(GLOB ui_sources CONFIGURE_DEPENDS
       "${CMAKE_SOURCE_DIR}/src/${sub}/ui/*.cpp" "${CMAKE_SOURCE_DIR}/src/${sub}/ui/*.h")
  list(FILTER ui_sources INCLUDE REGEX "\\.cpp$")
  if(ui_sources)
    file(GLOB ui_sources CONFIGURE_DEPENDS
         "${CMAKE_SOURCE_DIR}/src/${sub}/ui/*.cpp" "${CMAKE_SOURCE_DIR}/src/${sub}/ui/*.h")
    add_library(crd_${sub}_ui STATIC ${ui_sources})
    target_compile_options(crd_${sub}_ui PRIVATE ${LUMIGROVE_WARNINGS})
    target_link_libraries(crd_${sub}_ui PUBLIC crd_${sub} Qt6::Widgets Qt6::PrintSupport
                          ${ARG_UI_DEPS})
    lumigrove_precompiled(crd_${sub}_ui UI)
  endif()
endfunction()

set(LUMIGROVE_TEST_TIMEOUT 1800 CACHE STRING
    "Seconds CTest gives each test before it calls it hung (above the tests' deadlock guard)")

function(lumigrove_tests sub)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/${sub}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(test_${sub} ${sources})
  target_compile_options(test_${sub} PRIVATE ${LUMIGROVE_WARNINGS})
  target_link_libraries(test_${sub} PRIVATE crd_test_support ${ARG_LIBS})
  gtest_discover_tests(test_${sub}
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    DISCOVERY_TIMEOUT 600
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${LUMIGROVE_TEST_TIMEOUT})
endfunction()

function(lumigrove_benchmark name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  if(NOT EXISTS "${CMAKE_SOURCE_DIR}/bench/${name}.cpp")
    return()
  endif()
  add_executable(bench_${name} "${CMAKE_SOURCE_DIR}/bench/${name}.cpp")
  target_compile_options(bench_${name} PRIVATE ${LUMIGROVE_WARNINGS})
  target_link_libraries(bench_${name} PRIVATE crd_bench_support ${ARG_LIBS})
endfunction()
