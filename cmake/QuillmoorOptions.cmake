# One interface target carries the language level, the warnings and the Qt
# strictness switches for every target of the project.
add_library(quillmoor_options INTERFACE)
target_compile_features(quillmoor_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(quillmoor_options INTERFACE -Wall -Wextra)
target_compile_definitions(quillmoor_options INTERFACE
  QT_NO_KEYWORDS
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH)

if(QUILLMOOR_SANITIZE)
  target_compile_options(quillmoor_options INTERFACE
    -fsanitize=${QUILLMOOR_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(quillmoor_options INTERFACE -fsanitize=${QUILLMOOR_SANITIZE})
endif()
