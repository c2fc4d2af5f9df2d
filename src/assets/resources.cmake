# The pictures that are part of the program, compiled into jihankobo_ui as Qt resources
# under ":/builtin/" (":/builtin/kinds/kind_0.png" …). Included from src/CMakeLists.txt once
# that target exists. Drawn by tools/assetgen (see README).
set(jhk_builtin_pictures
    cursor_hand.png
    digits.png
    wallet.png
    wallet_mask.png
    branch_incomplete.png
    branch_complete.png
    paint/reset_colors.png
    paint/swap_colors.png
)
foreach(i RANGE 0 7)
    list(APPEND jhk_builtin_pictures kinds/kind_${i}.png)
endforeach()
foreach(i RANGE 0 4)
    list(APPEND jhk_builtin_pictures coins/coin_${i}.png thumbs/bg_${i}.png)
endforeach()
foreach(i RANGE 0 9)
    list(APPEND jhk_builtin_pictures paint/tool_${i}.png)
endforeach()
list(TRANSFORM jhk_builtin_pictures PREPEND ${CMAKE_CURRENT_LIST_DIR}/builtin/)

qt_add_resources(jihankobo_ui jihankobo_builtin_pictures
    PREFIX "/builtin"
    BASE ${CMAKE_CURRENT_LIST_DIR}/builtin
    FILES ${jhk_builtin_pictures}
)

# The pictures every start shows (the splash, the palette) are shown as they are stored: kept
# uncompressed, they are used where they lie, without reading or inflating.
set(jhk_in_place_pictures splash.bmp)
foreach(i RANGE 0 7)
    list(APPEND jhk_in_place_pictures palette/palette_${i}.bmp)
endforeach()
list(TRANSFORM jhk_in_place_pictures PREPEND ${CMAKE_CURRENT_LIST_DIR}/builtin/)
qt_add_resources(jihankobo_ui jihankobo_in_place_pictures
    PREFIX "/builtin"
    BASE ${CMAKE_CURRENT_LIST_DIR}/builtin
    FILES ${jhk_in_place_pictures}
    OPTIONS --no-compress
)
