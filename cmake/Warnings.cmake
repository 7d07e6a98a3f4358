# darvena_warnings: the compiler settings every target of the product links.
add_library(darvena_warnings INTERFACE)
target_compile_options(darvena_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                                  -Wnon-virtual-dtor -Wcast-align)
if(DARVENA_WERROR)
  target_compile_options(darvena_warnings INTERFACE -Werror)
endif()
if(DARVENA_SANITIZE)
  target_compile_options(darvena_warnings INTERFACE -fsanitize=address,undefined
                                                    -fno-omit-frame-pointer)
  target_link_options(darvena_warnings INTERFACE -fsanitize=address,undefined)
endif()
