# Compile options shared by every target of the project.
add_library(brevane_options INTERFACE)
target_compile_options(brevane_options INTERFACE -Wall -Wextra -Wpedantic)
if(BREVANE_WARNINGS_AS_ERRORS)
  target_compile_options(brevane_options INTERFACE -Werror)
endif()
if(BREVANE_SANITIZE)
  target_compile_options(brevane_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(brevane_options INTERFACE -fsanitize=address,undefined)
endif()
install(TARGETS brevane_options EXPORT brevane-targets)
