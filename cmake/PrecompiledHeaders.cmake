# Most of a full build's time goes to reading the same Qt headers once for
# every source file. They are precompiled once for each kind of target below
# (a precompiled header of the Qt headers takes as long to build as a dozen
# source files, and is as large as 200 MB), and every library and test
# program of that kind reads the one of its kind. STOWBOOK_PCH=OFF turns it
# off (for a compiler cache that cannot use precompiled headers, or to check
# that every file includes what it uses).
option(STOWBOOK_PCH "Precompile the common Qt and standard headers" ON)

set(STOWBOOK_PCH_CORE
    <QByteArray> <QDate> <QDir> <QFile> <QFileInfo> <QHash> <QImage> <QList> <QLocale>
    <QRegularExpression> <QString> <QStringList> <QVariant>
    <algorithm> <cmath> <functional> <memory> <optional> <vector>)
set(STOWBOOK_PCH_WINDOWS
    <QApplication> <QComboBox> <QKeyEvent> <QLabel> <QLineEdit> <QPushButton> <QVBoxLayout> <QWidget>)
set(STOWBOOK_PCH_TESTS <QTest> <gtest/gtest.h>)

# The compilers take a precompiled header only where each macro it was
# built with is defined alike, so the one of a kind is built with the least
# its users share (the Qt modules every target of the kind links); a user
# may define more, as long as the headers never look at it. Qt Test defines
# its own and the test folder's paths, different in every folder and
# looked at by <QTest>: the tests never use them (no QFINDTESTDATA), so
# every test target takes them back.
set(STOWBOOK_PCH_TEST_OPTIONS -UQT_TESTCASE_BUILDDIR -UQT_TESTCASE_SOURCEDIR)

# stowbook_pch_kind(kind): the target whose header the targets of that kind
# share. kind: CORE (no windows), WINDOWS, CORE_TESTS (no windows; QTest and
# GoogleTest) or WINDOW_TESTS (windows, QTest and GoogleTest). The test
# kinds are declared in tests/, with the test code's own options.
function(stowbook_pch_kind kind)
    if(NOT STOWBOOK_PCH)
        return()
    endif()
    set(target stowbook_pch_${kind})
    string(TOLOWER ${target} target)
    add_library(${target} OBJECT ${PROJECT_SOURCE_DIR}/cmake/PrecompiledHeaders.cpp)
    set(headers ${STOWBOOK_PCH_CORE})
    set(modules Qt6::Core Qt6::Gui)
    if(kind STREQUAL "WINDOWS" OR kind STREQUAL "WINDOW_TESTS")
        list(APPEND headers ${STOWBOOK_PCH_WINDOWS})
        list(APPEND modules Qt6::Widgets)
    endif()
    if(kind STREQUAL "CORE_TESTS" OR kind STREQUAL "WINDOW_TESTS")
        list(APPEND headers ${STOWBOOK_PCH_TESTS})
        list(APPEND modules Qt6::Test GTest::gtest)
        target_compile_options(${target} PRIVATE ${STOWBOOK_PCH_TEST_OPTIONS})
    endif()
    target_link_libraries(${target} PRIVATE ${modules})
    target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# stowbook_precompile_headers(target kind): target reads the header of its
# kind. A target without QtWidgets cannot take the window headers.
function(stowbook_precompile_headers target kind)
    if(NOT STOWBOOK_PCH)
        return()
    endif()
    if(kind STREQUAL "CORE_TESTS" OR kind STREQUAL "WINDOW_TESTS")
        target_compile_options(${target} PRIVATE ${STOWBOOK_PCH_TEST_OPTIONS})
    endif()
    string(TOLOWER stowbook_pch_${kind} donor)
    target_precompile_headers(${target} REUSE_FROM ${donor})
endfunction()
