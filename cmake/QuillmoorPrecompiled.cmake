# Precompiled headers: most of a source's compile time goes into the Qt and
# GoogleTest headers it includes, the same in every source of a target. Each
# target compiles them once (QUILLMOOR_PRECOMPILE_HEADERS=OFF to switch off).
option(QUILLMOOR_PRECOMPILE_HEADERS "Precompile the Qt and test headers" ON)

set(QUILLMOOR_PCH_CORE
  <QByteArray> <QDateTime> <QHash> <QList> <QMap> <QObject> <QSet> <QString> <QStringList>
  <QThread> <QVariant> <algorithm> <functional> <memory> <mutex> <optional> <vector>)
set(QUILLMOOR_PCH_WIDGETS
  <QAction> <QApplication> <QDialog> <QLabel> <QLineEdit> <QMessageBox> <QPainter> <QPushButton> <QWidget>)
set(QUILLMOOR_PCH_TESTS <gtest/gtest.h>)

# quillmoor_precompile(target [WIDGETS] [TESTS])
function(quillmoor_precompile target)
  if(NOT QUILLMOOR_PRECOMPILE_HEADERS)
    return()
  endif()
  cmake_parse_arguments(ARG "WIDGETS;TESTS" "" "" ${ARGN})
  set(headers ${QUILLMOOR_PCH_CORE})
  if(ARG_WIDGETS)
    list(APPEND headers ${QUILLMOOR_PCH_WIDGETS})
  endif()
  if(ARG_TESTS)
    list(APPEND headers ${QUILLMOOR_PCH_TESTS})
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
