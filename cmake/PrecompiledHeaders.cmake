# Most of a full build's time goes to reading the same Qt headers once for
# every source file; precompiled, each library and test program reads them
# once. STOWBOOK_PCH=OFF turns it off (for a compiler cache that cannot use
# precompiled headers, or to check that every file includes what it uses).
option(STOWBOOK_PCH "Precompile the common Qt and standard headers" ON)

set(STOWBOOK_PCH_CORE
    <QByteArray> <QDate> <QDir> <QFile> <QFileInfo> <QHash> <QImage> <QList> <QLocale>
    <QRegularExpression> <QString> <QStringList> <QVariant>
    <algorithm> <cmath> <functional> <memory> <optional> <vector>)
set(STOWBOOK_PCH_WINDOWS
    <QApplication> <QComboBox> <QKeyEvent> <QLabel> <QLineEdit> <QPushButton> <QVBoxLayout> <QWidget>)
set(STOWBOOK_PCH_TESTS <QTest> <gtest/gtest.h>)

# kind: CORE (no windows), WINDOWS, CORE_TESTS (no windows; QTest and
# GoogleTest) or WINDOW_TESTS (windows, QTest and GoogleTest). A target
# without QtWidgets cannot take the window headers.
function(stowbook_precompile_headers target kind)
    if(NOT STOWBOOK_PCH)
        return()
    endif()
    set(headers ${STOWBOOK_PCH_CORE})
    if(kind STREQUAL "WINDOWS" OR kind STREQUAL "WINDOW_TESTS")
        list(APPEND headers ${STOWBOOK_PCH_WINDOWS})
    endif()
    if(kind STREQUAL "CORE_TESTS" OR kind STREQUAL "WINDOW_TESTS")
        list(APPEND headers ${STOWBOOK_PCH_TESTS})
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
