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
    list(APPEND jhk_builtin_pictures kinds/kind_${i}.png palette/palette_${i}.png)
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

# The splash picture is shown as it is stored: kept uncompressed, it is read without inflating.
qt_add_resources(jihankobo_ui jihankobo_splash_picture
    PREFIX "/builtin"
    BASE ${CMAKE_CURRENT_LIST_DIR}/builtin
    FILES ${CMAKE_CURRENT_LIST_DIR}/builtin/splash.bmp
    OPTIONS --no-compress
)
