# The Qt edge of board imaging: drawing the composed picture, the per-click animator and the
# sound cue player (a PulseAudio client). Included by imaging/CMakeLists.txt when the window parts
# are built.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
find_package(PkgConfig REQUIRED)
pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)

add_library(daviz_imaging_qt STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CBoardImageDraw.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CAnimator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CAnimator.h
    ${CMAKE_CURRENT_LIST_DIR}/CCuePlayer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CCuePlayer.h
)
target_include_directories(daviz_imaging_qt PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(daviz_imaging_qt PUBLIC daviz_imaging Qt6::Widgets PkgConfig::PULSE)
