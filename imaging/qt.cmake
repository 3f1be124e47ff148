# The Qt edge of board imaging: drawing the composed picture, the per-click animator and the
# sound cue player. Included by imaging/CMakeLists.txt when the window parts are built.
find_package(Qt6 REQUIRED COMPONENTS Widgets Multimedia)

add_library(daviz_imaging_qt STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CBoardImageDraw.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CAnimator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CAnimator.h
    ${CMAKE_CURRENT_LIST_DIR}/CCuePlayer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CCuePlayer.h
)
target_include_directories(daviz_imaging_qt PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(daviz_imaging_qt PUBLIC daviz_imaging Qt6::Widgets Qt6::Multimedia)
