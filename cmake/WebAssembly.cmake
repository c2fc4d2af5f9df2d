# The WebAssembly world (emscripten, configured with emcmake; scripts/web.sh sets it up).
#
# Programs and tests built here run under node with the real file system (NODERAWFS): the
# simulator and the class checker take their native command lines, files by their real paths.
# The page module (src/wasm) sets its own link options: memory files only, no node.
#
# Catching exceptions costs WebAssembly dearly (the block interpreter runs at half speed or
# less with it), and the core catches none: only the class checker does (a machine that
# cannot be checked becomes a row of its own), so only it is built to catch them
# (src/wasm/CMakeLists.txt) and the programs linking it can throw through the core.
add_link_options(-sALLOW_MEMORY_GROWTH=1)
set(JHK_NODE_LINK_OPTIONS -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sWASM_ASYNC_COMPILATION=0
    --pre-js ${PROJECT_SOURCE_DIR}/src/wasm/node-environment.js)

# Makes `target` a program run with node: real files, the process's environment, its exit
# status, a synchronous start.
function(jhk_node_program target)
    target_link_options(${target} PRIVATE ${JHK_NODE_LINK_OPTIONS})
endfunction()

if(JHK_BUILD_TESTS)
    # GoogleTest from the sources Debian's libgtest-dev ships, built for WebAssembly.
    set(JHK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${JHK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
